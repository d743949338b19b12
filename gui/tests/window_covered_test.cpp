// A verdict panel drawn over the costs band hides what is under it from the eye: a screen reader
// must not read those captions and figures as showing either.

#include "tests/support/window_fixture.h"

#include <QAccessible>

using testsupport::openWindow;
using testsupport::typeInto;

namespace {

bool showing(QWidget* widget) {
    return !QAccessible::queryAccessibleInterface(widget)->state().invisible;
}

} // namespace

class WindowCoveredTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void CostsUnderTheWarningPanelNotShowing() {
        auto window = openWindow();
        QVERIFY(window);
        const std::vector<const char*> costs = {"Label9", "lbdobaferenta", "label11", "lbdae"};
        for (const char* name : costs) {
            QVERIFY2(showing(window->control(name)), name);
        }
        // Too indebted: the warning panel covers the costs.
        typeInto(*window, "vn", "3000");
        typeInto(*window, "ar", "350");
        typeInto(*window, "tbvp", "20000");
        typeInto(*window, "tbavans", "500");
        typeInto(*window, "tbdurcred", "24");
        QVERIFY(window->control("Frame6")->isVisible());
        for (const char* name : costs) {
            QVERIFY2(!showing(window->control(name)), name);
        }
        QVERIFY(showing(window->control("lbrata"))); // beside the panel, not under it
        typeInto(*window, "vn", "30000");
        QVERIFY(!window->control("Frame6")->isVisible());
        for (const char* name : costs) {
            QVERIFY2(showing(window->control(name)), name);
        }
    }
};

QTEST_MAIN(WindowCoveredTest)
#include "window_covered_test.moc"
