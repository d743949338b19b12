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
    auto* newClient = new QAction(QStringLiteral("Client &nou"), &window);
    newClient->setObjectName(QStringLiteral("newClientAction"));
    newClient->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QObject::connect(newClient, &QAction::triggered, &window, [&window] { window.startOver(); });

    auto* copy = new QAction(QStringLiteral("&Copiaza rezultatele"), &window);
    copy->setObjectName(QStringLiteral("copySummaryAction"));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    QObject::connect(copy, &QAction::triggered, &window, [&window] {
        QGuiApplication::clipboard()->setText(QString::fromStdString(summaryText(window.form())));
    });

    window.fileMenu()->insertAction(window.quitSeparator(), newClient);
    window.fileMenu()->insertAction(window.quitSeparator(), copy);
    // Right-clicking anywhere but in a text box (which has its own menu) offers both.
    QWidget* client = window.clientArea();
    client->setContextMenuPolicy(Qt::ActionsContextMenu);
    client->addAction(copy);
    client->addAction(newClient);
}

} // namespace gui
