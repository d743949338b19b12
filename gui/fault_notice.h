#pragma once

#include "core/window.h"

#include <QPointer>

class QLabel;
class QMenuBar;

namespace ui {
class Form1;
}

namespace gui {

// A runtime error that abandoned a recalculation leaves figures that belong to other inputs. A
// one-line notice at the right end of the menu bar tells the agent so until a recalculation
// completes; the form itself is left as the recalculation left it. Each fault is also logged.
class FaultNotice final : public core::FaultSink {
public:
    FaultNotice(QMenuBar* bar, const ui::Form1& form);

    void fault(std::string_view what) override;
    // After every recalculation: shown exactly while the figures are not current.
    void follow();

private:
    QPointer<QLabel> label_;
    const ui::Form1& form_;
};

} // namespace gui
