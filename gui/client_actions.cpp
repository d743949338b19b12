#include "gui/client_actions.h"

#include "gui/simulator_window.h"
#include "ui/summary.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>

namespace gui {

void addClientActions(SimulatorWindow& window) {
    QAction* newClient = window.addEntry(window.fileMenu(),
                                         {.text = QStringLiteral("Client &nou"),
                                          .name = QStringLiteral("newClientAction"),
                                          .shortcut = QKeySequence(Qt::CTRL | Qt::Key_N),
                                          .before = window.quitSeparator()},
                                         &window, [&window] { window.startOver(); });
    QAction* copy = window.addEntry(window.fileMenu(),
                                    {.text = QStringLiteral("&Copiaza rezultatele"),
                                     .name = QStringLiteral("copySummaryAction"),
                                     .shortcut = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                                     .before = window.quitSeparator()},
                                    &window, [&window] {
                                        QGuiApplication::clipboard()->setText(
                                            QString::fromStdString(summaryText(window.form())));
                                    });
    // Right-clicking anywhere but in a text box (which has its own menu) offers both.
    QWidget* client = window.clientArea();
    client->setContextMenuPolicy(Qt::ActionsContextMenu);
    client->addAction(copy);
    client->addAction(newClient);
}

} // namespace gui
