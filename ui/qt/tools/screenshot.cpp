// Makes docs/screenshot.png: starts the real window (under Xvfb, see scripts/screenshot), types a
// simulation into it key by key as the agent would, and saves what the window shows. Given two
// more names, it also opens the schedule window and saves it, and saves the offer as PDF.
// Usage: simulator-credit-screenshot <out.png> [<schedule.png> <offer.pdf>]

#include "ui/qt/application.h"
#include "ui/qt/offer_actions.h"
#include "ui/qt/schedule_window.h"
#include "ui/qt/simulator_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <cstdio>

namespace {

void type(ui::qt::SimulatorWindow& window, const char* name, const char* keys) {
    QWidget* box = window.control(name);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier); // select what the box holds
    QTest::keyClicks(box, QString::fromLatin1(keys));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fputs("usage: simulator-credit-screenshot <out.png> [<schedule.png> <offer.pdf>]\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    ui::qt::prepareApplication();
    ui::qt::SimulatorWindow window;
    window.load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("the window was never shown\n", stderr);
        return 1;
    }
    type(window, "vn", "4200");
    type(window, "ar", "350");
    type(window, "ad", "100");
    type(window, "tbvp", "3500");
    type(window, "tbavans", "500");
    type(window, "tbdurcred", "24");
    // The second insurance option, chosen with the keyboard.
    auto* list = qobject_cast<QComboBox*>(window.control("cbasig"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    window.control("tbvp")->setFocus();
    QTest::qWait(200);
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    if (argc == 4) {
        window.offerActions()->scheduleAction()->trigger(); // what F2 does
        ui::qt::ScheduleWindow* schedule = window.offerActions()->scheduleWindow();
        if (schedule == nullptr || !QTest::qWaitForWindowExposed(schedule)) {
            std::fputs("the schedule window was never shown\n", stderr);
            return 1;
        }
        QTest::qWait(200);
        if (!schedule->grab().save(QString::fromLocal8Bit(argv[2]), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
        if (!window.offerActions()->savePdf(QString::fromLocal8Bit(argv[3]))) {
            std::fprintf(stderr, "cannot write %s\n", argv[3]);
            return 1;
        }
    }
    return 0;
}
