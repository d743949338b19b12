#include "schedule/schedule.h"
#include "ui/form1.h"

#include <benchmark/benchmark.h>

#include <string>

// One keystroke in the product value box (a digit typed, then erased at the next keystroke)
// and the whole recalculation it starts. Its plain variant also runs the plain DAE scan on the
// schedule the keystroke left: the keystroke as it was before the fast scan, give or take the
// fast scan's own few microseconds.
namespace {

using core::Control;

void keystroke(benchmark::State& state) {
    const auto months = state.range(0);
    const bool plain = state.range(1) != 0;
    ui::MessageLog log;
    ui::Form1 form(log);
    form.Form_Load();
    auto& controls = form.controls();
    controls.setText(Control::vn, "4500");
    controls.setText(Control::ar, "300");
    controls.setText(Control::ad, "100");
    controls.setText(Control::tbavans, "200");
    controls.setText(Control::tbdurcred, std::to_string(months));
    controls.setText(Control::tbvp, "2000");

    const long before = form.recalculations();
    bool typed = false;
    for (auto iteration : state) {
        static_cast<void>(iteration);
        controls.setText(Control::tbvp, typed ? "2000" : "20000");
        typed = !typed;
        if (plain) {
            const core::SimulationState& s = form.state();
            benchmark::DoNotOptimize(schedule::dae_ok_reference(s.valoareprodus - s.valavans,
                                                                s.dobanda, s.comacord, s.durata,
                                                                s.comgestluna, s.months));
        }
    }

    if (form.recalculations() - before != static_cast<long>(state.iterations()) ||
        controls.caption(Control::lbdae).empty() || !form.resultsCurrent()) {
        state.SkipWithError("the keystroke did not recalculate the DAE");
    }
    state.SetLabel(controls.caption(Control::lbdae));
}

BENCHMARK(keystroke)
    ->Name("keystroke")
    ->ArgNames({"months", "plain"})
    ->ArgsProduct({{6, 11, 24, 60, 120, 550}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// Start-up of a fresh window model: the table of controls, the parameters and two
// recalculations.
void formLoad(benchmark::State& state) {
    for (auto iteration : state) {
        static_cast<void>(iteration);
        ui::MessageLog log;
        ui::Form1 form(log);
        form.Form_Load();
        benchmark::DoNotOptimize(form.state().daeval);
    }
}

BENCHMARK(formLoad)->Name("Form_Load")->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// dae_ok alone, on the schedule the keystroke benchmark computes.
void daeOk(benchmark::State& state) {
    const double months = static_cast<double>(state.range(0));
    const auto dae = state.range(1) == 0 ? schedule::dae_ok : schedule::dae_ok_reference;
    schedule::MonthlySchedule schedule;
    schedule::calcratacomsold(2017.4, 0.107, months, 0.015, 0.0, schedule);
    for (auto iteration : state) {
        static_cast<void>(iteration);
        benchmark::DoNotOptimize(dae(1800.0, 0.107, 0.087, months, 0.015, schedule));
    }
}

BENCHMARK(daeOk)
    ->Name("dae_ok")
    ->ArgNames({"months", "plain"})
    ->ArgsProduct({{24, 60, 120, 550}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
