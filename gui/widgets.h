#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QString>

// The small widget classes the form is built from, each drawn as the form was designed.
namespace gui {

// A picture box draws its image from its top left corner, cut at its edges. It takes the focus
// in the tab order, so it shows a focus frame for the keyboard user.
class PictureBox final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A frame draws its caption on its top border, in the window's font, over an etched line; what
// it holds is placed from its outer top left corner.
class Frame final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The whole text when it fits `width`, else its start with "…" at the end: the sign and the
// leading digits of a figure stay, so a cut figure never reads as another number.
QString elided(const QString& text, const QFontMetrics& metrics, int width);

// The tooltip that carries a text the widget had to cut, in lines short enough for a screen.
QString wrappedForTip(const QString& text);

// A text box that shows its text elided while it does not fit and the box has no focus. With
// the focus it is an ordinary box that scrolls its text under the caret, since the agent is then
// reading or editing it character by character. It may also carry a hint: a red outline and a
// line in its tooltip and its accessible description.
class TextBox final : public QLineEdit {
public:
    explicit TextBox(QWidget* parent);

    // Whether the text does not fit, and what the box shows of it.
    bool isElided() const;
    QString shownText() const;

    // An empty hint removes the outline.
    void setHint(const QString& hint);
    const QString& hint() const { return hint_; }

    // The tooltip, made when it is asked for: the hint, then the whole text if it is cut.
    QString tipText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textArea() const;

    QString hint_;
};

// A label that never draws over its neighbours. A one-line label (a figure) draws its text
// centred as designed, moved or elided only as far as needed to stay within its clear span; a
// wrapping label (the error text) elides a word wider than a whole line. The label's text()
// stays the whole text; the tooltip carries it when it is cut.
class ElidedLabel final : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent);

    // The part of the label's width, in its own coordinates, that no other control covers.
    void setClearSpan(int left, int right);

    // What the label draws for its text, and where a one-line text starts.
    QString shownText() const;
    int shownLeft() const;

    // The tooltip, made when it is asked for: the whole text if it is cut.
    QString tipText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int clearLeft_ = 0;
    int clearRight_ = -1; // -1: the whole width
};

// The insurance list: a drop-down list with an editable text portion. The wheel changes it only
// while it has the focus, so a pointer passing over it on the way down the window changes
// nothing. Return in its text portion picks no item: the program's list has no such behaviour,
// and the toolkit's would choose an item the agent never chose. It may carry a hint, as the text
// boxes do: a red outline, a tooltip line and an accessible description.
class InsuranceList final : public QComboBox {
public:
    explicit InsuranceList(QWidget* parent);

    void setHint(const QString& hint);
    const QString& hint() const { return hint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString hint_;
};

// Once the form is built: every caption inside a frame that is wider than its label (the units
// "RON" and "LUNI" in the large bold font) gets the room it needs from the free space on its
// row, centred where it was as far as the neighbours allow; then every one-line figure label
// learns which part of it no neighbour covers.
void fitLabels(QWidget* form);

} // namespace gui
