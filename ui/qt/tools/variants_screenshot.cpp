// Makes docs/variants.png: starts the real window (under Xvfb, see scripts/screenshot), types a
// customer who is refused at the duration asked for, opens the variants window (F3) and saves
// the form and the variants window side by side in one picture.
// Usage: simulator-credit-variants-screenshot <out.png>

#include "ui/qt/application.h"
#include "ui/qt/simulator_window.h"
#include "ui/qt/variants_window.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
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
    if (argc != 2) {
        std::fputs("usage: simulator-credit-variants-screenshot <out.png>\n", stderr);
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
    // Refused at 24 months: 3000 net, 350 of other instalments, 20000 with 500 down.
    type(window, "vn", "3000");
    type(window, "ar", "350");
    type(window, "tbvp", "20000");
    type(window, "tbavans", "500");
    type(window, "tbdurcred", "24");
    window.findChild<QAction*>(QStringLiteral("variantsAction"))->trigger(); // what F3 does
    auto* variants = window.findChild<ui::qt::VariantsWindow*>(QStringLiteral("variantsWindow"));
    if (variants == nullptr || !QTest::qWaitForWindowExposed(variants)) {
        std::fputs("the variants window was never shown\n", stderr);
        return 1;
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
    if (!both.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
