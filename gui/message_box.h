#pragma once

#include "core/window.h"

#include <QPointer>
#include <QWidget>

namespace gui {

// The program's message box: a real modal QMessageBox over the window, waiting until the agent
// closes it. The only box the program shows is style 16, an error icon with one OK button.
class MessageBoxSink final : public core::MessageSink {
public:
    explicit MessageBoxSink(QWidget* parent) : parent_(parent) {}

    void show(const core::Message& message) override;

private:
    QPointer<QWidget> parent_;
};

// The box of a tariff file that failed its checks: the problems in the agent's words, the checks'
// own pointers and the system's reason under "Detalii" for the lender's IT. Modal until closed.
void showTariffProblems(QWidget* parent, const QString& text, const QString& details);

} // namespace gui
