#pragma once

#include "ui/form1.h"
#include "ui/qt/message_box.h"

#include <QWidget>

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QComboBox;

namespace ui::qt {

// The simulator's one window, built from the control table and bound to the control model of
// its Form1. The model is the only holder of values: the agent's own actions (an edit, a click, a
// choice) go to the model, and one observer writes every change of the model back to the widget.
class SimulatorWindow final : public QWidget {
public:
    explicit SimulatorWindow(QWidget* parent = nullptr);
    ~SimulatorWindow() override;
    SimulatorWindow(const SimulatorWindow&) = delete;
    SimulatorWindow& operator=(const SimulatorWindow&) = delete;

    // Start-up (Form_Load), once, before the window is first shown.
    void load();

    ui::Form1& form() { return form_; }
    const ui::Form1& form() const { return form_; }

    // The widget of a control by its name (and index within a label array), or null.
    QWidget* control(std::string_view name, int index = -1) const;

private:
    void build();
    void bind();
    void display(Control c, Property p);
    void displayList();
    QWidget* widgetOf(Control c) const { return bound_[static_cast<std::size_t>(c)]; }

    MessageBoxSink messages_;
    ui::Form1 form_;
    bool loaded_ = false;
    std::array<QWidget*, core::controlCount> bound_{};
    std::vector<std::pair<std::string, QWidget*>> widgets_; // "Label33(1)" for array members
};

} // namespace ui::qt
