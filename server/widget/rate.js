/* Credit instalments on a shop's product page.
 *
 *   <div data-simulator-credit data-valoare="3500"></div>
 *   <script src="https://SERVICE/widget/rate.js" async></script>
 *
 * Each such element becomes a button "Rate de la 189,08 lei/luna"; the button shows and hides a
 * table of every duration offered, with the representative example. Optional attributes:
 * data-avans (down payment), data-asigurare (insurance item's position), data-plata ("Numerar"
 * or "Debit Direct") and data-service (the service's address; default: this script's origin).
 * No cookies are sent or set, and nothing is asked of any server but the service. When the
 * element is ready it receives the event "simulator-credit:gata".
 */
(function () {
    'use strict';

    var here = document.currentScript;
    var scriptOrigin = here && here.src ? new URL(here.src, location.href).origin : location.origin;
    var counter = 0;

    // An amount with two decimals after a comma, rounded half up: 189.075 -> "189,08". Read
    // from a nine-decimal text so that a figure such as 1.005 is rounded as it is written.
    function lei(value) {
        var text = Math.abs(value).toFixed(9);
        var point = text.indexOf('.');
        var cents = Number(text.slice(0, point)) * 100 + Number(text.slice(point + 1, point + 3));
        if (Number(text.charAt(point + 3)) >= 5) {
            cents += 1;
        }
        var whole = Math.floor(cents / 100);
        var rest = String(cents % 100);
        var sign = value < 0 && cents > 0 ? '-' : '';
        return sign + whole + ',' + (rest.length < 2 ? '0' + rest : rest);
    }

    function percent(share) {
        return share === null ? '-' : lei(share * 100) + ' %';
    }

    function make(tag, text, attributes) {
        var node = document.createElement(tag);
        if (text !== undefined && text !== null) {
            node.textContent = text;
        }
        for (var name in attributes || {}) {
            node.setAttribute(name, attributes[name]);
        }
        return node;
    }

    function table(answer) {
        var t = make('table', null, {'class': 'simulator-credit-tabel'});
        t.appendChild(make('caption', 'Ratele pe fiecare durata'));
        var head = t.appendChild(make('thead')).appendChild(make('tr'));
        ['Durata (luni)', 'Rata lunara (lei)', 'Dobanda fixa', 'DAE', 'Valoarea creditului (lei)',
         'Cost total (lei)', 'Total de plata (lei)'].forEach(function (title) {
            head.appendChild(make('th', title, {scope: 'col'}));
        });
        var body = t.appendChild(make('tbody'));
        answer.rows.forEach(function (row) {
            var tr = body.appendChild(make('tr'));
            tr.appendChild(make('th', String(row.duration), {scope: 'row'}));
            [lei(row.rataluna), percent(row.rate), percent(row.dae), lei(row.total_credit),
             lei(row.total_cost), lei(row.payable)].forEach(function (cell) {
                tr.appendChild(make('td', cell));
            });
        });
        return t;
    }

    function show(element, answer) {
        element.textContent = '';
        if (!answer.rows.length) {
            return; // no credit can be offered for this product: nothing is advertised
        }
        var id = 'simulator-credit-' + (++counter);
        var button = make('button', 'Rate de la ' + lei(answer.from) + ' lei/luna', {
            type: 'button', 'aria-expanded': 'false', 'aria-controls': id,
            'class': 'simulator-credit-buton'
        });
        var panel = make('div', null, {id: id, 'class': 'simulator-credit-detalii'});
        panel.hidden = true;
        panel.appendChild(table(answer));
        panel.appendChild(make('p', answer.example.text, {'class': 'simulator-credit-exemplu'}));
        button.addEventListener('click', function () {
            var open = panel.hidden;
            panel.hidden = !open;
            button.setAttribute('aria-expanded', open ? 'true' : 'false');
        });
        element.appendChild(button);
        element.appendChild(panel);
    }

    function load(element) {
        var service = element.getAttribute('data-service') || scriptOrigin;
        var query = [];
        [['valoare', 'data-valoare'], ['avans', 'data-avans'], ['asigurare', 'data-asigurare'],
         ['plata', 'data-plata']].forEach(function (pair) {
            var value = element.getAttribute(pair[1]);
            if (value !== null && value !== '') {
                query.push(pair[0] + '=' + encodeURIComponent(value.trim()));
            }
        });
        var url = service.replace(/\/+$/, '') + '/v1/rate?' + query.join('&');
        fetch(url, {credentials: 'omit', referrerPolicy: 'no-referrer'})
            .then(function (response) {
                if (!response.ok) {
                    throw new Error('HTTP ' + response.status);
                }
                return response.json();
            })
            .then(function (answer) {
                show(element, answer);
                element.dispatchEvent(new CustomEvent('simulator-credit:gata'));
            })
            .catch(function () {
                element.textContent = ''; // a page without the instalments rather than a broken one
            });
    }

    function start() {
        var elements = document.querySelectorAll('[data-simulator-credit]');
        for (var i = 0; i < elements.length; ++i) {
            if (!elements[i].hasAttribute('data-simulator-credit-incarcat')) {
                elements[i].setAttribute('data-simulator-credit-incarcat', '');
                load(elements[i]);
            }
        }
    }

    if (document.readyState === 'loading') {
        document.addEventListener('DOMContentLoaded', start);
    } else {
        start();
    }
})();
