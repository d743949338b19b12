#include "gui/companion_window.h"
#include "gui/simulator_window.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace gui {
namespace {

// The program's shortcuts come before a widget's own use of the same keys: a line edit claims
// Ctrl+E (end of line) on the desktops whose key scheme has it, which would leave the agent
// unable to export while typing. The keys a text box needs for typing are none of the program's.
class ProgramShortcuts final : public QObject {
public:
    explicit ProgramShortcuts(SimulatorWindow& window) : QObject(&window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* top = widget != nullptr ? widget->window() : nullptr;
        if (top == nullptr || (top != &window_ && top->parentWidget() != &window_)) {
            return false;
        }
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (QAction* action : window_.programActions()) {
            if (action->shortcut() != pressed) {
                continue;
            }
            if (action->isEnabled()) {
                return true; // not offered to the widget: the shortcut map takes the key
            }
            if (!action->toolTip().isEmpty()) {
                sayWhyNot(action);
            }
        }
        return false;
    }

private:
    // A disabled entry's key would otherwise do nothing at all: the agent is told why, once per
    // key press (the event passes every widget up to the window), in a box that does not block.
    void sayWhyNot(QAction* action) {
        if (pending_) {
            return;
        }
        pending_ = action;
        QTimer::singleShot(0, this, [this] {
            QAction* entry = pending_;
            pending_ = nullptr;
            if (entry == nullptr || entry->isEnabled()) {
                return;
            }
            if (notice_ == nullptr) {
                notice_ = new QMessageBox(QMessageBox::Information, QString(), QString(),
                                          QMessageBox::Ok, &window_);
                notice_->setObjectName(QStringLiteral("refusedDocumentBox"));
                notice_->setWindowModality(Qt::NonModal);
            }
            QString title = entry->text().remove(QLatin1Char('&'));
            if (title.endsWith(QStringLiteral("..."))) {
                title.chop(3);
            }
            notice_->setWindowTitle(title);
            notice_->setText(
                QStringLiteral("Documentul nu poate fi emis.\n\n%1").arg(entry->toolTip()));
            notice_->show();
            notice_->raise();
            notice_->activateWindow();
        });
    }

    SimulatorWindow& window_;
    QPointer<QAction> pending_;
    QPointer<QMessageBox> notice_;
};

} // namespace

void SimulatorWindow::buildMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    fileMenu_ = menuBar_->addMenu(QStringLiteral("&Fisier"));
    offerMenu_ = menuBar_->addMenu(QStringLiteral("&Oferta"));
    helpMenu_ = menuBar_->addMenu(QStringLiteral("A&jutor"));

    qApp->installEventFilter(new ProgramShortcuts(*this)); // removed with the window

    quitSeparator_ = fileMenu_->addSeparator();
    addEntry(fileMenu_,
             {.text = QStringLiteral("&Iesire"),
              .name = QStringLiteral("quitAction"),
              .shortcut = QKeySequence(Qt::CTRL | Qt::Key_Q)},
             this, [this] { close(); });
    addEntry(helpMenu_,
             {.text = QStringLiteral("&Despre..."), .name = QStringLiteral("aboutAction")}, this,
             [this] { showAbout(); });
}

QAction* SimulatorWindow::addEntry(QMenu* menu, const MenuEntry& entry, QObject* context,
                                   std::function<void()> slot) {
    auto* action = new QAction(entry.text, this);
    action->setObjectName(entry.name);
    if (!entry.shortcut.isEmpty()) {
        action->setShortcut(entry.shortcut);
    }
    menu->insertAction(entry.before, action);
    connect(action, &QAction::triggered, context, std::move(slot));
    if (entry.whyDisabled) {
        menu->setToolTipsVisible(true); // a disabled entry says why in its tooltip
        auto follow = [action, why = entry.whyDisabled] {
            const QString reason = why();
            action->setEnabled(reason.isEmpty());
            action->setToolTip(reason);
        };
        form_.addRecalculationObserver(follow);
        follow();
    }
    programActions_.append(action);
    for (QObject* child : children()) {
        if (auto* companion = dynamic_cast<CompanionWindow*>(child)) {
            companion->addAction(action);
        }
    }
    return action;
}

// Not modal for the application: the form stays usable while the box is open.
void SimulatorWindow::showAbout() {
    auto* box = new QMessageBox(
        QMessageBox::Information, QStringLiteral("Despre"),
        QStringLiteral("Simulator Credit %1").arg(QStringLiteral(SIMCREDIT_VERSION)),
        QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setInformativeText(
        QStringLiteral("Simulare de credit pentru bunuri cumparate in rate. Rezultatele au "
                       "caracter informativ.\n\n"
                       "Biblioteci folosite: Qt %1 (LGPL-3.0), nlohmann-json (MIT). "
                       "Fonturi: Liberation Sans (SIL Open Font License 1.1).\n\n%2")
            .arg(QString::fromLatin1(qVersion()), QString::fromStdString(tarif_.description())));
    box->open();
}

} // namespace gui
