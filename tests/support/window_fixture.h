#pragma once

// What the window's test suites share: an opened window after start-up, the agent's typing, and
// the text a widget shows.

#include "gui/application.h"
#include "gui/simulator_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace testsupport {

inline std::unique_ptr<gui::SimulatorWindow> openWindow() {
    auto window = std::make_unique<gui::SimulatorWindow>();
    window->load();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        return nullptr;
    }
    return window;
}

// The agent clicks into a box, selects what it holds and types `keys` over it, key by key.
inline void typeInto(gui::SimulatorWindow& window, const char* name, const char* keys) {
    QWidget* box = window.control(name);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, QString::fromLatin1(keys));
}

inline QString shown(const QWidget* widget) {
    if (const auto* box = qobject_cast<const QLineEdit*>(widget)) {
        return box->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* list = qobject_cast<const QComboBox*>(widget)) {
        return list->currentText();
    }
    return {};
}

} // namespace testsupport
