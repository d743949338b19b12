#include "gui/companion_window.h"

#include "gui/simulator_window.h"

namespace gui {

CompanionWindow::CompanionWindow(SimulatorWindow& owner, const QString& name, const QString& title)
    : QWidget(&owner, Qt::Window), owner_(owner) {
    setObjectName(name);
    setWindowTitle(title);
    addActions(owner.programActions());
}

void CompanionWindow::showBeside() {
    show();
    raise();
    activateWindow();
}

} // namespace gui
