// The variants window: it follows the form late and through copies only, so the form counts and
// shows exactly what it would without it; choosing a row is one typed duration.

#include "tests/support/window_fixture.h"

#include "core/state_figures.h"
#include "gui/variants_window.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

using testsupport::openWindow;
using testsupport::typeInto;

namespace {

QString cell(const QTableView* table, int row, int column) {
    return table->model()->index(row, column).data().toString();
}

// From the menu entry, or by its shortcut F3 when the form is the active window.
gui::VariantsWindow* openVariants(gui::SimulatorWindow& window, bool byKey = false) {
    if (byKey) {
        QTest::keyClick(&window, Qt::Key_F3);
    } else {
        window.findChild<QAction*>(QStringLiteral("variantsAction"))->trigger();
    }
    auto* variants = window.findChild<gui::VariantsWindow*>(QStringLiteral("variantsWindow"));
    if (variants == nullptr || !QTest::qWaitForWindowExposed(variants)) {
        return nullptr;
    }
    return variants;
}

// Everything the form holds that a view could disturb.
QStringList formPicture(const ui::Form1& form) {
    QStringList out;
    for (int i = 0; i < core::controlCount; ++i) {
        const ui::ControlData& d = form.controls().data(static_cast<core::Control>(i));
        out << QString::fromStdString(d.text + "|" + d.caption) + QString::number(d.visible);
    }
    for (const core::StateFigure& figure : core::stateFigures()) {
        out << QString::number(form.state().*figure.member, 'g', 17);
    }
    out << QString::number(form.recalculations());
    return out;
}

// A refused customer: 3000 net, 350 other instalments, 20000 with 500 down.
void typeRefused(gui::SimulatorWindow& window, const char* months = "24") {
    typeInto(window, "vn", "3000");
    typeInto(window, "ar", "350");
    typeInto(window, "tbvp", "20000");
    typeInto(window, "tbavans", "500");
    typeInto(window, "tbdurcred", months);
}

} // namespace

class VariantsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void FollowsTheFormWithoutWritingIt() {
        auto window = openWindow();
        QVERIFY(window);
        auto reference = openWindow(); // the same typing, variants window never opened
        QVERIFY(reference);
        typeRefused(*window);
        typeRefused(*reference);

        const QStringList before = formPicture(window->form());
        auto* variants = openVariants(*window);
        QVERIFY(variants != nullptr && variants->isVisible());
        QCOMPARE(variants->windowTitle(), QStringLiteral("Variante"));
        QVERIFY(window->offerMenu()->actions().contains(
            window->findChild<QAction*>(QStringLiteral("variantsAction"))));
        QCOMPARE(formPicture(window->form()), before);

        const QTableView* table = variants->table();
        QCOMPARE(table->model()->rowCount(), 11);
        QCOMPARE(cell(table, 4, 0), QStringLiteral("24 (curenta)"));
        QCOMPARE(cell(table, 4, 1), QStringLiteral("10.70%"));
        QCOMPARE(cell(table, 4, 2), testsupport::shown(window->control("lbrata")));
        // The form's monthly payment under the name the documents give it, never the form's
        // "Total de Plata", which the schedule says of the whole amount repaid.
        QCOMPARE(table->model()->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("Rata lunara"));
        QCOMPARE(table->model()->headerData(3, Qt::Horizontal).toString(),
                 QStringLiteral("Cost total"));
        QCOMPARE(cell(table, 4, 3), testsupport::shown(window->control("lbdobaferenta")));
        QCOMPARE(cell(table, 4, 4), testsupport::shown(window->control("lbdae")));
        QCOMPARE(cell(table, 4, 5), testsupport::shown(window->control("bnr")));
        QCOMPARE(cell(table, 4, 6), QStringLiteral("Refuzat - indatorare"));
        QCOMPARE(cell(table, 10, 6), QStringLiteral("Acceptat"));
        QCOMPARE(variants->answerLabel(1)->text(), QStringLiteral("48 - 60 luni"));

        // Typing on: the rows follow once the keystrokes are handled, never in the middle.
        typeInto(*window, "tbdurcred", "70");
        typeInto(*reference, "tbdurcred", "70");
        QTRY_COMPARE(table->model()->rowCount(), 12);
        QCOMPARE(cell(table, 11, 0), QStringLiteral("70 (curenta)"));
        QCOMPARE(cell(table, 11, 6), QStringLiteral("Durata creditului este prea mare"));
        QCOMPARE(variants->answerLabel(0)->text(), QStringLiteral("nu exista"));
        QCOMPARE(variants->answerLabel(2)->text(), QStringLiteral("nu exista"));
        QCOMPARE(formPicture(window->form()), formPicture(reference->form()));

        variants->close();
        typeInto(*window, "tbavans", "9000");
        QTest::qWait(20);
        QCOMPARE(table->model()->rowCount(), 12); // closed, it does not follow
        openVariants(*window);
        QCOMPARE(variants->answerLabel(0)->text(), QStringLiteral("nu exista"));
        QCOMPARE(variants->answerLabel(1)->text(), QStringLiteral("23 - 60 luni"));
    }

    // Double click or Enter on a row: the duration box takes the row's duration as if typed,
    // one text change and one recalculation.
    void ChoosingARowTypesItsDuration() {
        auto window = openWindow();
        QVERIFY(window);
        typeRefused(*window);
        auto* variants = openVariants(*window, true);
        QVERIFY(variants != nullptr);
        QTableView* table = variants->table();

        long before = window->form().recalculations();
        const QRect row60 = table->visualRect(table->model()->index(10, 2));
        // The view takes a double click on the row it was pressed on, as a real one is.
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row60.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row60.center());
        QCOMPARE(testsupport::shown(window->control("tbdurcred")), QStringLiteral("60"));
        QCOMPARE(window->form().recalculations(), before + 1);
        QCOMPARE(window->form().state().durata, 60.0);
        QTRY_COMPARE(cell(table, 10, 0), QStringLiteral("60 (curenta)"));

        before = window->form().recalculations();
        table->setFocus();
        table->setCurrentIndex(table->model()->index(6, 0));
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(testsupport::shown(window->control("tbdurcred")), QStringLiteral("36"));
        QCOMPARE(window->form().recalculations(), before + 1);
        QTRY_COMPARE(cell(table, 6, 0), QStringLiteral("36 (curenta)"));
        QCOMPARE(table->model()->rowCount(), 11);
    }

    // The largest product value is named apart from the form's "Valoare maxima bunuri".
    void AnswersForTheFormsInputs() {
        auto window = openWindow();
        QVERIFY(window);
        typeInto(*window, "vn", "3000");
        typeInto(*window, "ar", "350");
        typeInto(*window, "tbvp", "2000");
        typeInto(*window, "tbavans", "500");
        typeInto(*window, "tbdurcred", "48");
        auto* variants = openVariants(*window);
        QVERIFY(variants != nullptr);
        QCOMPARE(testsupport::shown(window->control("tbsumacc")), QStringLiteral("19284.44"));
        QCOMPARE(variants->answerLabel(0)->text(), QStringLiteral("0 RON"));
        QCOMPARE(variants->answerLabel(1)->text(), QStringLiteral("6 - 60 luni"));
        QCOMPARE(variants->answerLabel(2)->text(), QStringLiteral("24504 RON"));
        QVERIFY(
            variants->answerLabel(2)->toolTip().contains(QStringLiteral("Valoare maxima bunuri")));
    }
};

QTEST_MAIN(VariantsWindowTest)
#include "variants_window_test.moc"
