#pragma once

#include <QComboBox>
#include <QString>

namespace gui {

// The insurance list: a drop-down list with an editable text portion. The wheel changes it only
// while it has the focus, so a pointer passing over it on the way down the window changes
// nothing. It may carry a hint, as the text boxes do: a red outline, a tooltip line and an
// accessible description.
class InsuranceList final : public QComboBox {
public:
    explicit InsuranceList(QWidget* parent);

    void setHint(const QString& hint);
    const QString& hint() const { return hint_; }

protected:
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString hint_;
};

} // namespace gui
