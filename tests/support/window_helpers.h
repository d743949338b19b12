#pragma once

// Shared by the window tests: keystrokes into a box, what a control shows, and a readable
// picture of every control and of the simulation state for comparisons.

#include "core/simulation_state.h"
#include "core/state_figures.h"
#include "ui/control_model.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

using core::Control;

// Each character is one edit of the box, as the agent's keystrokes are.
inline void type(ui::ControlModel& m, Control c, std::string_view keys) {
    for (char key : keys) {
        m.setText(c, m.text(c) + key);
    }
}

inline void backspace(ui::ControlModel& m, Control c) {
    if (!m.text(c).empty()) {
        m.setText(c, m.text(c).substr(0, m.text(c).size() - 1));
    }
}

inline void retype(ui::ControlModel& m, Control c, std::string_view keys) {
    while (!m.text(c).empty()) {
        backspace(m, c);
    }
    type(m, c, keys);
}

// Carriage returns as "<CR>", so that failure messages stay on one line.
inline std::string visibleText(std::string_view s) {
    std::string out;
    for (char ch : s) {
        out += ch == '\r' ? std::string("<CR>") : std::string(1, ch);
    }
    return out;
}

// The text of a box or of the list, the caption of anything else.
inline const std::string& shown(const ui::ControlModel& m, Control c) {
    const bool box = (c >= Control::vn && c <= Control::tbratatlx) || c == Control::cbasig;
    return box ? m.text(c) : m.caption(c);
}

using Shows = std::vector<std::pair<Control, std::string>>;

inline void expectShows(const ui::ControlModel& m, const Shows& expected) {
    for (const auto& [c, text] : expected) {
        EXPECT_EQ(visibleText(shown(m, c)), visibleText(text)) << "control " << ui::controlName(c);
    }
}

// One line per control with everything it holds.
inline std::vector<std::string> picture(const ui::ControlModel& m) {
    std::vector<std::string> out;
    for (int i = 0; i < core::controlCount; ++i) {
        const auto c = static_cast<Control>(i);
        const ui::ControlData& d = m.data(c);
        out.push_back(
            std::string(ui::controlName(c)) + " text=\"" + visibleText(d.text) + "\" caption=\"" +
            visibleText(d.caption) + "\" visible=" + std::to_string(d.visible) +
            " value=" + std::to_string(d.value) + " index=" + std::to_string(d.listIndex));
    }
    return out;
}

// Every scalar of the state by name, so that a comparison says which one differs.
inline std::vector<std::pair<std::string, double>> fields(const core::SimulationState& s) {
    std::vector<std::pair<std::string, double>> out;
    for (const core::StateFigure& figure : core::stateFigures()) {
        out.emplace_back(figure.name, s.*figure.member);
    }
    return out;
}

inline bool sameSchedules(const core::SimulationState& a, const core::SimulationState& b) {
    const auto& x = a.months;
    const auto& y = b.months;
    return x.adobanda == y.adobanda && x.acomgest == y.acomgest && x.aasig == y.aasig &&
           x.aprincipal == y.aprincipal && x.asold == y.asold;
}

} // namespace testsupport
