#include "gui/offer_document.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>

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

void appendLines(QString& html, const std::vector<offer::Line>& lines) {
    html += QStringLiteral("<table cellspacing='0' cellpadding='3' width='100%'>");
    for (const offer::Line& line : lines) {
        html += QStringLiteral("<tr><td width='45%'>%1</td><td><b>%2</b></td></tr>")
                    .arg(qs(line.label), qs(line.value));
    }
    html += QStringLiteral("</table>");
}

void appendRow(QString& html, const offer::Row& row, const char* cell) {
    html += QStringLiteral("<tr>");
    for (std::size_t i = 0; i < row.size(); ++i) {
        html +=
            QStringLiteral("<%1 align='%2'>%3</%1>")
                .arg(QLatin1String(cell), QLatin1String(i == 0 ? "center" : "right"), qs(row[i]));
    }
    html += QStringLiteral("</tr>");
}

} // namespace

QString offerDocumentTitle(const offer::OfferText& text, QDate date) {
    return QStringLiteral("%1 - %2 - %3")
        .arg(QString::fromUtf8(offer::offerTitle), QString::fromStdString(text.program),
             dateText(date));
}

void buildOfferDocument(QTextDocument& document, const offer::OfferText& text, QDate date) {
    document.setDefaultFont(offerFont(10));
    document.setDocumentMargin(0);
    QString html = QStringLiteral("<html><body>");
    html += QStringLiteral("<h1 style='font-size:20pt'>%1</h1>")
                .arg(QString::fromUtf8(offer::offerTitle).toHtmlEscaped());
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
    appendLines(html, text.keyFigures);
    html += QStringLiteral("<p style='margin-top:18px'><i>%1</i></p>")
                .arg(QString::fromUtf8(offer::informationNote).toHtmlEscaped());

    html += QStringLiteral("<h2 style='font-size:13pt; page-break-before:always'>%1</h2>")
                .arg(QString::fromUtf8(offer::scheduleTitle).toHtmlEscaped());
    html += QStringLiteral("<table border='1' cellspacing='0' cellpadding='3' width='100%' "
                           "style='border-collapse:collapse; font-size:9pt'><thead>");
    appendRow(html, text.header, "th");
    html += QStringLiteral("</thead><tbody>");
    for (const offer::Row& row : text.rows) {
        appendRow(html, row, "td");
    }
    appendRow(html, text.totals, "th");
    html += QStringLiteral("</tbody></table></body></html>");
    document.setHtml(html);
}

int paintOffer(const offer::OfferText& text, QDate date, QPagedPaintDevice& device) {
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&device);
    buildOfferDocument(document, text, date);

    const QFont small = offerFont(8);
    const QFontMetricsF metrics(small, &device);
    const double band = metrics.height() * 2.5; // running head and foot, with room around them
    const QRectF page(0, 0, device.width(), device.height());
    const QSizeF body(page.width(), page.height() - 2 * band);
    document.setPageSize(body);
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

} // namespace gui
