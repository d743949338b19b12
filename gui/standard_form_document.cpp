#include "gui/standard_form_document.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace gui {
namespace {

// The law asks for a font like Times New Roman of at least 12 points: Liberation Serif has its
// metrics, and nothing on the form is set smaller than the body text.
constexpr double bodyPoints = 12;
constexpr double headingPoints = 14;
constexpr double titlePoints = 16;

QString qs(const std::string& s) {
    return QString::fromStdString(s).toHtmlEscaped();
}

QFont formFont(double points) {
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSizeF(points);
    // Never a look-alike: a missing glyph must not pull in a second, unembedded face.
    font.setStyleStrategy(QFont::PreferMatch);
    return font;
}

void appendSection(QString& html, const offer::FormSection& section, bool newPage) {
    html += QStringLiteral("<h2 style='font-size:%1pt; margin-top:14px%2'>%3</h2>")
                .arg(headingPoints)
                .arg(newPage ? QStringLiteral("; page-break-before:always") : QString())
                .arg(qs(section.heading));
    if (!section.lines.empty()) {
        html += QStringLiteral("<table cellspacing='0' cellpadding='3' width='100%'>");
        for (const offer::Line& line : section.lines) {
            html += QStringLiteral("<tr><td width='42%'>%1</td><td><b>%2</b></td></tr>")
                        .arg(qs(line.label), qs(line.value));
        }
        html += QStringLiteral("</table>");
    }
    for (const std::string& sentence : section.sentences) {
        html += QStringLiteral("<p align='justify'>%1</p>").arg(qs(sentence));
    }
}

} // namespace

QPageLayout standardFormPage() {
    return {QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 15, 20, 15),
            QPageLayout::Millimeter};
}

QString documentCreator() {
    return QStringLiteral("Simulator Credit " SIMCREDIT_VERSION);
}

bool writeStandardFormPdf(const offer::StandardForm& form, QIODevice& device) {
    if (!form.valid) {
        return false;
    }
    QPdfWriter writer(&device);
    writer.setPageLayout(standardFormPage());
    writer.setResolution(300);
    writer.setTitle(standardFormTitle(form));
    writer.setCreator(documentCreator());
    return paintStandardForm(form, writer) > 0;
}

QString standardFormTitle(const offer::StandardForm& form) {
    return QStringLiteral("%1 - %2").arg(QString::fromUtf8(offer::standardFormTitle),
                                         QString::fromStdString(form.creditor));
}

void buildStandardFormDocument(QTextDocument& document, const offer::StandardForm& form) {
    document.setDefaultFont(formFont(bodyPoints));
    document.setDocumentMargin(0);
    QString html = QStringLiteral("<html><body>");
    html += QStringLiteral("<h1 align='center' style='font-size:%1pt'>%2</h1>")
                .arg(titlePoints)
                .arg(qs(form.title));
    if (!form.valid) {
        html += QStringLiteral("<p>%1</p></body></html>").arg(qs(form.reason));
        document.setHtml(html);
        return;
    }
    // The essentials fill page 1; the numbered sections start on the next page.
    for (std::size_t i = 0; i < form.sections.size(); ++i) {
        appendSection(html, form.sections[i], i == 1);
    }
    html += QStringLiteral("<table cellspacing='0' cellpadding='3' width='100%' "
                           "style='margin-top:18px'>");
    for (const offer::Line& line : form.closing) {
        html += QStringLiteral("<tr><td width='42%'>%1</td><td>%2</td></tr>")
                    .arg(qs(line.label), qs(line.value));
    }
    html += QStringLiteral("</table>");
    html += QStringLiteral("<p style='margin-top:14px'>%1</p>").arg(qs(form.acknowledgement));
    const QString blank(40, QChar(u'_'));
    html += QStringLiteral("<p style='margin-top:18px'>Numele și prenumele clientului: %1</p>"
                           "<p style='margin-top:18px'>Semnătura clientului: %1</p>"
                           "<p style='margin-top:18px'>Data primirii: %1</p>")
                .arg(blank);
    html += QStringLiteral("</body></html>");
    document.setHtml(html);
}

int paintStandardForm(const offer::StandardForm& form, QPagedPaintDevice& device) {
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&device);
    buildStandardFormDocument(document, form);

    const QFont band = formFont(bodyPoints);
    const QFontMetricsF metrics(band, &device);
    const double margin = metrics.height() * 2; // running head and foot, with room around them
    const QRectF page(0, 0, device.width(), device.height());
    const QSizeF body(page.width(), page.height() - 2 * margin);
    document.setPageSize(body);
    const int pages = document.pageCount();
    const QString head = QString::fromStdString(form.creditor);

    QPainter painter(&device);
    for (int p = 0; p < pages; ++p) {
        if (p > 0) {
            device.newPage();
        }
        painter.setFont(band);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, 0, page.width(), metrics.height()), Qt::AlignLeft, head);
        painter.drawText(
            QRectF(0, page.height() - metrics.height(), page.width(), metrics.height()),
            Qt::AlignRight, QStringLiteral("Pagina %1 din %2").arg(p + 1).arg(pages));
        painter.save();
        painter.translate(0, margin - p * body.height());
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
