#pragma once

#include "core/window.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

using core::Control;

// The notifications the event handlers receive.
enum class Notification : std::uint8_t { TextChanged, Click };

// What changed on a control, for whoever displays it.
enum class Property : std::uint8_t { Text, Caption, Visible, Value, Items, ListIndex };

// One control's contents. Text boxes and the list's text portion hold `text`; labels, frames and
// the window hold `caption`.
struct ControlData {
    std::string text;
    std::string caption;
    bool visible = true;
    int value = 0;                  // check boxes: 0 or 1
    std::vector<std::string> items; // the insurance list
    std::int16_t listIndex = -1;    // -1: nothing selected
};

// The window's controls without a toolkit. Every change made here, by the program or on the
// agent's behalf, raises its notification synchronously, nested inside the caller:
//  - a text that changes raises TextChanged; setting the same text raises nothing;
//  - a check value that changes raises Click; setting the value a box holds raises nothing;
//  - choosing a list item raises Click (and not TextChanged);
//  - typing into the list's text portion raises TextChanged and leaves the selected position at
//    -1 unless the text equals an item exactly.
// Captions and visibility raise nothing. Observers (the display) hear of every change first.
class ControlModel final : public core::Window {
public:
    using Handler = std::function<void(Control, Notification)>;
    using Observer = std::function<void(Control, Property)>;

    ControlModel();

    void setHandler(Handler handler) { handler_ = std::move(handler); }
    void addObserver(Observer observer) { observers_.push_back(std::move(observer)); }

    const ControlData& data(Control c) const { return controls_[index(c)]; }
    // Every control's contents from `other`, without a notification, a handler or an observer:
    // for a copy of the window that is not on screen.
    void copyContents(const ControlModel& other) { controls_ = other.controls_; }

    // core::Window
    const std::string& text(Control c) const override { return data(c).text; }
    void setText(Control c, std::string_view text) override;
    void setCaption(Control c, std::string_view caption) override;
    void setVisible(Control c, bool visible) override;
    int value(Control c) const override { return data(c).value; }
    std::int16_t listIndex(Control c) const override { return data(c).listIndex; }

    void setValue(Control c, int value);
    void addItem(Control c, std::string_view item);
    // Chooses item `position` (or none with -1): its text fills the text portion, and Click is
    // raised. Positions outside the list are refused (returns false).
    bool select(Control c, int position);

    const std::string& caption(Control c) const { return data(c).caption; }
    bool visible(Control c) const { return data(c).visible; }

    // Every control back to its contents as built (no items, no texts, the first captions),
    // the observers told of every property and the handler of nothing: the window shows the
    // controls as they were before start-up. Observers and handler stay.
    void restoreAsBuilt();

private:
    static std::size_t index(Control c) { return static_cast<std::size_t>(c); }
    static std::array<ControlData, core::controlCount> asBuilt();
    ControlData& mutableData(Control c) { return controls_[index(c)]; }
    void changed(Control c, Property p);
    void notify(Control c, Notification n);

    std::array<ControlData, core::controlCount> controls_;
    Handler handler_;
    std::vector<Observer> observers_;
};

// The control's name in the window ("tbvp"), and back; false for an unknown name.
std::string_view controlName(Control c);
bool controlByName(std::string_view name, Control& out);

} // namespace ui
