#include "gui/insurance_list.h"

#include "gui/light_palette.h"

#include <QLineEdit>
#include <QPainter>
#include <QWheelEvent>

namespace gui {

InsuranceList::InsuranceList(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::StrongFocus); // a click or Tab gives it the focus, the wheel does not
}

void InsuranceList::setHint(const QString& hint) {
    if (hint_ == hint) {
        return;
    }
    hint_ = hint;
    setToolTip(hint);
    setAccessibleDescription(hint);
    update();
}

void InsuranceList::wheelEvent(QWheelEvent* event) {
    const bool focused = hasFocus() || (lineEdit() != nullptr && lineEdit()->hasFocus());
    if (!focused) {
        event->ignore(); // the frame behind it gets the wheel, and does nothing with it
        return;
    }
    QComboBox::wheelEvent(event);
}

void InsuranceList::paintEvent(QPaintEvent* event) {
    QComboBox::paintEvent(event);
    if (!hint_.isEmpty()) {
        QPainter painter(this);
        painter.setPen(QPen(errorRed, 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

} // namespace gui
