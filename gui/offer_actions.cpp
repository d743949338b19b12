#include "gui/offer_actions.h"

#include "gui/offer_document.h"
#include "gui/register_link.h"
#include "gui/schedule_window.h"
#include "gui/simulator_window.h"
#include "offer/standard_form.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>

namespace gui {
namespace {

const QString creator = QStringLiteral("Simulator Credit " SIMCREDIT_VERSION);

} // namespace

OfferActions::OfferActions(SimulatorWindow& window) : QObject(&window), window_(window) {
    // The file entries follow the form's verdict, worked out once per recalculation.
    window.form().addRecalculationObserver([this] { followForm(); });
    followForm();
    const auto whyNot = [this] { return whyNoOffer_; };
    QMenu* file = window.fileMenu();
    savePdf_ = window.addEntry(file,
                               {.text = QStringLiteral("Salveaza oferta &PDF..."),
                                .name = QStringLiteral("savePdfAction"),
                                .shortcut = QKeySequence(Qt::CTRL | Qt::Key_S),
                                .before = window.quitSeparator(),
                                .whyDisabled = whyNot},
                               this, [this] { askSavePdf(); });
    print_ = window.addEntry(file,
                             {.text = QStringLiteral("&Tipareste oferta..."),
                              .name = QStringLiteral("printAction"),
                              .shortcut = QKeySequence(Qt::CTRL | Qt::Key_P),
                              .before = window.quitSeparator(),
                              .whyDisabled = whyNot},
                             this, [this] { askPrint(); });
    exportCsv_ = window.addEntry(file,
                                 {.text = QStringLiteral("&Exporta graficul CSV..."),
                                  .name = QStringLiteral("exportCsvAction"),
                                  .shortcut = QKeySequence(Qt::CTRL | Qt::Key_E),
                                  .before = window.quitSeparator(),
                                  .whyDisabled = whyNot},
                                 this, [this] { askExportCsv(); });
    schedule_ = window.addEntry(window.offerMenu(),
                                {.text = QStringLiteral("&Grafic de rambursare"),
                                 .name = QStringLiteral("scheduleAction"),
                                 .shortcut = QKeySequence(Qt::Key_F2)},
                                this, [this] { showSchedule(); });

    choosePath = [this](const QString& title, const QString& proposed, const QString& filter) {
        return QFileDialog::getSaveFileName(&window_, title, proposed, filter);
    };
    showError = [this](const QString& title, const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Critical, title, text, QMessageBox::Ok, &window_);
        box->setObjectName(QStringLiteral("fileErrorBox"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
}

void OfferActions::followForm() {
    // No document for a simulation the customer may not be handed: the reason in the tooltip.
    whyNoOffer_ = QString::fromStdString(offer::documentRefusal(window_.form()));
}

ScheduleWindow* OfferActions::scheduleWindow() const {
    return window_.openedCompanion<ScheduleWindow>();
}

void OfferActions::showSchedule() {
    window_.openCompanion<ScheduleWindow>();
}

QString OfferActions::proposedName(const QString& extension) const {
    const offer::OfferText text = offer::offerText(window_.form());
    return QStringLiteral("oferta-%1-%2RON-%3luni.%4")
        .arg(today().toString(QStringLiteral("yyyy-MM-dd")),
             QString::fromStdString(offer::amount(text.financed)))
        .arg(text.months)
        .arg(extension);
}

// The print dialog proposes its "print to file" name from the document's name cut at its last
// dot: a name ending in ".pdf" keeps the date's year and the amount's cents.
QString OfferActions::printDocumentName() const {
    return proposedName(QStringLiteral("pdf"));
}

bool OfferActions::writeWhole(const QString& path, const char* failed,
                              const std::function<bool(QIODevice&)>& write) {
    QSaveFile file(path);
    QString failure;
    if (!file.open(QIODevice::WriteOnly)) {
        failure = file.errorString();
    } else {
        if (!write(file)) {
            failure = file.errorString().isEmpty() ? QStringLiteral("scrierea nu a reusit")
                                                   : file.errorString();
            file.cancelWriting();
        }
        // Renames the complete file into place; after a cancel it only removes the temporary one.
        if (!file.commit() && failure.isEmpty()) {
            failure = file.errorString();
        }
    }
    if (failure.isEmpty()) {
        return true;
    }
    showError(QStringLiteral("Eroare la salvare"),
              QStringLiteral("%1 in fisierul\n%2\n\n%3\n\nNu a fost lasat niciun fisier partial.")
                  .arg(QString::fromUtf8(failed), QDir::toNativeSeparators(path), failure));
    return false;
}

bool OfferActions::savePdf(const QString& path) {
    const offer::OfferText text = offer::offerText(window_.form());
    if (!text.valid || !offer::documentRefusal(window_.form()).empty()) {
        return false;
    }
    const QDate date = today();
    const bool written = writeWhole(path, "Oferta nu a putut fi scrisa", [&](QIODevice& device) {
        return writeOfferPdf(text, date, device);
    });
    if (written) {
        recordIssued(reg::kindOffer, path);
    }
    return written;
}

bool OfferActions::exportCsv(const QString& path) {
    if (!offer::documentRefusal(window_.form()).empty()) {
        return false;
    }
    const std::string csv = offer::scheduleCsv(offer::offerText(window_.form()));
    if (csv.empty()) {
        return false;
    }
    const bool written =
        writeWhole(path, "Graficul nu a putut fi scris", [&csv](QIODevice& device) {
            return device.write(csv.data(), static_cast<qint64>(csv.size())) ==
                   static_cast<qint64>(csv.size());
        });
    if (written) {
        recordIssued(reg::kindScheduleCsv, path);
    }
    return written;
}

// The save dialog, in the folder last saved to (the agent's documents folder at first) with the
// proposed name; empty when cancelled.
QString OfferActions::askPath(const QString& title, const QString& extension,
                              const QString& filter) {
    const QString folder = lastFolder_.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : lastFolder_;
    QString path = choosePath(title, QDir(folder).filePath(proposedName(extension)), filter);
    if (!path.isEmpty()) {
        lastFolder_ = QFileInfo(path).absolutePath();
    }
    return path;
}

// A file that could not be written: the agent has been told why, and chooses again.
void OfferActions::askSavePdf() {
    QString path;
    do {
        path = askPath(QStringLiteral("Salveaza oferta PDF"), QStringLiteral("pdf"),
                       QStringLiteral("Documente PDF (*.pdf)"));
    } while (!path.isEmpty() && !savePdf(path) && offer::offerText(window_.form()).valid);
}

void OfferActions::askExportCsv() {
    QString path;
    do {
        path = askPath(QStringLiteral("Exporta graficul CSV"), QStringLiteral("csv"),
                       QStringLiteral("Tabele CSV (*.csv)"));
    } while (!path.isEmpty() && !exportCsv(path) && offer::offerText(window_.form()).valid);
}

void OfferActions::askPrint() {
    const offer::OfferText text = offer::offerText(window_.form());
    if (!text.valid || !offer::documentRefusal(window_.form()).empty()) {
        return;
    }
    const QDate date = today();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(offerPage());
    printer.setDocName(printDocumentName());
    printer.setCreator(creator);
    QPrintDialog dialog(&printer, &window_);
    dialog.setWindowTitle(QStringLiteral("Tipareste oferta"));
    if (dialog.exec() == QDialog::Accepted) {
        paintOffer(text, date, printer);
        recordIssued(reg::kindPrintedOffer, std::nullopt);
    }
}

// Recorded once the document is out; without a register (a test's window) nothing is.
void OfferActions::recordIssued(std::string_view kind, const std::optional<QString>& file) {
    if (auto* link = window_.openedCompanion<RegisterLink>()) {
        link->issued(kind, file);
    }
}

} // namespace gui
