// Early repayment: its figures on a 60-month schedule, and the open window brought up to date
// after a keystroke in the form or in the window's amount box (offscreen). Prints the medians
// against their goals as a Markdown table (also to --summary=FILE). Run by scripts/bench.

#include "bench/run_with_summary.h"
#include "gui/application.h"
#include "gui/early_window.h"
#include "gui/simulator_window.h"
#include "offer/early.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

namespace {

using core::Control;

std::unique_ptr<gui::SimulatorWindow> windowWith(int months) {
    auto window = std::make_unique<gui::SimulatorWindow>();
    window->load();
    window->show();
    auto& controls = window->form().controls();
    controls.setText(Control::vn, "4500");
    controls.setText(Control::tbavans, "200");
    controls.setText(Control::tbdurcred, std::to_string(months));
    controls.setText(Control::tbvp, "2000");
    QApplication::processEvents();
    return window;
}

// The figures as the batch tool's action computes them: the schedule read from the form, then
// the repayment after a year, with the months after for a part.
void figures(benchmark::State& state) {
    auto window = windowWith(60);
    const auto mode = static_cast<offer::EarlyMode>(state.range(0));
    const offer::EarlyRequest request{12, mode, 500};
    for (auto iteration : state) {
        static_cast<void>(iteration);
        benchmark::DoNotOptimize(offer::earlyRepayment(window->form(), request));
    }
    if (!offer::earlyRepayment(window->form(), request).valid) {
        state.SkipWithError("no figures for the 60-month schedule");
    }
}
BENCHMARK(figures)
    ->Name("early_figures")
    ->ArgNames({"mode"})
    ->Arg(static_cast<int>(offer::EarlyMode::total))
    ->Arg(static_cast<int>(offer::EarlyMode::rata))
    ->Arg(static_cast<int>(offer::EarlyMode::durata))
    ->Unit(benchmark::kMicrosecond);

gui::EarlyWindow* openPart(gui::SimulatorWindow& window) {
    auto* early = window.openCompanion<gui::EarlyWindow>();
    early->partButton()->click();
    early->amountBox()->setText(QStringLiteral("500"));
    Q_EMIT early->amountBox()->textEdited(QStringLiteral("500"));
    QApplication::processEvents();
    return early;
}

// A digit typed into tbvp and erased at the next, with the window open (a part repaid after a
// year, lower instalment) or not: the difference is what following the form costs.
void formKeystroke(benchmark::State& state) {
    auto window = windowWith(60);
    gui::EarlyWindow* early = state.range(0) != 0 ? openPart(*window) : nullptr;
    auto& controls = window->form().controls();
    bool typed = false;
    for (auto iteration : state) {
        static_cast<void>(iteration);
        controls.setText(Control::tbvp, typed ? "2000" : "2001");
        typed = !typed;
    }
    if (early != nullptr && early->shown().rows.size() != 48) {
        state.SkipWithError("the early-repayment window did not follow the form");
    }
}
BENCHMARK(formKeystroke)
    ->Name("early_form_keystroke")
    ->ArgNames({"open"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// A digit typed into the window's amount box and erased at the next.
void amountKeystroke(benchmark::State& state) {
    auto window = windowWith(60);
    gui::EarlyWindow* early = openPart(*window);
    QLineEdit* box = early->amountBox();
    bool typed = false;
    for (auto iteration : state) {
        static_cast<void>(iteration);
        const QString text = typed ? QStringLiteral("500") : QStringLiteral("501");
        box->setText(text);
        Q_EMIT box->textEdited(text);
        typed = !typed;
    }
}
BENCHMARK(amountKeystroke)->Name("early_amount_keystroke")->Unit(benchmark::kMicrosecond);

using bench::fixed;
using bench::Medians;

std::string summary(const Medians& m) {
    std::string out = "| Figure (median) | CPU time | Goal | Met | Elapsed |\n"
                      "|---|---:|---|---|---:|\n";
    auto row = [&out, &m](const std::string& what, const std::string& name, const std::string& less,
                          double goal) {
        const bool known =
            Medians::at(m.cpu, name) >= 0 && (less.empty() || Medians::at(m.cpu, less) >= 0);
        auto figure = [&](const std::map<std::string, double>& f) {
            return Medians::at(f, name) - (less.empty() ? 0.0 : Medians::at(f, less));
        };
        const double cpu = figure(m.cpu);
        out += "| " + what + " | " + (known ? fixed(cpu, 2) + " µs" : "—") + " | ";
        out += goal > 0 ? "≤ " + fixed(goal, 0) + " µs" : "";
        out += " | ";
        out += goal > 0 ? (known && cpu <= goal ? "yes" : "**no**") : "";
        out += " | " + (known ? fixed(figure(m.wall), 2) + " µs" : "—") + " |\n";
    };
    row("Figures after 12 of 60 months, whole balance", "early_figures/mode:0", "", 20);
    row("The same, 500 repaid, lower instalment", "early_figures/mode:1", "", 20);
    row("The same, 500 repaid, shorter term", "early_figures/mode:2", "", 20);
    row("Keystroke in the form, 60 months, window closed", "early_form_keystroke/open:0", "", 0);
    row("Keystroke in the form, 60 months, window open", "early_form_keystroke/open:1", "", 0);
    row("Window brought up to date (open less closed)", "early_form_keystroke/open:1",
        "early_form_keystroke/open:0", 1000);
    row("Keystroke in the window's amount box", "early_amount_keystroke", "", 1000);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gui::prepareApplication();
    Medians medians;
    return bench::runWithSummary(argc, argv, medians, summary);
}
