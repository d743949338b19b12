// The early-repayment window: opened from the offer menu or F4, it follows the form without
// touching it, answers in plain words and lists the months after in cents that add up.

#include "tests/support/window_fixture.h"

#include "gui/early_window.h"
#include "offer/early.h"
#include "offer/offer_text.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>

using testsupport::openWindow;
using testsupport::typeInto;

namespace {

gui::EarlyWindow* openEarly(gui::SimulatorWindow& window, bool byKey) {
    if (byKey) {
        QTest::keyClick(&window, Qt::Key_F4);
    } else {
        window.findChild<QAction*>(QStringLiteral("earlyAction"))->trigger();
    }
    auto* early = window.findChild<gui::EarlyWindow*>(QStringLiteral("earlyWindow"));
    if (early == nullptr || !QTest::qWaitForWindowExposed(early)) {
        return nullptr;
    }
    return early;
}

void typeCustomer(gui::SimulatorWindow& window) {
    typeInto(window, "tbvp", "2000");
    typeInto(window, "tbavans", "200");
    typeInto(window, "tbdurcred", "24");
}

// An amount of the table ("1234.56") in cents.
long long cents(const QString& text) {
    bool ok = false;
    const long long whole = text.section(QLatin1Char('.'), 0, 0).toLongLong(&ok);
    const long long fraction = text.section(QLatin1Char('.'), 1, 1).toLongLong();
    return text.startsWith(QLatin1Char('-')) ? whole * 100 - fraction : whole * 100 + fraction;
}

QString cell(const QTableView* table, int row, int column) {
    return table->model()->index(row, column).data().toString();
}

// Each column of the months adds up to its totals row, and the last balance is nothing.
void checkColumnsAddUp(const QTableView* table) {
    const int rows = table->model()->rowCount();
    QVERIFY(rows >= 2);
    for (int column = 1; column <= 5; ++column) {
        long long sum = 0;
        for (int row = 0; row + 1 < rows; ++row) {
            sum += cents(cell(table, row, column));
        }
        QCOMPARE(sum, cents(cell(table, rows - 1, column)));
    }
    QCOMPARE(cell(table, rows - 2, 6), QStringLiteral("0.00"));
    QCOMPARE(cell(table, rows - 1, 0), QStringLiteral("Total"));
}

} // namespace

class EarlyWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void OpensBesideTheFormAndLeavesItAlone() {
        auto window = openWindow();
        QVERIFY(window);
        auto* early = openEarly(*window, true);
        QVERIFY(early != nullptr);
        QCOMPARE(early->windowTitle(), QStringLiteral("Rambursare anticipata"));
        QVERIFY(window->offerMenu()->actions().contains(
            window->findChild<QAction*>(QStringLiteral("earlyAction"))));
        // Nothing typed yet: the reason, no figure.
        QVERIFY(early->message()->isVisible());
        QCOMPARE(early->message()->text(),
                 QStringLiteral("Valoarea produsului nu este completata."));
        QVERIFY(!early->monthBox()->isEnabled());

        typeCustomer(*window);
        const long before = window->form().recalculations();
        const std::string lbrata = window->form().controls().caption(core::Control::lbrata);
        QVERIFY(!early->message()->isVisible());
        QCOMPARE(early->monthBox()->maximum(), 23);
        QCOMPARE(early->monthBox()->value(), 12); // "and after a year?"
        early->monthBox()->setFocus();
        QTest::keyClick(early->monthBox(), Qt::Key_Up);
        QCOMPARE(early->shown().figures.front().label, std::string("Sold dupa rata 13"));
        QCOMPARE(window->form().recalculations(), before);
        QCOMPARE(window->form().controls().caption(core::Control::lbrata), lbrata);
        QVERIFY(openEarly(*window, false) == early); // one window, raised again
    }

    void SaysWhatIsPaidAndSavedInPlainWords() {
        auto window = openWindow();
        QVERIFY(window);
        typeCustomer(*window);
        auto* early = openEarly(*window, false);
        QVERIFY(early != nullptr);
        const offer::Early figures =
            offer::earlyRepayment(window->form(), {12, offer::EarlyMode::total, 0});
        const offer::EarlyText& text = early->shown();
        QVERIFY(text.valid);
        QVERIFY(text.payToday.starts_with("Astazi clientul plateste " +
                                          offer::amount(figures.payToday) + " RON"));
        QVERIFY(text.saving.find(offer::amount(figures.saving) + " RON") != std::string::npos);
        QVERIFY(text.compensation.find("0.50 %") != std::string::npos);
        QVERIFY(text.compensation.find(offer::amount(figures.interestLeft)) != std::string::npos);
        QVERIFY(!early->table()->isVisible()); // nothing follows a whole repayment

        // The last year's share a month before the end.
        early->monthBox()->setValue(23);
        QCOMPARE(early->shown().figures.front().label, std::string("Sold dupa rata 23"));
        QVERIFY(early->shown().compensation.find("0.50 %") != std::string::npos);
    }

    void PartWithEitherModeByKeyboard() {
        auto window = openWindow();
        QVERIFY(window);
        typeCustomer(*window);
        auto* early = openEarly(*window, true);
        QVERIFY(early != nullptr);
        QVERIFY(!early->amountBox()->isEnabled());
        early->partButton()->setFocus();
        QTest::keyClick(early->partButton(), Qt::Key_Space);
        QVERIFY(early->partButton()->isChecked());
        QVERIFY(early->amountBox()->isEnabled());
        // A part asked without an amount is said to be unreadable.
        QVERIFY(early->message()->isVisible());

        early->amountBox()->setFocus();
        QTest::keyClicks(early->amountBox(), QStringLiteral("1000,50"));
        QVERIFY(!early->message()->isVisible());
        QTableView* table = early->table();
        QVERIFY(table->isVisible());
        QCOMPARE(table->model()->rowCount(), 12 + 1);
        checkColumnsAddUp(table);

        early->shorterTermButton()->click();
        const int shorter = table->model()->rowCount();
        QVERIFY(shorter < 12 + 1);
        checkColumnsAddUp(table);
        QVERIFY(early->shown().after.starts_with("Rata ramane"));

        // More than the balance: the reason, not a figure.
        QTest::keyClick(early->amountBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(early->amountBox(), QStringLiteral("5000"));
        QVERIFY(early->message()->isVisible());
        QVERIFY(early->message()->text().startsWith(QStringLiteral("Suma rambursata partial")));
    }

    void FollowsTheFormsDuration() {
        auto window = openWindow();
        QVERIFY(window);
        typeCustomer(*window);
        auto* early = openEarly(*window, false);
        QVERIFY(early != nullptr);
        early->monthBox()->setValue(20);
        typeInto(*window, "tbdurcred", "12");
        QCOMPARE(early->monthBox()->maximum(), 11);
        QCOMPARE(early->monthBox()->value(), 11);
        QCOMPARE(early->shown().figures.front().label, std::string("Sold dupa rata 11"));
    }

    void ReadableByAScreenReader() {
        auto window = openWindow();
        QVERIFY(window);
        typeCustomer(*window);
        auto* early = openEarly(*window, false);
        QVERIFY(early != nullptr);
        QVERIFY(!early->monthBox()->accessibleName().isEmpty());
        QVERIFY(!early->amountBox()->accessibleName().isEmpty());
        QVERIFY(!early->table()->accessibleName().isEmpty());
        early->partButton()->click();
        early->amountBox()->setText(QStringLiteral("500"));
        Q_EMIT early->amountBox()->textEdited(QStringLiteral("500"));
        const QAbstractItemModel* model = early->table()->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Luna"));
        QCOMPARE(model->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Sold"));
        // Every figure shown is named by its caption.
        for (QLabel* figure : early->findChildren<QLabel*>()) {
            if (figure->objectName().startsWith(QStringLiteral("earlyFigure")) &&
                figure->isVisible()) {
                QVERIFY(!figure->accessibleName().isEmpty());
            }
        }
    }

    // Tab goes through the boxes to the months' table (leaving it and copying it are proven with
    // the other companion windows' tables), and each figure is tied to its caption.
    void TabReachesTheMonthsAndFiguresHaveCaptions() {
        auto window = openWindow();
        QVERIFY(window);
        typeCustomer(*window);
        auto* early = openEarly(*window, true);
        QVERIFY(early != nullptr);
        early->partButton()->click();
        early->amountBox()->setText(QStringLiteral("1000"));
        Q_EMIT early->amountBox()->textEdited(QStringLiteral("1000"));
        early->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(early));
        QTableView* table = early->table();
        QVERIFY(table->isVisible());

        early->monthBox()->setFocus();
        QStringList reached;
        for (int i = 0; i < 20 && QApplication::focusWidget() != table; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached << QApplication::focusWidget()->objectName();
        }
        QVERIFY2(QApplication::focusWidget() == table, qPrintable(reached.join(u' ')));
        QVERIFY(reached.contains(QStringLiteral("earlyAmount")));
        int tied = 0;
        for (QLabel* name : early->findChildren<QLabel*>()) {
            const QWidget* value = name->buddy();
            if (value != nullptr && name->isVisible() &&
                value->objectName().startsWith(QStringLiteral("earlyFigure"))) {
                QVERIFY(value->isVisible() && !name->text().isEmpty());
                ++tied;
            }
        }
        QCOMPARE(tied, 9);
    }
};

QTEST_MAIN(EarlyWindowTest)
#include "early_window_test.moc"
