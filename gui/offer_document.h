#pragma once

#include "offer/offer_text.h"

#include <QDate>

class QPagedPaintDevice;
class QTextDocument;

namespace gui {

// The printed offer as a rich-text document: page 1 the title, the date, what the credit is,
// its key figures and the note that this is a simulation; the schedule from page 2, its column
// names repeated at the top of every page it runs onto.
void buildOfferDocument(QTextDocument& document, const offer::OfferText& text, QDate date);

// Lays the document out on the device's pages (A4 for the PDF, the printer's own otherwise)
// and paints each one with a running head and "Pagina N din M" at its foot. The text stays text,
// so a PDF can be searched and copied. Returns the number of pages.
int paintOffer(const offer::OfferText& text, QDate date, QPagedPaintDevice& device);

// The document's title, for the PDF's metadata and the print job.
QString offerDocumentTitle(const offer::OfferText& text, QDate date);

} // namespace gui
