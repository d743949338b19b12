#include "gui/layout.h"
#include "gui/simulator_window.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>

// How the window fits what it shows: the lender's heading in its box, the form on the screen.
namespace gui {

// The heading is the lender's, from its tariff: one longer than the designed "CREDIT OMNIRA" is
// drawn in a smaller size of the same face until it fits its box on one line, never cut.
void SimulatorWindow::fitHeading(QLabel* heading) {
    QFont font = heading->font();
    if (!designedHeading_) {
        designedHeading_ = font.pointSizeF();
    }
    constexpr double smallest = 8;
    font.setPointSizeF(*designedHeading_);
    while (font.pointSizeF() > smallest &&
           QFontMetricsF(font).horizontalAdvance(heading->text()) > heading->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    if (font != heading->font()) {
        heading->setFont(font);
    }
}

// A form scaled beyond the screen's free area (150 % on a 1366 x 768 screen) would be cut off:
// it scrolls instead, inside a window that fits, the form itself unchanged. The box the keyboard
// moves to is brought into view.
void SimulatorWindow::fitScreen() {
    const QScreen* shown = screen();
    if (shown == nullptr) {
        return;
    }
    // The desktop's frame and title bar are not known before the window is shown.
    constexpr int frameWidth = 16;
    constexpr int frameHeight = 40;
    const QRect free = shown->availableGeometry();
    const int menuHeight = menuBar_->height();
    const QSize room(free.width() - frameWidth, free.height() - frameHeight);
    if (clientWidth <= room.width() && clientHeight + menuHeight <= room.height()) {
        return;
    }
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("formScroller"));
    scroller->setFrameShape(QFrame::NoFrame);
    client_->setFixedSize(clientWidth, clientHeight);
    scroller->setWidget(client_);
    const int bar = scroller->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize size(std::min(clientWidth + bar, room.width()),
                     std::min(clientHeight + menuHeight + bar, room.height()));
    menuBar_->setGeometry(0, 0, size.width(), menuHeight);
    scroller->setGeometry(0, menuHeight, size.width(), size.height() - menuHeight);
    setFixedSize(size);
    connect(qApp, &QApplication::focusChanged, scroller, [this, scroller](QWidget*, QWidget* now) {
        if (now != nullptr && client_->isAncestorOf(now)) {
            scroller->ensureWidgetVisible(now);
        }
    });
}

} // namespace gui
