#pragma once

#include <QRect>
#include <QWidget>

class QTableView;

namespace gui {

class SimulatorWindow;

// A window that follows the form (the schedule, the variants...): a tool window of the form's,
// carrying the program's menu shortcuts. A new one is a subclass constructed from the form's
// window, opened by one menu entry:
//   window.addEntry(menu, {...}, &window, [&window] { window.openCompanion<MyWindow>(); });
class CompanionWindow : public QWidget {
public:
    CompanionWindow(SimulatorWindow& owner, const QString& name, const QString& title);

    // Shows the window (placed beside the form when it was hidden), raised and active.
    void showBeside();

protected:
    SimulatorWindow& owner() const { return owner_; }

private:
    SimulatorWindow& owner_;
};

} // namespace gui
