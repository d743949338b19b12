#include "offer/snapshot_json.h"

#include "core/state_figures.h"
#include "runtime/json_text.h"

#include <map>
#include <string>

namespace offer {
namespace {

using core::Control;
using runtime::JsonArray;
using runtime::JsonObject;

template <typename Texts> std::string texts(const Texts& items) {
    JsonArray out;
    for (const std::string& item : items) {
        out.text(item);
    }
    return out.str();
}

// Members in the byte order of their names, as the snapshots have always listed them.
std::string controls(const ui::ControlModel& m) {
    std::map<std::string, std::string, std::less<>> out;
    auto add = [&out](Control c, const JsonObject& o) {
        out.emplace(std::string(ui::controlName(c)), o.str());
    };
    for (Control c : {Control::Form1, Control::Label1}) {
        add(c, JsonObject().text("caption", m.caption(c)));
    }
    for (Control c : {Control::vn, Control::ar, Control::ad, Control::tbvp, Control::tbavans,
                      Control::tbdurcred, Control::tbdob, Control::bnr, Control::tbsumacc,
                      Control::tbratatlx}) {
        add(c, JsonObject().text("text", m.text(c)).boolean("visible", m.visible(c)));
    }
    for (Control c : {Control::lbrata, Control::lbasig, Control::lbcomisgest,
                      Control::lbdobaferenta, Control::lbdae, Control::Label10}) {
        add(c, JsonObject().text("caption", m.caption(c)).boolean("visible", m.visible(c)));
    }
    for (Control c : {Control::Eroare, Control::Frame6, Control::Frame3, Control::Frame4}) {
        add(c, JsonObject().boolean("visible", m.visible(c)));
    }
    for (Control c : {Control::Check1, Control::Check2}) {
        add(c, JsonObject().integer("value", m.value(c)).boolean("visible", m.visible(c)));
    }
    const ui::ControlData& list = m.data(Control::cbasig);
    add(Control::cbasig, JsonObject()
                             .integer("index", list.listIndex)
                             .raw("items", texts(list.items))
                             .text("text", list.text));
    JsonObject all;
    for (const auto& [name, value] : out) {
        all.raw(name, value);
    }
    return all.str();
}

std::string state(const core::SimulationState& s) {
    JsonObject out;
    for (const core::StateFigure& figure : core::stateFigures()) {
        out.number(figure.name, s.*figure.member);
    }
    return out.str();
}

} // namespace

std::string snapshotJson(const ui::Form1& form, const std::vector<core::Message>& messages,
                         const ui::FaultLog* faults) {
    JsonArray shown;
    for (const core::Message& m : messages) {
        shown.raw(JsonObject().text("prompt", m.prompt).text("title", m.title).str());
    }
    JsonObject out;
    out.raw("controls", controls(form.controls()));
    out.raw("state", state(form.state()));
    out.raw("messages", shown.str());
    out.integer("recalculations", form.recalculations());
    out.raw("faults", faults != nullptr ? texts(faults->kept()) : std::string("[]"));
    if (faults != nullptr && faults->count() > static_cast<long long>(faults->kept().size())) {
        // Only the latest are kept; say how many there were in all.
        out.integer("faults_count", faults->count());
    }
    return out.str();
}

} // namespace offer
