// A 1366 x 768 screen at 150 %: the scaled form does not fit the screen's free area, so it
// scrolls inside a window that fits, and every control can be brought into view. Run with the
// offscreen platform configured as that screen and QT_SCALE_FACTOR=1.5.

#include "tests/support/window_fixture.h"

#include "gui/early_window.h"
#include "gui/register_link.h"
#include "gui/register_window.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <utility>

using testsupport::openWindow;
using testsupport::typeInto;

class SmallScreenTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { gui::prepareApplication(); }

    void FormScrollsInsideAWindowThatFits() {
        auto window = openWindow();
        QVERIFY(window);
        const QRect available = window->screen()->availableGeometry();
        QVERIFY2(available.height() < 600, "the test needs the small screen's configuration");
        QVERIFY2(available.contains(window->frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2+%3+%4")
                                .arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())
                                .arg(window->frameGeometry().x())
                                .arg(window->frameGeometry().y())));
        auto* scroller = window->findChild<QScrollArea*>(QStringLiteral("formScroller"));
        QVERIFY(scroller != nullptr && scroller->isVisible());
        QCOMPARE(window->clientArea()->size(), QSize(848, 519)); // the form itself is untouched

        // The effective rate at the bottom of the form can be scrolled into view, and the keyboard
        // brings a box it moves to into view.
        for (const char* name : {"lbdae", "tbdurcred"}) {
            QWidget* control = window->control(name);
            scroller->ensureWidgetVisible(control);
            const QRect shown(control->mapTo(scroller->viewport(), QPoint(0, 0)), control->size());
            QVERIFY2(scroller->viewport()->rect().contains(shown), name);
            scroller->verticalScrollBar()->setValue(0);
        }
        typeInto(*window, "tbdurcred", "24");
        QWidget* duration = window->control("tbdurcred");
        const QRect shown(duration->mapTo(scroller->viewport(), QPoint(0, 0)), duration->size());
        QVERIFY(scroller->viewport()->rect().intersects(shown));
    }

    // The windows that follow the form open inside the same small screen, whole.
    void CompanionsOpenInsideTheScreen() {
        QTemporaryDir folder;
        qputenv("XDG_DATA_HOME", folder.filePath(QStringLiteral("data")).toUtf8());
        auto window = openWindow();
        QVERIFY(window);
        reg::LocationChoice local;
        local.location =
            reg::Location{folder.filePath(QStringLiteral("registru.sqlite")).toStdString(), {}};
        new gui::RegisterLink(*window, local);
        gui::addRegisterEntry(*window);
        for (const auto& [box, text] :
             {std::pair{"vn", "4200"}, std::pair{"tbvp", "2000"}, std::pair{"tbavans", "200"}}) {
            typeInto(*window, box, text);
        }
        const QRect available = window->screen()->availableGeometry();
        for (const char* name :
             {"scheduleAction", "variantsAction", "earlyAction", "registerAction"}) {
            window->findChild<QAction*>(QString::fromLatin1(name))->trigger();
        }
        // The early repayment's table shown too: part of the credit repaid.
        auto* early = window->openedCompanion<gui::EarlyWindow>();
        early->partButton()->click();
        QTest::keyClicks(early->amountBox(), QStringLiteral("500"));
        QVERIFY(early->table()->isVisible());
        QTest::qWait(50);
        for (const char* name :
             {"scheduleWindow", "variantsWindow", "earlyWindow", "registerWindow"}) {
            const auto* companion =
                window->findChild<QWidget*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
            QVERIFY2(companion != nullptr, name);
            QVERIFY(companion->isVisible());
            const QRect frame = companion->frameGeometry();
            QVERIFY2(available.contains(frame),
                     qPrintable(companion->objectName() + QStringLiteral(" %1x%2+%3+%4")
                                                              .arg(frame.width())
                                                              .arg(frame.height())
                                                              .arg(frame.x())
                                                              .arg(frame.y())));
        }
    }
};

QTEST_MAIN(SmallScreenTest)
#include "small_screen_test.moc"
