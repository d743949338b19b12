// The variants' costs: every row after a keystroke, the three answers, and the form's keystroke
// in the real window (offscreen) with the variants window open or closed. Prints the medians
// against their goals as a Markdown table (also to --summary=FILE). Run by scripts/bench.

#include "bench/run_with_summary.h"
#include "gui/application.h"
#include "gui/simulator_window.h"
#include "gui/variants_window.h"
#include "offer/duration_rows.h"
#include "offer/what_would_pass.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using core::Control;

// The customers measured: accepted at 60 months; refused at 24 months, where the searches go
// through more of the grid's bands.
struct Customer {
    const char* vn;
    const char* ar;
    const char* tbvp;
    const char* tbavans;
    const char* months;
};
constexpr std::array<Customer, 2> customers = {
    {{"4500", "200", "12000", "500", "60"}, {"3000", "350", "20000", "500", "24"}}};

void enter(ui::Form1& form, const Customer& c) {
    auto& m = form.controls();
    m.setText(Control::vn, c.vn);
    m.setText(Control::ar, c.ar);
    m.setText(Control::tbvp, c.tbvp);
    m.setText(Control::tbavans, c.tbavans);
    m.setText(Control::tbdurcred, c.months);
}

// A keystroke in tbvp (a digit typed, erased at the next), then every row, as the variants
// window does it after the keystroke.
void rows(benchmark::State& state) {
    ui::MessageLog log;
    ui::Form1 form(log);
    form.Form_Load();
    enter(form, customers[static_cast<std::size_t>(state.range(0))]);
    offer::WhatIf whatIf(form);
    const std::string base = form.controls().text(Control::tbvp);
    bool typed = false;
    std::size_t count = 0;
    for (auto iteration : state) {
        static_cast<void>(iteration);
        form.controls().setText(Control::tbvp, typed ? base : base + "1");
        typed = !typed;
        count += offer::durationRows(whatIf, form).size();
    }
    benchmark::DoNotOptimize(count);
}
BENCHMARK(rows)
    ->Name("rows")
    ->ArgNames({"customer"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// The keystroke alone, to tell the rows' share.
void keystrokeAlone(benchmark::State& state) {
    ui::MessageLog log;
    ui::Form1 form(log);
    form.Form_Load();
    enter(form, customers[static_cast<std::size_t>(state.range(0))]);
    const std::string base = form.controls().text(Control::tbvp);
    bool typed = false;
    for (auto iteration : state) {
        static_cast<void>(iteration);
        form.controls().setText(Control::tbvp, typed ? base : base + "1");
        typed = !typed;
    }
}
BENCHMARK(keystrokeAlone)
    ->Name("keystroke_form")
    ->ArgNames({"customer"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

void answers(benchmark::State& state) {
    ui::MessageLog log;
    ui::Form1 form(log);
    form.Form_Load();
    enter(form, customers[static_cast<std::size_t>(state.range(0))]);
    offer::WhatIf whatIf(form);
    for (auto iteration : state) {
        static_cast<void>(iteration);
        benchmark::DoNotOptimize(offer::whatWouldPass(whatIf, form));
    }
}
BENCHMARK(answers)
    ->Name("answers")
    ->ArgNames({"customer"})
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

// The agent's keystroke in the real window: a key event into tbvp's line edit, a digit typed
// then erased, with the variants window open or closed. The keystroke is over once the form and
// its widgets show the result; the open window only asks to be brought up to date on the next
// turn of the event loop. With `turn`, that turn is taken too (the variants refreshed).
void keystroke(benchmark::State& state) {
    const bool open = state.range(1) != 0;
    const bool turn = state.range(2) != 0;
    auto window = std::make_unique<gui::SimulatorWindow>();
    window->load();
    window->show();
    enter(window->form(), customers[static_cast<std::size_t>(state.range(0))]);
    if (open) {
        window->findChild<QAction*>(QStringLiteral("variantsAction"))->trigger();
    }
    QApplication::processEvents();
    auto* box = qobject_cast<QLineEdit*>(window->control("tbvp"));
    box->setFocus();
    box->end(false);
    bool typed = false;
    for (auto iteration : state) {
        static_cast<void>(iteration);
        QKeyEvent press(QEvent::KeyPress, typed ? Qt::Key_Backspace : Qt::Key_1, Qt::NoModifier,
                        typed ? QString() : QStringLiteral("1"));
        QApplication::sendEvent(box, &press);
        typed = !typed;
        if (turn) {
            QApplication::processEvents();
        }
    }
}
BENCHMARK(keystroke)
    ->Name("keystroke_window")
    ->ArgNames({"customer", "open", "turn"})
    ->Args({0, 0, 0})
    ->Args({0, 1, 0})
    ->Args({0, 0, 1})
    ->Args({0, 1, 1})
    ->Unit(benchmark::kMicrosecond);

using bench::fixed;
using bench::Medians;

// A median by name, CPU time or elapsed; -1 when not measured.
double at(const Medians& m, const std::string& name, bool elapsed = false) {
    return Medians::at(elapsed ? m.wall : m.cpu, name);
}

std::string summary(const Medians& m) {
    std::string out = "| Figure (median) | CPU time | Goal | Met | Elapsed |\n"
                      "|---|---:|---|---|---:|\n";
    // `value` of the medians by name (CPU time, or elapsed); a goal met when at most `goal`.
    auto row = [&out, &m](const std::string& what, auto value, const std::string& unit, double goal,
                          const std::string& goalText) {
        const double cpu = value(false);
        const bool known = cpu >= 0;
        out +=
            "| " + what + " | " + (known ? fixed(cpu, 2) + unit : "—") + " | " + goalText + " | ";
        out += goal > 0 ? (known && cpu <= goal ? "yes" : "**no**") : "";
        out += " | " + (known ? fixed(value(true), 2) + unit : "—") + " |\n";
    };
    const std::array<std::string, 2> who = {"accepted, 60 months", "refused, 24 months"};
    for (std::size_t c = 0; c < customers.size(); ++c) {
        const std::string arg = "/customer:" + std::to_string(c);
        row(
            "Every row after a keystroke (" + who[c] + "), keystroke excluded",
            [&](bool e) {
                const double all = at(m, "rows" + arg, e);
                const double alone = at(m, "keystroke_form" + arg, e);
                return all < 0 || alone < 0 ? -1.0 : all - alone;
            },
            " µs", c == 0 ? 100 : 0, c == 0 ? "≤ 100 µs" : "");
    }
    for (std::size_t c = 0; c < customers.size(); ++c) {
        row(
            "The three answers (" + who[c] + ")",
            [&](bool e) { return at(m, "answers/customer:" + std::to_string(c), e); }, " µs", 2000,
            "≤ 2000 µs");
    }
    const std::string w = "keystroke_window/customer:0";
    auto median = [&m](const std::string& name) {
        return [&m, name](bool e) { return at(m, name, e); };
    };
    row("Keystroke in the window (60 months), variants closed", median(w + "/open:0/turn:0"), " µs",
        0, "");
    row("Keystroke in the window (60 months), variants open", median(w + "/open:1/turn:0"), " µs",
        0, "");
    const double closed = at(m, w + "/open:0/turn:0");
    const double opened = at(m, w + "/open:1/turn:0");
    row(
        "Open / closed",
        [&](bool e) {
            const double a = at(m, w + "/open:1/turn:0", e);
            const double b = at(m, w + "/open:0/turn:0", e);
            return a < 0 || b <= 0 ? -1.0 : a / b;
        },
        "×", closed > 0 && opened >= 0 ? 1.2 : 0, "≤ 1.2×");
    row("Keystroke and the event loop's next turn, variants closed", median(w + "/open:0/turn:1"),
        " µs", 0, "");
    row("Keystroke and the event loop's next turn (variants refreshed), open",
        median(w + "/open:1/turn:1"), " µs", 0, "");
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
