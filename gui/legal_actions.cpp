#include "gui/legal_actions.h"

#include "gui/register_link.h"
#include "gui/shop_dialog.h"
#include "gui/simulator_window.h"
#include "gui/standard_form_document.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

namespace gui {

std::string issueText(const QDateTime& when) {
    return when.toString(QStringLiteral("dd.MM.yyyy HH:mm")).toStdString();
}

LegalActions::LegalActions(SimulatorWindow& window, ui::ShopChoice shop)
    : QObject(&window), window_(window), shopChoice_(std::move(shop)) {
    // The form's entry follows the form, worked out once per recalculation.
    window.form().addRecalculationObserver([this] { followForm(); });
    followForm();
    QMenu* file = window.fileMenu();
    standardForm_ = window.addEntry(file,
                                    {.text = QStringLiteral("&Formular informatii standard..."),
                                     .name = QStringLiteral("standardFormAction"),
                                     .shortcut = QKeySequence(Qt::CTRL | Qt::Key_I),
                                     .before = window.quitSeparator(),
                                     .whyDisabled = [this] { return whyNoForm_; }},
                                    this, [this] { askStandardForm(); });
    shop_ = window.addEntry(file,
                            {.text = QStringLiteral("Datele &magazinului..."),
                             .name = QStringLiteral("shopAction"),
                             .before = window.quitSeparator()},
                            this, [this] { editShop(); });
    showError = [this](const QString& title, const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Critical, title, text, QMessageBox::Ok, &window_);
        box->setObjectName(QStringLiteral("fileErrorBox"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
    if (shopChoice_.failed()) { // told once the window is up; the form leaves the shop out
        QTimer::singleShot(0, this, [this] {
            showError(QStringLiteral("Datele magazinului"),
                      QString::fromStdString(shopChoice_.failureText()));
        });
    }
}

void LegalActions::followForm() {
    whyNoForm_ = QString::fromStdString(offer::standardFormRefusal(window_.form()));
}

offer::StandardForm LegalActions::currentForm() const {
    return offer::standardForm(window_.form(), shopChoice_.shop, issueText(now()));
}

bool LegalActions::saveStandardFormPdf(const QString& path) {
    const offer::StandardForm form = currentForm();
    if (!form.valid) {
        return false;
    }
    QSaveFile file(path);
    QString failure;
    if (!file.open(QIODevice::WriteOnly)) {
        failure = file.errorString();
    } else {
        if (!writeStandardFormPdf(form, file)) {
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
        if (auto* link = window_.openedCompanion<RegisterLink>()) {
            link->issued(reg::kindForm, path);
        }
        return true;
    }
    showError(QStringLiteral("Eroare la salvare"),
              QStringLiteral("Formularul nu a putut fi scris in fisierul\n%1\n\n%2\n\nNu a fost "
                             "lasat niciun fisier partial.")
                  .arg(QDir::toNativeSeparators(path), failure));
    return false;
}

// The agent saves the form as a PDF or sends it to a printer: one entry, one question.
void LegalActions::askStandardForm() {
    const offer::StandardForm form = currentForm();
    if (!form.valid) {
        return;
    }
    QMessageBox choice(QMessageBox::Question, QStringLiteral("Formular informatii standard"),
                       QStringLiteral("Salvati formularul ca PDF sau il tipariti?"),
                       QMessageBox::NoButton, &window_);
    QPushButton* pdf =
        choice.addButton(QStringLiteral("Salveaza &PDF..."), QMessageBox::AcceptRole);
    QPushButton* print = choice.addButton(QStringLiteral("&Tipareste..."), QMessageBox::AcceptRole);
    choice.addButton(QStringLiteral("&Renunta"), QMessageBox::RejectRole);
    choice.exec();
    if (choice.clickedButton() == pdf) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString name = QStringLiteral("formular-%1.pdf")
                                 .arg(now().toString(QStringLiteral("yyyy-MM-dd-HHmm")));
        const QString path = QFileDialog::getSaveFileName(
            &window_, QStringLiteral("Salveaza formularul PDF"), QDir(folder).filePath(name),
            QStringLiteral("Documente PDF (*.pdf)"));
        if (!path.isEmpty()) {
            saveStandardFormPdf(path);
        }
    } else if (choice.clickedButton() == print) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(standardFormPage());
        printer.setDocName(standardFormTitle(form));
        printer.setCreator(documentCreator());
        QPrintDialog dialog(&printer, &window_);
        dialog.setWindowTitle(QStringLiteral("Tipareste formularul"));
        if (dialog.exec() == QDialog::Accepted) {
            paintStandardForm(form, printer);
            if (auto* link = window_.openedCompanion<RegisterLink>()) {
                link->issued(reg::kindForm, std::nullopt);
            }
        }
    }
}

void LegalActions::editShop() {
    ShopDialog dialog(shopChoice_.shop, ui::shopSavePath(shopChoice_), &window_);
    if (dialog.exec() == QDialog::Accepted && dialog.saved()) {
        shopChoice_.file = ui::shopSavePath(shopChoice_);
        shopChoice_.shop = dialog.saved();
        shopChoice_.problems.clear();
    }
}

} // namespace gui
