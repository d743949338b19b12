// The document entries tell the agent what they do: a refused customer's Ctrl+S, Ctrl+P or
// Ctrl+E says why no document may be issued, from any box of the form; the print dialog's
// "print to file" proposes a name that keeps the year.

#include "tests/support/window_fixture.h"

#include "gui/offer_actions.h"

#include <QAction>
#include <QMessageBox>
#include <QRegularExpression>

using testsupport::openWindow;
using testsupport::typeInto;

namespace {

QMessageBox* notice(gui::SimulatorWindow& window) {
    for (auto* box : window.findChildren<QMessageBox*>(QStringLiteral("refusedDocumentBox"))) {
        if (box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

} // namespace

class DocumentFeedbackTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void RefusedDocumentKeySaysWhy_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("box");
        QTest::newRow("Ctrl+S from the product value") << int(Qt::Key_S) << QStringLiteral("tbvp");
        QTest::newRow("Ctrl+P from the income") << int(Qt::Key_P) << QStringLiteral("vn");
        QTest::newRow("Ctrl+E from the insurance list")
            << int(Qt::Key_E) << QStringLiteral("cbasig");
    }
    void RefusedDocumentKeySaysWhy() {
        QFETCH(int, key);
        QFETCH(QString, box);
        auto window = openWindow();
        QVERIFY(window);
        typeInto(*window, "vn", "4200");
        typeInto(*window, "tbvp", "2000");
        typeInto(*window, "tbavans", "200");
        typeInto(*window, "tbdurcred", "70"); // beyond the product's limits
        const QString reason = window->offerActions()->savePdfAction()->toolTip();
        QVERIFY(!reason.isEmpty());
        QWidget* focus = window->control(box.toStdString());
        focus->setFocus();
        QTest::keyClick(focus, static_cast<Qt::Key>(key), Qt::ControlModifier);
        QTRY_VERIFY(notice(*window) != nullptr);
        QVERIFY2(notice(*window)->text().contains(reason), qPrintable(notice(*window)->text()));
        QCOMPARE(window->findChildren<QMessageBox*>(QStringLiteral("refusedDocumentBox")).size(),
                 1);
        notice(*window)->close();

        // Once an offer may be made the key does its work again, with no notice.
        typeInto(*window, "tbdurcred", "24");
        QVERIFY(window->offerActions()->savePdfAction()->isEnabled());
    }

    // The print dialog makes its file's name from the document's, cut at its last dot.
    void PrintToFileKeepsTheYear() {
        auto window = openWindow();
        QVERIFY(window);
        typeInto(*window, "vn", "4200");
        typeInto(*window, "tbvp", "2000");
        typeInto(*window, "tbavans", "200");
        window->offerActions()->today = [] { return QDate(2026, 12, 8); };
        const QString name = window->offerActions()->printDocumentName();
        const QRegularExpressionMatch cut =
            QRegularExpression(QStringLiteral("(.*)\\.\\S+")).match(name);
        QVERIFY(cut.hasMatch());
        QVERIFY2(cut.captured(1).contains(QStringLiteral("2026")), qPrintable(name));
        QVERIFY2(cut.captured(1).contains(QStringLiteral("60luni")), qPrintable(name));
    }
};

QTEST_MAIN(DocumentFeedbackTest)
#include "document_feedback_test.moc"
