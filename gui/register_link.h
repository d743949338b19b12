#pragma once

#include "register/location.h"
#include "register/record_of_form.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

class QLabel;
class QThread;
class QTimer;

namespace gui {

class SimulatorWindow;

// Records every document the window issues in the register, after its file is written. A record
// for a database server goes through the local outbox, sent at once from a thread of its own, so
// that a server that does not answer never holds the window. A record the register cannot take
// waits in the outbox, sent at start-up and every minute; one that
// neither can take stays in memory, and the agent is asked about it when the window closes. The
// number waiting shows at the right of the menu bar: the form's own area stays as it is.
class RegisterLink final : public QObject {
public:
    RegisterLink(SimulatorWindow& window, reg::LocationChoice where);
    ~RegisterLink() override;

    // A document just issued: `file` written (its SHA-256 recorded), or printed when none.
    void issued(std::string_view kind, const std::optional<QString>& file);

    // Sends the outbox now, off the window's thread; the count follows when it is done.
    void sendOutbox();

    const std::optional<reg::Location>& location() const { return location_; }
    long long waiting() const { return waiting_; }
    const std::vector<reg::MadeRecord>& unfiled() const { return unfiled_; }
    QString statusText() const;

    // Where a failure is told: a message box over the window, or whatever a test puts here.
    std::function<void(const QString& title, const QString& text)> showError;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void countWaiting();
    void keepUnfiled(reg::MadeRecord made, const QString& why);
    bool askAboutUnfiled();

    SimulatorWindow& window_;
    std::optional<reg::Location> location_;
    QString locationError_;
    long long waiting_ = 0;
    bool sending_ = false;
    bool sendAgain_ = false;
    std::vector<reg::MadeRecord> unfiled_;
    QLabel* status_ = nullptr;
    QTimer* timer_ = nullptr;
    QPointer<QThread> worker_;
};

} // namespace gui
