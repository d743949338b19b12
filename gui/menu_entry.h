#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>

class QAction;

namespace gui {

// One entry of the window's menus, as SimulatorWindow::addEntry makes it. Its shortcut works
// from the form and from every companion window.
struct MenuEntry {
    QString text = {};          // with its "&" mnemonic
    QString name = {};          // the action's objectName
    QKeySequence shortcut = {}; // none when empty
    QAction* before = nullptr;  // inserted before this entry of the menu, else at its end
    // Asked after every recalculation of the form: why the entry may not be used now, or empty
    // when it may. A disabled entry carries the reason as its tooltip.
    std::function<QString()> whyDisabled = {};
};

} // namespace gui
