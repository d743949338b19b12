#include "offer/snapshot_json.h"

#include "core/state_figures.h"

#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace offer {
namespace {

using core::Control;
using nlohmann::json;

std::string dump(const json& j) {
    // Typed bytes need not be UTF-8: replace what is not, so every snapshot is valid JSON.
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

json controls(const ui::ControlModel& m) {
    json out = json::object();
    auto name = [](Control c) { return std::string(ui::controlName(c)); };
    for (Control c : {Control::Form1, Control::Label1}) {
        out[name(c)] = {{"caption", m.caption(c)}};
    }
    for (Control c : {Control::vn, Control::ar, Control::ad, Control::tbvp, Control::tbavans,
                      Control::tbdurcred, Control::tbdob, Control::bnr, Control::tbsumacc,
                      Control::tbratatlx}) {
        out[name(c)] = {{"text", m.text(c)}, {"visible", m.visible(c)}};
    }
    for (Control c : {Control::lbrata, Control::lbasig, Control::lbcomisgest,
                      Control::lbdobaferenta, Control::lbdae, Control::Label10}) {
        out[name(c)] = {{"caption", m.caption(c)}, {"visible", m.visible(c)}};
    }
    for (Control c : {Control::Eroare, Control::Frame6, Control::Frame3, Control::Frame4}) {
        out[name(c)] = {{"visible", m.visible(c)}};
    }
    for (Control c : {Control::Check1, Control::Check2}) {
        out[name(c)] = {{"value", m.value(c)}, {"visible", m.visible(c)}};
    }
    const ui::ControlData& list = m.data(Control::cbasig);
    out["cbasig"] = {{"text", list.text}, {"index", list.listIndex}, {"items", list.items}};
    return out;
}

std::string state(const core::SimulationState& s) {
    std::string out = "{";
    for (const core::StateFigure& figure : core::stateFigures()) {
        if (out.size() > 1) {
            out += ',';
        }
        out += dump(json(figure.name));
        out += ':';
        out += jsonNumber(s.*figure.member);
    }
    out += '}';
    return out;
}

} // namespace

std::string jsonNumber(double value) {
    if (std::isnan(value)) {
        return "\"NaN\"";
    }
    if (std::isinf(value)) {
        return value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    }
    std::array<char, 32> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return {buf.data(), res.ptr};
}

std::string jsonString(std::string_view text) {
    return dump(json(text));
}

std::string snapshotJson(const ui::Form1& form, const std::vector<core::Message>& messages,
                         const ui::FaultLog* faults) {
    json shown = json::array();
    for (const core::Message& m : messages) {
        shown.push_back({{"title", m.title}, {"prompt", m.prompt}});
    }
    // The numbers of the state are written with to_chars, the rest by the JSON library.
    std::string out = "{\"controls\":" + dump(controls(form.controls()));
    out += ",\"state\":" + state(form.state());
    out += ",\"messages\":" + dump(shown);
    out += ",\"recalculations\":" + std::to_string(form.recalculations());
    json kept = json::array();
    if (faults != nullptr) {
        for (const std::string& what : faults->kept()) {
            kept.push_back(what);
        }
    }
    out += ",\"faults\":" + dump(kept);
    if (faults != nullptr && faults->count() > static_cast<long long>(faults->kept().size())) {
        // Only the latest are kept; say how many there were in all.
        out += ",\"faults_count\":" + std::to_string(faults->count());
    }
    out += '}';
    return out;
}

} // namespace offer
