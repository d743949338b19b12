#include "ui/control_model.h"

#include <algorithm>
#include <utility>

namespace ui {

std::string_view controlName(Control c) {
    return core::controlNames[static_cast<std::size_t>(c)];
}

bool controlByName(std::string_view name, Control& out) {
    const auto& names = core::controlNames;
    const auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) {
        return false;
    }
    out = static_cast<Control>(it - names.begin());
    return true;
}

ControlModel::ControlModel() : controls_(asBuilt()) {}

std::array<ControlData, core::controlCount> ControlModel::asBuilt() {
    // The window's caption and the check pair's first values; Label10 shows its name.
    std::array<ControlData, core::controlCount> built{};
    built[index(Control::Form1)].caption = "Simulator Credit Zentra 12-60";
    built[index(Control::Label10)].caption = "Label10";
    built[index(Control::Check1)].value = 1;
    return built;
}

void ControlModel::restoreAsBuilt() {
    controls_ = asBuilt();
    for (int i = 0; i < core::controlCount; ++i) {
        for (const Property p : {Property::Items, Property::Text, Property::Caption,
                                 Property::Visible, Property::Value, Property::ListIndex}) {
            changed(static_cast<Control>(i), p);
        }
    }
}

void ControlModel::changed(Control c, Property p) {
    for (const auto& observer : observers_) {
        observer(c, p);
    }
}

void ControlModel::notify(Control c, Notification n) {
    if (handler_) {
        handler_(c, n);
    }
}

void ControlModel::setText(Control c, std::string_view text) {
    ControlData& d = mutableData(c);
    if (d.text == text) {
        return;
    }
    d.text.assign(text);
    // Text and position change together: observers never see the new text with the old
    // position, and a list is redrawn once.
    bool positionChanged = false;
    if (!d.items.empty() || c == Control::cbasig) {
        const auto it = std::find(d.items.begin(), d.items.end(), d.text);
        const auto position = it == d.items.end() ? std::int16_t{-1}
                                                  : static_cast<std::int16_t>(it - d.items.begin());
        positionChanged = position != d.listIndex;
        d.listIndex = position;
    }
    changed(c, Property::Text);
    if (positionChanged) {
        changed(c, Property::ListIndex);
    }
    notify(c, Notification::TextChanged);
}

void ControlModel::setCaption(Control c, std::string_view caption) {
    ControlData& d = mutableData(c);
    if (d.caption != caption) {
        d.caption.assign(caption);
        changed(c, Property::Caption);
    }
}

void ControlModel::setVisible(Control c, bool visible) {
    ControlData& d = mutableData(c);
    if (d.visible != visible) {
        d.visible = visible;
        changed(c, Property::Visible);
    }
}

void ControlModel::setValue(Control c, int value) {
    ControlData& d = mutableData(c);
    if (d.value == value) {
        return; // the either-or pair relies on this silence
    }
    d.value = value;
    changed(c, Property::Value);
    notify(c, Notification::Click);
}

void ControlModel::addItem(Control c, std::string_view item) {
    mutableData(c).items.emplace_back(item);
    changed(c, Property::Items);
}

bool ControlModel::select(Control c, int position) {
    ControlData& d = mutableData(c);
    if (position < -1 || position >= static_cast<int>(d.items.size())) {
        return false;
    }
    d.listIndex = static_cast<std::int16_t>(position);
    const std::string chosen =
        position < 0 ? std::string() : d.items[static_cast<std::size_t>(position)];
    if (d.text != chosen) {
        d.text = chosen;
        changed(c, Property::Text);
    }
    changed(c, Property::ListIndex);
    notify(c, Notification::Click);
    return true;
}

} // namespace ui
