#pragma once

// Helpers shared by the window tests: typing into a box one keystroke at a time, and a readable
// picture of every control and of the simulation state for comparisons.

#include "core/simulation_state.h"
#include "ui/control_model.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing_helpers {

using core::Control;

// Each character is one edit of the box, as the agent's keystrokes are.
inline void type(ui::ControlModel& m, Control c, std::string_view keys) {
    for (char key : keys) {
        m.setText(c, m.text(c) + key);
    }
}

inline void backspace(ui::ControlModel& m, Control c) {
    std::string t = m.text(c);
    if (!t.empty()) {
        t.pop_back();
        m.setText(c, t);
    }
}

inline void clear(ui::ControlModel& m, Control c) {
    while (!m.text(c).empty()) {
        backspace(m, c);
    }
}

inline void retype(ui::ControlModel& m, Control c, std::string_view keys) {
    clear(m, c);
    type(m, c, keys);
}

// Carriage returns shown as "<CR>" so that failure messages stay on one line.
inline std::string visibleText(std::string_view s) {
    std::string out;
    for (char ch : s) {
        out += ch == '\r' ? std::string("<CR>") : std::string(1, ch);
    }
    return out;
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
            " value=" + std::to_string(d.value) + " index=" + std::to_string(d.listIndex) +
            " items=" + std::to_string(d.items.size()));
    }
    return out;
}

// Every scalar of the state by name, for comparisons that say which one differs.
inline std::vector<std::pair<std::string, double>> fields(const core::SimulationState& s) {
    return {{"venitnet", s.venitnet},
            {"ratealte", s.ratealte},
            {"datoriialte", s.datoriialte},
            {"valoareprodus", s.valoareprodus},
            {"valavans", s.valavans},
            {"durata", s.durata},
            {"procasig", s.procasig},
            {"comgestluna", s.comgestluna},
            {"comacord", s.comacord},
            {"comacordmin", s.comacordmin},
            {"plafoncredit", s.plafoncredit},
            {"creditmin", s.creditmin},
            {"durmax", s.durmax},
            {"durmin", s.durmin},
            {"comgestdd", s.comgestdd},
            {"comgestnum", s.comgestnum},
            {"procasigstd", s.procasigstd},
            {"procasigoptim", s.procasigoptim},
            {"procasigsenior", s.procasigsenior},
            {"valoarecredit", s.valoarecredit},
            {"dobanda", s.dobanda},
            {"rataluna", s.rataluna},
            {"ratatotala", s.ratatotala},
            {"sumamax", s.sumamax},
            {"daeval", s.daeval}};
}

inline bool sameSchedules(const core::SimulationState& a, const core::SimulationState& b) {
    const auto& x = a.months;
    const auto& y = b.months;
    return x.adobanda == y.adobanda && x.acomgest == y.acomgest && x.aasig == y.aasig &&
           x.aprincipal == y.aprincipal && x.asold == y.asold;
}

} // namespace testing_helpers
