// The toolkit's own dialogs speak the window's language: the buttons of a message box, the
// labels of the file dialog and the print dialog's choices come out in Romanian.

#include "gui/application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>
#include <QTimer>

class TranslationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void MessageBoxButtonsInRomanian() {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Tarif"), QStringLiteral("text"),
                        QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Save);
        box.setDetailedText(QStringLiteral("/credit: missing"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Anulează"));
        QCOMPARE(box.button(QMessageBox::Save)->text(), QStringLiteral("Salvează"));
        // The button that opens the details the tariff box keeps for the lender's IT.
        QStringList texts;
        for (const QAbstractButton* button : box.buttons()) {
            texts << button->text();
        }
        QVERIFY2(texts.contains(QStringLiteral("Detalii...")), qPrintable(texts.join(u'|')));
    }

    void FileDialogLabelsInRomanian() {
        QFileDialog dialog(nullptr, QStringLiteral("Salveaza oferta PDF"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        auto* name = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
        auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
        if (name == nullptr || lookIn == nullptr) {
            QFAIL("the file dialog's labels are not found");
        }
        QCOMPARE(name->text(), QStringLiteral("&Nume fișier:"));
        QCOMPARE(lookIn->text(), QStringLiteral("Caută în:"));
        QStringList buttons;
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            buttons << button->text();
        }
        QVERIFY2(buttons.contains(QStringLiteral("&Salvează")), qPrintable(buttons.join(u'|')));
    }

    // The dialog "Tipareste..." opens: its title, buttons, labels, groups and lists.
    void PrintDialogInRomanian() {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer);
        QStringList texts{dialog.windowTitle()};
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            texts << button->text();
        }
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            texts << label->text();
        }
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
            texts << group->title();
        }
        for (const QComboBox* list : dialog.findChildren<QComboBox*>()) {
            for (int i = 0; i < list->count(); ++i) {
                texts << list->itemText(i);
            }
        }
        // What the dialog says in English where no translation is loaded.
        const QStringList english{QStringLiteral("Print"),
                                  QStringLiteral("Properties"),
                                  QStringLiteral("Preview"),
                                  QStringLiteral("Grayscale"),
                                  QStringLiteral("Off"),
                                  QStringLiteral("Long side binding"),
                                  QStringLiteral("Short side binding"),
                                  QStringLiteral("Print all"),
                                  QStringLiteral("Pages from"),
                                  QStringLiteral("Pages"),
                                  QStringLiteral("Current Page"),
                                  QStringLiteral("Selection"),
                                  QStringLiteral("Collate"),
                                  QStringLiteral("Reverse"),
                                  QStringLiteral("Cancel"),
                                  QStringLiteral("Options >>"),
                                  QStringLiteral("Name:"),
                                  QStringLiteral("Location:"),
                                  QStringLiteral("Type:"),
                                  QStringLiteral("Output file:"),
                                  QStringLiteral("to"),
                                  QStringLiteral("Page Set:"),
                                  QStringLiteral("Copies:"),
                                  QStringLiteral("Printer"),
                                  QStringLiteral("Color Mode"),
                                  QStringLiteral("Double Sided Printing"),
                                  QStringLiteral("Print range"),
                                  QStringLiteral("Output Settings"),
                                  QStringLiteral("All Pages"),
                                  QStringLiteral("Odd Pages"),
                                  QStringLiteral("Even Pages")};
        for (const QString& text : texts) {
            QVERIFY2(!english.contains(QString(text).remove(QLatin1Char('&'))), qPrintable(text));
        }
        QVERIFY(texts.contains(QStringLiteral("Tipărește")));
        // Its "Proprietati" dialog, opened from it.
        QStringList properties;
        QTimer::singleShot(0, [&properties] {
            QWidget* box = QApplication::activeModalWidget();
            if (box == nullptr) {
                return;
            }
            properties << box->windowTitle();
            for (const QLabel* label : box->findChildren<QLabel*>()) {
                properties << label->text();
            }
            for (const QGroupBox* group : box->findChildren<QGroupBox*>()) {
                properties << group->title();
            }
            box->close();
        });
        auto* open = dialog.findChild<QAbstractButton*>(QStringLiteral("properties"));
        QVERIFY(open != nullptr);
        open->setEnabled(true);
        open->click();
        QVERIFY(properties.contains(QStringLiteral("Proprietățile imprimantei")));
        QVERIFY(!properties.contains(QStringLiteral("Printer Properties")));
        QVERIFY(
            properties.contains(QStringLiteral("Unele opțiuni sunt în conflict. Corectați-le.")));
    }
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
