#pragma once

#include "offer/offer_text.h"

#include <QDate>

class QIODevice;
class QPageLayout;
class QPagedPaintDevice;
class QTextDocument;

namespace gui {

// The printed offer as a rich-text document: the title, the date, what the credit is, its key
// figures, the note that this is a simulation, then the schedule, on page 1 when there is room.
// On the pages of paintOffer the schedule is one closed table per page, each under its column
// names.
void buildOfferDocument(QTextDocument& document, const offer::OfferText& text, QDate date);

// Lays the document out on the device's pages (A4 for the PDF, the printer's own otherwise)
// and paints each one with a running head and "Pagina N din M" at its foot. The text stays text,
// so a PDF can be searched and copied. Returns the number of pages.
int paintOffer(const offer::OfferText& text, QDate date, QPagedPaintDevice& device);

// The document's title, for the PDF's metadata and the print job.
QString offerDocumentTitle(const offer::OfferText& text, QDate date);

// The offer's page: A4 with margins wide enough for any printer.
QPageLayout offerPage();

// The offer as an A4 PDF on `device`: what "Salveaza oferta PDF" saves and `--document oferta`
// writes. False when nothing was drawn.
bool writeOfferPdf(const offer::OfferText& text, QDate date, QIODevice& device);

} // namespace gui
