// Makes docs/screenshot.png: starts the real window (under Xvfb, see scripts/screenshot), types a
// simulation into it key by key as the agent would, and saves what the window shows. Given two
// more names, it also opens the schedule window and saves it, and saves the offer as PDF. Given a
// fourth, it types a customer who is refused at the duration asked for, opens the variants
// window and saves the form and the variants window side by side.
// With --scene it types one of the hard cases instead and saves the window alone; the scene
// "early" saves the early-repayment window of the simulation above, for 1000 RON repaid after a
// year with a shorter term; "registru" the register window over a day's records and two of them
// compared (<out>-compara.png).
// Usage: simulator-credit-screenshot <out.png> [<schedule.png> <offer.pdf> [<variants.png>]]
//        simulator-credit-screenshot --scene refused|hostile|early|registru <out.png>

#include "gui/application.h"
#include "gui/early_window.h"
#include "gui/offer_actions.h"
#include "gui/register_link.h"
#include "gui/register_window.h"
#include "gui/schedule_window.h"
#include "gui/simulator_window.h"
#include "gui/variants_window.h"
#include "register/register.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

void type(gui::SimulatorWindow& window, const char* name, const char* keys) {
    QWidget* box = window.control(name);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier); // select what the box holds
    QTest::keyClicks(box, QString::fromLatin1(keys));
}

// The variants of a customer refused at 24 months (3000 net, 350 of other instalments, 20000
// with 500 down), beside the form.
bool saveVariants(gui::SimulatorWindow& window, const char* path) {
    type(window, "vn", "3000");
    type(window, "ar", "350");
    type(window, "ad", "");
    QTest::keyClick(window.control("ad"), Qt::Key_Delete); // what was selected goes
    type(window, "tbvp", "20000");
    type(window, "tbavans", "500");
    type(window, "tbdurcred", "24");
    window.findChild<QAction*>(QStringLiteral("variantsAction"))->trigger(); // what F3 does
    auto* variants = window.findChild<gui::VariantsWindow*>(QStringLiteral("variantsWindow"));
    if (variants == nullptr || !QTest::qWaitForWindowExposed(variants)) {
        std::fputs("the variants window was never shown\n", stderr);
        return false;
    }
    QTest::qWait(200);
    const QImage form = window.grab().toImage();
    const QImage side = variants->grab().toImage();
    constexpr int gap = 16;
    QImage both(form.width() + gap + side.width(), std::max(form.height(), side.height()),
                QImage::Format_RGB32);
    both.fill(QColor(96, 96, 96));
    QPainter painter(&both);
    painter.drawImage(0, 0, form);
    painter.drawImage(form.width() + gap, 0, side);
    painter.end();
    if (!both.save(QString::fromLocal8Bit(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return false;
    }
    return true;
}

// The customer of the offer (4200 net, 350 of other instalments, 100 of other debts, 3500 with
// 500 down over 24 months, "Standard") asking to repay 1000 after a year, keeping the instalment.
QWidget* typeEarly(gui::SimulatorWindow& window) {
    type(window, "vn", "4200");
    type(window, "ar", "350");
    type(window, "ad", "100");
    type(window, "tbvp", "3500");
    type(window, "tbavans", "500");
    type(window, "tbdurcred", "24");
    auto* list = qobject_cast<QComboBox*>(window.control("cbasig"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    window.findChild<QAction*>(QStringLiteral("earlyAction"))->trigger(); // what F4 does
    auto* early = window.findChild<gui::EarlyWindow*>(QStringLiteral("earlyWindow"));
    if (early == nullptr || !QTest::qWaitForWindowExposed(early)) {
        return nullptr;
    }
    early->partButton()->setFocus();
    QTest::keyClick(early->partButton(), Qt::Key_Space);
    early->amountBox()->setFocus();
    QTest::keyClicks(early->amountBox(), QStringLiteral("1000"));
    early->shorterTermButton()->setFocus();
    QTest::keyClick(early->shorterTermButton(), Qt::Key_Space);
    QTest::qWait(200);
    return early;
}

// The agent's hard cases: a customer refused for income, and texts the reader takes in part
// (a grouped amount, a 20-digit down payment, an insurance that is no item of the list).
bool typeScene(gui::SimulatorWindow& window, const char* scene) {
    if (std::strcmp(scene, "refused") == 0) {
        type(window, "vn", "1000");
        type(window, "ar", "900");
        type(window, "tbvp", "2000");
        type(window, "tbavans", "200");
        type(window, "tbdurcred", "24");
    } else if (std::strcmp(scene, "hostile") == 0) {
        type(window, "vn", "4,200");
        type(window, "tbvp", "3500 lei");
        type(window, "tbavans", "95287449600000000000");
        type(window, "cbasig", "senior");
        type(window, "tbdurcred", "24");
    } else {
        return false;
    }
    window.control("Check1")->setFocus(); // every box shows its text as it does unfocused
    QTest::qWait(200);
    return true;
}

// The register window over a few records of a day's work in a temporary register, then two of
// them compared: saved as `out` and as `out` with "-compara" before ".png".
bool saveRegister(gui::SimulatorWindow& window, const char* out) {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
    reg::LocationChoice where;
    where.location =
        reg::Location{dir.filePath(QStringLiteral("registru.sqlite")).toStdString(), {}};
    new gui::RegisterLink(window, where);
    gui::addRegisterEntry(window);
    reg::Register registru(*where.location, {});
    const struct {
        const char* product;
        const char* months;
        const char* customer;
        const char* shop;
        std::string_view kind;
    } day[] = {{"3500", "24", "Ioana Marinescu", "Magazinul Central", reg::kindOffer},
               {"3500", "36", "Ioana Marinescu", "Magazinul Central", reg::kindForm},
               {"2000", "12", "Mihai Dumitrescu", "Magazinul Nord", reg::kindOffer},
               {"5200", "48", "Elena Stan", "Magazinul Central", reg::kindScheduleCsv}};
    auto& m = window.form().controls();
    for (const auto& d : day) {
        m.setText(core::Control::vn, "4200");
        m.setText(core::Control::ar, "350");
        m.setText(core::Control::tbvp, d.product);
        m.setText(core::Control::tbavans, "500");
        m.setText(core::Control::tbdurcred, d.months);
        m.select(core::Control::cbasig, 1);
        reg::MadeRecord made =
            reg::makeRecord(window.form(), d.kind, std::string(d.shop), std::string(d.customer));
        made.record.document_sha256 = reg::sha256Hex(made.record.id);
        registru.file(made.record, made.tariffJson);
        QTest::qWait(1100); // one second apart: the list's order is the order of issue
    }
    window.findChild<QAction*>(QStringLiteral("registerAction"))->trigger(); // what Ctrl+R does
    auto* list = window.openedCompanion<gui::RegisterWindow>();
    if (list == nullptr || !QTest::qWaitForWindowExposed(list)) {
        return false;
    }
    list->table()->resizeColumnsToContents();
    list->table()->selectRow(2);
    QTest::qWait(200);
    if (!list->grab().save(QString::fromLocal8Bit(out), "PNG")) {
        return false;
    }
    list->compare({2, 3});
    auto* compared = list->findChild<QDialog*>(QStringLiteral("compareDialog"));
    if (compared == nullptr || !QTest::qWaitForWindowExposed(compared)) {
        return false;
    }
    QTest::qWait(200);
    QString second = QString::fromLocal8Bit(out);
    second.replace(QStringLiteral(".png"), QStringLiteral("-compara.png"));
    return compared->grab().save(second, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    const bool scene = argc == 4 && std::strcmp(argv[1], "--scene") == 0;
    if (argc != 2 && argc != 4 && argc != 5) {
        std::fputs(
            "usage: simulator-credit-screenshot <out.png> [<schedule.png> <offer.pdf> "
            "[<variants.png>]]\n"
            "       simulator-credit-screenshot --scene refused|hostile|early|registru <out.png>\n",
            stderr);
        return 2;
    }
    QApplication app(argc, argv);
    gui::prepareApplication();
    gui::SimulatorWindow window;
    window.load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("the window was never shown\n", stderr);
        return 1;
    }
    if (scene && std::strcmp(argv[2], "early") == 0) {
        QWidget* early = typeEarly(window);
        if (early == nullptr || !early->grab().save(QString::fromLocal8Bit(argv[3]), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    if (scene && std::strcmp(argv[2], "registru") == 0) {
        if (!saveRegister(window, argv[3])) {
            std::fprintf(stderr, "cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    if (scene) {
        if (!typeScene(window, argv[2])) {
            std::fprintf(stderr, "unknown scene %s\n", argv[2]);
            return 2;
        }
        if (!window.grab().save(QString::fromLocal8Bit(argv[3]), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
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
    if (argc >= 4) {
        window.offerActions()->scheduleAction()->trigger(); // what F2 does
        gui::ScheduleWindow* schedule = window.offerActions()->scheduleWindow();
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
    if (argc == 5 && !saveVariants(window, argv[4])) {
        return 1;
    }
    return 0;
}
