// The toolkit's own dialogs speak the window's language: the buttons of a message box, the
// labels of the file dialog and the print dialog's choices come out in Romanian.

#include "gui/application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

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
};

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
