#include "gui/offer_document.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cmath>
#include <map>
#include <string_view>
#include <vector>

namespace gui {
namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s).toHtmlEscaped();
}

// The one face the offer is set in; the PDF embeds the part of it that is used.
QFont offerFont(double points) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    return font;
}

QString dateText(QDate date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

// The offer library's labels are the window's and the CSV's, written without diacritics like the
// form's own texts; the paper handed to the customer writes them as Romanian is written, as the
// standard information form does, with the same words.
QString printed(const std::string& label) {
    static const std::map<std::string_view, const char*> written = {
        {"Suma finantata", "Suma finanțată"},
        {"Dobanda anuala", "Dobânda anuală"},
        {"Modalitate de plata", "Modalitate de plată"},
        {"Rata lunara", "Rata lunară"},
        {"Dobanda", "Dobânda"},
    };
    const auto it = written.find(label);
    return it == written.end() ? qs(label) : QString::fromUtf8(it->second).toHtmlEscaped();
}

void appendLines(QString& html, const std::vector<offer::Line>& lines) {
    html += QStringLiteral("<table cellspacing='0' cellpadding='3' width='100%'>");
    for (const offer::Line& line : lines) {
        html += QStringLiteral("<tr><td width='45%'>%1</td><td><b>%2</b></td></tr>")
                    .arg(printed(line.label), qs(line.value));
    }
    html += QStringLiteral("</table>");
}

void appendRow(QString& html, const offer::Row& row, const char* cell) {
    html += QStringLiteral("<tr>");
    for (std::size_t i = 0; i < row.size(); ++i) {
        html += QStringLiteral("<%1 align='%2'>%3</%1>")
                    .arg(QLatin1String(cell), QLatin1String(i == 0 ? "center" : "right"),
                         printed(row[i]));
    }
    html += QStringLiteral("</tr>");
}

// The document's own sentences, in Romanian with its diacritics (the figures' labels are the
// offer library's, shared with the window and the CSV).
QString documentTitle() {
    return QStringLiteral("Ofert\u0103 de credit");
}
QString informationNote() {
    return QStringLiteral("Aceasta este o simulare cu caracter informativ. Ea nu reprezint\u0103 "
                          "o ofert\u0103 ferm\u0103 \u0219i nici un contract de credit.");
}

// The schedule as one table, or, when `pageStarts` names the rows that begin a page, as one
// table per page: each closed at the foot of its page and opened again with its column names.
void appendSchedule(QString& html, const offer::OfferText& text,
                    const std::vector<std::size_t>& pageStarts) {
    const bool headingAlone = !pageStarts.empty() && pageStarts.front() == 0;
    html += QStringLiteral("<h2 style='font-size:13pt%1'>%2</h2>")
                .arg(QLatin1String(headingAlone ? "; page-break-before:always" : ""),
                     QString::fromUtf8(offer::scheduleTitle).toHtmlEscaped());
    std::vector<offer::Row> rows = text.rows;
    rows.push_back(text.totals);
    std::size_t next = headingAlone ? 1 : 0;
    bool open = false;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool newPage = next < pageStarts.size() && pageStarts[next] == r;
        if (newPage) {
            ++next;
        }
        if (!open || newPage) {
            if (open) {
                html += QStringLiteral("</tbody></table>");
            }
            html += QStringLiteral("<table border='1' cellspacing='0' cellpadding='3' "
                                   "width='100%' style='border-collapse:collapse; "
                                   "font-size:9pt%1'><thead>")
                        .arg(QLatin1String(newPage && r > 0 ? "; page-break-before:always" : ""));
            appendRow(html, text.header, "th");
            html += QStringLiteral("</thead><tbody>");
            open = true;
        }
        appendRow(html, rows[r], r + 1 == rows.size() ? "th" : "td");
    }
    html += QStringLiteral("</tbody></table>");
}

void build(QTextDocument& document, const offer::OfferText& text, QDate date,
           const std::vector<std::size_t>& pageStarts) {
    document.setDefaultFont(offerFont(10));
    document.setDocumentMargin(0);
    QString html = QStringLiteral("<html><body>");
    html += QStringLiteral("<h1 style='font-size:20pt'>%1</h1>").arg(documentTitle());
    // The line under the title says which tariff the figures come from, once there is one.
    if (!text.subtitle.empty()) {
        html += QStringLiteral("<p style='font-size:11pt'>%1</p>").arg(qs(text.subtitle));
    }
    html += QStringLiteral("<p>%1<br>Data: %2</p>").arg(qs(text.program), dateText(date));
    if (!text.valid) {
        html += QStringLiteral("<p>%1</p></body></html>").arg(qs(text.reason));
        document.setHtml(html);
        return;
    }
    html += QStringLiteral("<h2 style='font-size:13pt'>Datele creditului</h2>");
    appendLines(html, text.inputs);
    html += QStringLiteral("<h2 style='font-size:13pt'>Cifre cheie</h2>");
    appendLines(html, text.documentFigures);
    html += QStringLiteral("<p style='margin-top:18px'><i>%1</i></p>")
                .arg(informationNote().toHtmlEscaped());
    appendSchedule(html, text, pageStarts);
    html += QStringLiteral("</body></html>");
    document.setHtml(html);
}

// The schedule's last table in the document (the only one with borders).
QTextTable* scheduleTable(QTextDocument& document) {
    QTextTable* last = nullptr;
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            last = table;
        }
    }
    return last;
}

// The rows (months, then the totals) that must begin a page so that no row is cut by the page's
// foot, read from the layout of the schedule as one table on pages of `pageHeight`. Row 0 in
// the list: not even the first row fits on the page of the heading, which then moves too.
std::vector<std::size_t> pageStartsOf(QTextDocument& document, double pageHeight) {
    std::vector<std::size_t> starts;
    QTextTable* table = scheduleTable(document);
    if (table == nullptr || pageHeight <= 0) {
        return starts;
    }
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    auto top = [&](int row) {
        const QTextBlock block = table->cellAt(row, 0).firstCursorPosition().block();
        return layout->blockBoundingRect(block).top();
    };
    const int header = 1;
    const int rows = table->rows() - header;
    if (rows <= 1) {
        return starts;
    }
    // Room for the cell's padding and borders under its text, the table's closing line, and the
    // empty paragraph that the document keeps between two tables: without it that paragraph
    // would fall on a page of its own.
    const double rowHeight = top(header + 1) - top(header);
    const double slack = rowHeight + 6;
    int page = static_cast<int>(std::floor(top(0) / pageHeight));
    double headerHeight = top(header) - top(0);
    for (int r = 0; r < rows; ++r) {
        const double rowTop = top(header + r);
        const double bottom = rowTop + rowHeight + slack;
        if (bottom > (page + 1) * pageHeight) {
            starts.push_back(static_cast<std::size_t>(r));
            // The row opens the next page under a repeated header, as the laid-out table does.
            page = static_cast<int>(std::floor((rowTop - headerHeight) / pageHeight));
            if (rowTop + rowHeight + slack > (page + 1) * pageHeight) {
                ++page;
            }
        }
    }
    return starts;
}

} // namespace

QString offerDocumentTitle(const offer::OfferText& text, QDate date) {
    return QStringLiteral("%1 - %2 - %3")
        .arg(QString::fromUtf8(offer::offerTitle), QString::fromStdString(text.program),
             dateText(date));
}

void buildOfferDocument(QTextDocument& document, const offer::OfferText& text, QDate date) {
    build(document, text, date, {});
}

int paintOffer(const offer::OfferText& text, QDate date, QPagedPaintDevice& device) {
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&device);

    const QFont small = offerFont(8);
    const QFontMetricsF metrics(small, &device);
    const double band = metrics.height() * 2.5; // running head and foot, with room around them
    const QRectF page(0, 0, device.width(), device.height());
    const QSizeF body(page.width(), page.height() - 2 * band);
    // Laid out once as one table to see where the pages fall, then again with the schedule cut
    // into one closed table per page, each under its column names.
    document.setPageSize(body);
    build(document, text, date, {});
    if (text.valid) {
        const std::vector<std::size_t> starts = pageStartsOf(document, body.height());
        build(document, text, date, starts);
    }
    const int pages = document.pageCount();
    const QString head = offerDocumentTitle(text, date);

    QPainter painter(&device);
    for (int p = 0; p < pages; ++p) {
        if (p > 0) {
            device.newPage();
        }
        painter.setFont(small);
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, 0, page.width(), metrics.height()), Qt::AlignLeft, head);
        painter.drawText(
            QRectF(0, page.height() - metrics.height(), page.width(), metrics.height()),
            Qt::AlignRight, QStringLiteral("Pagina %1 din %2").arg(p + 1).arg(pages));
        painter.save();
        painter.translate(0, band - p * body.height());
        const QRectF visible(0, p * body.height(), body.width(), body.height());
        painter.setClipRect(visible);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = visible;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
    return pages;
}

QPageLayout offerPage() {
    return {QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 15, 18, 15),
            QPageLayout::Millimeter};
}

bool writeOfferPdf(const offer::OfferText& text, QDate date, QIODevice& device) {
    QPdfWriter writer(&device);
    writer.setPageLayout(offerPage());
    writer.setResolution(300);
    writer.setTitle(offerDocumentTitle(text, date));
    writer.setCreator(QStringLiteral("Simulator Credit " SIMCREDIT_VERSION));
    return paintOffer(text, date, writer) > 0;
}

} // namespace gui
