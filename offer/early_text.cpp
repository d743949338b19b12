#include "offer/early_text.h"

#include "offer/cent_schedule.h"

#include <charconv>

namespace offer {
namespace {

std::string ron(double value) {
    return amount(value) + " RON";
}

std::string count(int n, const char* one, const char* many) {
    return n == 1 ? std::string("o ") + one : std::to_string(n) + ' ' + many;
}

// The months after in whole cents, as the documents print a schedule: the last month settles
// what is still due, so the principal column adds up to the balance left after the repayment.
void centRows(const Early& e, EarlyText& out) {
    ScheduleOffer after;
    after.valid = true;
    after.months = e.months;
    const std::optional<CentSchedule> cents = centSchedule(after, e.balance - e.amount);
    if (!cents) {
        return;
    }
    for (const CentRow& r : cents->months) {
        out.rows.push_back({std::to_string(r.month), centsText(r.instalment), centsText(r.interest),
                            centsText(r.commission), centsText(r.insurance), centsText(r.principal),
                            centsText(r.balance)});
    }
    const CentTotals& t = cents->totals;
    out.totals = {"Total",
                  centsText(t.instalment),
                  centsText(t.interest),
                  centsText(t.commission),
                  centsText(t.insurance),
                  centsText(t.principal),
                  ""};
}

std::string compensationWords(const Early& e, int remaining) {
    std::string out = "Creditorul poate cere o compensatie de " + percent(e.compensationRate) +
                      " din suma rambursata anticipat, fiindca pana la ultima rata " +
                      (remaining > 12 ? "mai este mai mult de un an" : "mai este cel mult un an") +
                      ". Legea nu permite mai mult decat dobanda care ar mai fi fost platita "
                      "pana la ultima rata pentru aceasta suma, adica " +
                      ron(e.interestLeft) + ". ";
    if (e.compensation < e.compensationRate * e.amount) {
        out += "Limita se aplica: compensatia este " + ron(e.compensation) + '.';
    } else {
        out += "Compensatia este " + ron(e.compensation) + '.';
    }
    return out;
}

} // namespace

std::optional<double> readAmount(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    std::string number(text);
    bool separator = false;
    bool digit = false;
    for (std::size_t i = 0; i < number.size(); ++i) {
        char& c = number[i];
        if (c == ',' || c == '.') {
            if (separator) {
                return std::nullopt;
            }
            separator = true;
            c = '.';
        } else if (c >= '0' && c <= '9') {
            digit = true;
        } else if (!(c == '-' && i == 0)) {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (!digit || ec != std::errc{} || ptr != number.data() + number.size()) {
        return std::nullopt;
    }
    return value;
}

EarlyText earlyText(const ui::Form1& form, const EarlyRequest& request) {
    const ScheduleOffer schedule = scheduleOffer(form);
    const Early e = earlyRepayment(schedule, form.state(), earlyTerms(form), request);
    EarlyText out;
    out.lastMonth = schedule.valid ? static_cast<int>(schedule.months.size()) - 1 : 0;
    out.header = {"Luna",      "Rata lunara", "Dobanda", "Comision gestiune",
                  "Asigurare", "Principal",   "Sold"};
    out.valid = e.valid;
    if (!e.valid) {
        out.reason = e.reason;
        return out;
    }
    const int remaining =
        static_cast<int>(schedule.months.size()) - static_cast<int>(request.month);
    const double rataluna = form.state().rataluna;
    // What follows is said as the table shows it, in cents; the other figures are unrounded
    // until shown, so they may differ from the table's sums by a cent or two.
    centRows(e, out);
    const std::string futureTotal = out.rows.empty() ? ron(e.futureTotal) : out.totals[1] + " RON";
    const std::string lastInstalment =
        out.rows.empty() ? std::string() : out.rows.back()[1] + " RON";
    // The table's first instalment: the unrounded one to the cent, except when a single month is
    // left, which settles the balance and may differ from it by a cent.
    const std::string firstInstalment =
        out.rows.empty() ? ron(e.instalment) : out.rows.front()[1] + " RON";
    out.figures = {
        {"Sold dupa rata " + std::to_string(request.month), ron(e.balance)},
        {"Suma rambursata anticipat", ron(e.amount)},
        {"Compensatie (" + percent(e.compensationRate) + ")", ron(e.compensation)},
        {"Limita legala a compensatiei", ron(e.interestLeft)},
        {"Comision de acordare restituit", ron(e.refund)},
        {"De plata azi", ron(e.payToday)},
        {"Total de rambursat in lunile urmatoare", futureTotal},
        {"Economie", ron(e.saving)},
    };
    // The lower instalment as the table's first row shows it; the kept one as it always was.
    if (request.mode == EarlyMode::rata) {
        out.figures.insert(out.figures.end() - 2, {"Rata noua", firstInstalment});
    } else if (request.mode == EarlyMode::durata) {
        out.figures.insert(out.figures.end() - 2, {"Rata lunara", ron(e.instalment)});
    }

    out.payToday = "Astazi clientul plateste " + ron(e.payToday) + ": suma rambursata de " +
                   ron(e.amount) + " plus compensatia de " + ron(e.compensation);
    out.payToday += e.refund > 0 ? " minus " + ron(e.refund) +
                                       " din comisionul de acordare, pentru lunile care nu mai "
                                       "urmeaza."
                                 : ".";
    out.saving = e.saving >= 0 ? "Fata de plata tuturor ratelor ramase, clientul economiseste " +
                                     ron(e.saving) + '.'
                               : "Fata de plata tuturor ratelor ramase, clientul plateste cu " +
                                     ron(-e.saving) + " mai mult.";
    out.compensation = compensationWords(e, remaining);

    const int months = static_cast<int>(e.months.size());
    switch (request.mode) {
    case EarlyMode::total:
        out.after = "Creditul se inchide: nu mai urmeaza nicio rata.";
        break;
    case EarlyMode::rata:
        out.after = "Durata ramane aceeasi: urmeaza " + count(months, "rata", "rate") + " de " +
                    firstInstalment + " in loc de " + ron(rataluna) + '.';
        break;
    case EarlyMode::durata:
        out.after = "Rata ramane " + ron(rataluna) + ": urmeaza " + count(months, "rata", "rate") +
                    " in loc de " + std::to_string(remaining) + ", ultima de " + lastInstalment +
                    '.';
        break;
    }
    return out;
}

} // namespace offer
