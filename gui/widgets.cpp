#include "gui/widgets.h"

#include "gui/light_palette.h"

#include <QColor>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

namespace gui {
namespace {

// What a line edit keeps between its frame and its text, as the toolkit lays it out.
constexpr int lineEditMarginX = 2;
constexpr int lineEditMarginY = 1;

// A frame's border and a pixel of air inside it.
constexpr int frameInset = 3;
// Controls that share fewer rows of pixels than this are one above the other (the layout lets
// the figures of one column touch by a pixel).
constexpr int minimumShared = 4;

bool isFigure(const QObject* object) {
    const auto* label = dynamic_cast<const ElidedLabel*>(object);
    return label != nullptr && !label->wordWrap();
}

// The part of the row of `w`, in its parent's coordinates, that no sibling covers; a sibling
// whose centre lies left of the widget's limits it from the left, any other from the right.
// Figures give way to the captions (`overFigures`): they keep to what the captions leave them.
std::pair<int, int> freeSpan(const QWidget* w, bool overFigures) {
    const QWidget* parent = w->parentWidget();
    const QRect r = w->geometry();
    int left = frameInset;
    int right = parent->width() - frameInset;
    for (QObject* object : parent->children()) {
        auto* sibling = qobject_cast<QWidget*>(object);
        if (sibling == nullptr || sibling == w || sibling->isWindow() ||
            (overFigures && isFigure(sibling))) {
            continue;
        }
        const QRect g = sibling->geometry();
        const int shared = std::min(g.bottom(), r.bottom()) - std::max(g.top(), r.top()) + 1;
        if (shared < minimumShared || (g.left() <= r.center().x() && r.center().x() <= g.right())) {
            continue; // another row, or above or below rather than beside
        }
        if (g.center().x() < r.center().x()) {
            left = std::max(left, g.right() + 1);
        } else {
            right = std::min(right, g.left());
        }
    }
    return {left, right};
}

int widestWord(const QLabel* label) {
    const QFontMetrics metrics = label->fontMetrics();
    int widest = 0;
    for (const QString& word :
         label->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        widest =
            std::max({widest, metrics.horizontalAdvance(word), metrics.boundingRect(word).width()});
    }
    return widest;
}

bool showTip(QEvent* event, QWidget* widget, const QString& tip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, widget);
    }
    return true;
}

} // namespace

QString elided(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    // A percentage is cut in its digits: without its "%" it would read as an amount.
    qsizetype digits = text.size();
    if (text.endsWith(QLatin1Char('%'))) {
        digits = text.size() - 1;
        while (digits > 0 && text[digits - 1].isSpace()) {
            --digits;
        }
    }
    const QString unit = text.mid(digits);
    const int room = std::max(width - metrics.horizontalAdvance(unit), 0);
    return metrics.elidedText(text.left(digits), Qt::ElideRight, room) + unit;
}

QString wrappedForTip(const QString& text) {
    constexpr qsizetype line = 60;
    QStringList lines;
    for (qsizetype at = 0; at < text.size(); at += line) {
        lines << text.mid(at, line);
    }
    return lines.join(QLatin1Char('\n'));
}

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

// Where the box draws its text, as the toolkit's line edit does.
QRect TextBox::textArea() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .marginsRemoved(textMargins())
        .adjusted(lineEditMarginX, lineEditMarginY, -lineEditMarginX, -lineEditMarginY);
}

bool TextBox::isElided() const {
    return fontMetrics().horizontalAdvance(text()) > textArea().width();
}

QString TextBox::shownText() const {
    return hasFocus() ? text() : elided(text(), fontMetrics(), textArea().width());
}

void TextBox::setHint(const QString& hint) {
    if (hint_ == hint) {
        return;
    }
    hint_ = hint;
    setAccessibleDescription(hint); // tells a screen reader the moment it changes
    update();
}

QString TextBox::tipText() const {
    QStringList parts;
    if (!hint_.isEmpty()) {
        parts << hint_;
    }
    if (isElided()) {
        parts << wrappedForTip(text());
    }
    return parts.join(QLatin1Char('\n'));
}

bool TextBox::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        return showTip(event, this, tipText());
    }
    return QLineEdit::event(event);
}

void TextBox::paintEvent(QPaintEvent* event) {
    if (hasFocus() || !isElided()) {
        QLineEdit::paintEvent(event);
    } else {
        // The box's own panel, then the cut text where the box would start it.
        QPainter painter(this);
        QStyleOptionFrame option;
        initStyleOption(&option);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(textArea(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
    }
    if (!hint_.isEmpty()) {
        QPainter painter(this);
        painter.setPen(QPen(errorRed, 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {}

void ElidedLabel::setClearSpan(int left, int right) {
    clearLeft_ = left;
    clearRight_ = right;
    update();
}

QString ElidedLabel::shownText() const {
    const QFontMetrics metrics = fontMetrics();
    if (!wordWrap()) {
        const int right = clearRight_ < 0 ? width() : clearRight_;
        return elided(text(), metrics, right - clearLeft_);
    }
    // Words are kept whole where they fit a line; a longer one (a figure of hundreds of digits)
    // is cut at the line's end instead of being shown in part from its middle.
    QStringList lines = text().split(QLatin1Char('\n'));
    for (QString& line : lines) {
        QStringList words = line.split(QLatin1Char(' '));
        for (QString& word : words) {
            word = elided(word, metrics, width());
        }
        line = words.join(QLatin1Char(' '));
    }
    return lines.join(QLatin1Char('\n'));
}

int ElidedLabel::shownLeft() const {
    const int right = clearRight_ < 0 ? width() : clearRight_;
    const int advance = fontMetrics().horizontalAdvance(shownText());
    int left = 0;
    if (alignment() & Qt::AlignHCenter) {
        left = (width() - advance) / 2;
    } else if (alignment() & Qt::AlignRight) {
        left = width() - advance;
    }
    return std::max(clearLeft_, std::min(left, right - advance));
}

QString ElidedLabel::tipText() const {
    const QString shown = shownText();
    return shown == text() ? QString() : wrappedForTip(text());
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        return showTip(event, this, tipText());
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QString shown = shownText();
    const QRect area = contentsRect();
    if (wordWrap()) {
        style()->drawItemText(&painter, area, static_cast<int>(alignment()) | Qt::TextWordWrap,
                              palette(), isEnabled(), shown, foregroundRole());
        return;
    }
    const int advance = fontMetrics().horizontalAdvance(shown);
    const QRect line(shownLeft(), area.top(), advance + 1, area.height());
    const int vertical = static_cast<int>(alignment() & Qt::AlignVertical_Mask);
    style()->drawItemText(&painter, line, Qt::AlignLeft | vertical, palette(), isEnabled(), shown,
                          foregroundRole());
}

void fitLabels(QWidget* form) {
    const QList<QLabel*> labels = form->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (label == nullptr || dynamic_cast<ElidedLabel*>(label) != nullptr ||
            qobject_cast<QGroupBox*>(label->parentWidget()) == nullptr) {
            continue; // figures stay as laid out; they give way instead
        }
        const int needed = widestWord(label) + 2; // a pixel of air either side
        const QRect r = label->geometry();
        if (needed <= r.width()) {
            continue;
        }
        // A neighbour the design lets overlap the label keeps that overlap, and no more.
        auto [left, right] = freeSpan(label, true);
        left = std::min(left, r.left());
        right = std::max(right, r.right() + 1);
        const int width = std::min(needed, right - left);
        const int x = std::clamp(r.center().x() + 1 - width / 2, left, right - width);
        label->setGeometry(x, r.top(), width, r.height());
    }
    for (QLabel* label : labels) {
        if (!isFigure(label)) {
            continue;
        }
        auto* figure = static_cast<ElidedLabel*>(label);
        const auto [left, right] = freeSpan(figure, false);
        const QRect r = figure->geometry();
        figure->setClearSpan(std::max(0, left - r.left()),
                             std::clamp(right - r.left(), 0, r.width()));
    }
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) {
        QStylePainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

void Frame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect border = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(border.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(border.adjusted(1, 1, 0, 0));
    if (!title().isEmpty()) {
        const QRect caption(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(caption, palette().window());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, Qt::AlignCenter, title());
    }
}

InsuranceList::InsuranceList(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::StrongFocus); // a click or Tab gives it the focus, the wheel does not
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert); // typed text never becomes an item
    setCompleter(nullptr);                // no inline completion: the text is what the agent typed
    lineEdit()->installEventFilter(this);
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

bool InsuranceList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
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
