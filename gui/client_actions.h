#pragma once

class QAction;

namespace gui {

class SimulatorWindow;

// The agent's actions on the whole simulation, in the "Fisier" menu before its separator and in
// the window's context menu:
//  - "Client nou" (Ctrl+N): every control and the simulation back to the start-up state, as if
//    the window had just been opened, and the focus in "Venit Net";
//  - "Copiaza rezultatele" (Ctrl+Shift+C): the simulation as plain text on the clipboard.
// Neither key is one a text box uses while the agent types.
void addClientActions(SimulatorWindow& window);

} // namespace gui
