#pragma once

#include "core/simulation_state.h"
#include "core/window.h"
#include "ui/control_model.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

// The simulator's window without a toolkit: its controls, the simulation state, start-up and the
// event handlers. Every handler that recalculates ends in one call of the recalculation.
class Form1 {
public:
    // `messages` shows the message box: a real modal box in the window, a record elsewhere.
    // `tarif` is the tariff in force for the form's whole life; it must outlive the form.
    explicit Form1(core::MessageSink& messages, const tariff::Tariff& tarif = tariff::builtIn());
    // A copy of `source` that is not on screen, for asking "what if": its controls' contents, its
    // simulation state, its count of recalculations and whether its results are current; none of
    // its observers or sinks.
    Form1(const Form1& source, core::MessageSink& messages);
    // The same again onto this copy, reusing its storage.
    void copyFrom(const Form1& source);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Start-up, run once before the window is first shown; it recalculates twice.
    void Form_Load();

    // A new customer: the controls and the simulation state as the window was built (the
    // management-commission rates that earlier recalculations left behind included), then
    // start-up again, as if the window had just been opened. The observers and the tariff in
    // force stay, and the count of recalculations goes on.
    void startOver();

    ControlModel& controls() { return controls_; }
    const ControlModel& controls() const { return controls_; }
    core::SimulationState& state() { return state_; }
    const core::SimulationState& state() const { return state_; }

    // Calls of the recalculation since the window was created, nested ones included.
    long recalculations() const { return recalculations_; }
    // Where a runtime error that abandoned a recalculation is reported; none: not reported.
    void setFaultSink(core::FaultSink* faults) { faults_ = faults; }
    // False from a notification's recalculation that a runtime error abandoned until the next
    // one that completes: the figures shown then belong partly to earlier inputs.
    bool resultsCurrent() const { return resultsCurrent_; }

    // The agent's click on a check box: its value toggles, with the box's click notification.
    void click(Control checkBox);

    // Called once the outermost recalculation of a notification has finished (nested ones are
    // part of it), also when a runtime error abandoned it: the moment the window's figures are
    // settled, for views that follow the form. Observers read the form; they must not write it.
    void addRecalculationObserver(std::function<void()> observer) {
        recalculationObservers_.push_back(std::move(observer));
    }

private:
    void onNotification(Control c, Notification n);
    void recalculate();
    void Check1_Click();
    void Check2_Click();

    ControlModel controls_;
    core::SimulationState state_;
    core::MessageSink& messages_;
    long recalculations_ = 0;
    int depth_ = 0; // recalculations under way, nested ones included
    std::vector<std::function<void()>> recalculationObservers_;
    core::FaultSink* faults_ = nullptr;
    bool resultsCurrent_ = true;
};

// A message sink that records every box and confirms it at once.
class MessageLog final : public core::MessageSink {
public:
    void show(const core::Message& message) override { shown.push_back(message); }
    std::vector<core::Message> shown;
};

// A fault sink that keeps the latest faults, oldest dropped first, and counts them all: a
// session of any length holds a bounded record.
class FaultLog final : public core::FaultSink {
public:
    static constexpr std::size_t capacity = 100;
    void fault(std::string_view what) override;
    const std::deque<std::string>& kept() const { return kept_; }
    long long count() const { return count_; }

private:
    std::deque<std::string> kept_;
    long long count_ = 0;
};

} // namespace ui
