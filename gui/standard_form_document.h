#pragma once

#include "offer/standard_form.h"

#include <QString>

class QIODevice;
class QPageLayout;
class QPagedPaintDevice;
class QTextDocument;

namespace gui {

// The standard information form as a rich-text document: the title and the essentials on page 1,
// the four numbered sections from page 2, then the date, the tariff and the customer's lines.
void buildStandardFormDocument(QTextDocument& document, const offer::StandardForm& form);

// Lays the form out on the device's pages and paints each one with the lender's name at its head
// and "Pagina N din M" at its foot, every word in Liberation Serif of at least 12 points (the
// smallest size the law allows for this form). Returns the number of pages.
int paintStandardForm(const offer::StandardForm& form, QPagedPaintDevice& device);

// The form's title, for the PDF's metadata and the print job.
QString standardFormTitle(const offer::StandardForm& form);

// The form's page: A4 with margins wide enough for any printer.
QPageLayout standardFormPage();
// Who made the document, for the PDF's metadata and the print job.
QString documentCreator();

// The form as an A4 PDF on `device`, the same pages the menu saves and the command line writes;
// false when nothing was drawn (a form that may not be issued draws nothing).
bool writeStandardFormPdf(const offer::StandardForm& form, QIODevice& device);

} // namespace gui
