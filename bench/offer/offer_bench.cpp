// The offer's costs in the real window (offscreen): the schedule window brought up to date after
// a keystroke, and the offer written as PDF. Prints the medians against their goals as a
// Markdown table (also to --summary=FILE). Run by scripts/bench.

#include "bench/run_with_summary.h"
#include "gui/application.h"
#include "gui/offer_actions.h"
#include "gui/schedule_window.h"
#include "gui/simulator_window.h"
#include "gui/standard_form_document.h"
#include "offer/standard_form.h"
#include "tariff/read.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

// One keystroke in tbvp (a digit typed, erased at the next), with the schedule window open or
// not: the difference is what following the form costs. With `paint`, the open window also
// repaints what it shows, as it would before the next keystroke.
void keystroke(benchmark::State& state) {
    const bool open = state.range(1) != 0;
    const bool paint = state.range(2) != 0;
    auto window = windowWith(static_cast<int>(state.range(0)));
    gui::OfferActions& actions = *window->offerActions();
    if (open) {
        actions.showSchedule();
        QApplication::processEvents();
    }
    auto& controls = window->form().controls();
    bool typed = false;
    for (auto iteration : state) {
        static_cast<void>(iteration);
        controls.setText(Control::tbvp, typed ? "2000" : "2001");
        typed = !typed;
        if (paint) {
            actions.scheduleWindow()->repaint();
        }
    }
    if (open &&
        actions.scheduleWindow()->shown().rows.size() != static_cast<std::size_t>(state.range(0))) {
        state.SkipWithError("the schedule window did not follow the form");
    }
}
BENCHMARK(keystroke)
    ->Name("keystroke")
    ->ArgNames({"months", "open", "paint"})
    ->Args({60, 0, 0})
    ->Args({60, 1, 0})
    ->Args({60, 1, 1})
    ->Unit(benchmark::kMicrosecond);

void offerPdf(benchmark::State& state) {
    auto window = windowWith(static_cast<int>(state.range(0)));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("oferta.pdf"));
    for (auto iteration : state) {
        static_cast<void>(iteration);
        if (!window->offerActions()->savePdf(path)) {
            state.SkipWithError("the offer was not written");
            break;
        }
    }
}
BENCHMARK(offerPdf)
    ->Name("offer_pdf")
    ->ArgNames({"months"})
    ->Arg(60)
    ->Unit(benchmark::kMillisecond);

// The standard information form for the same credit on a lender's tariff (it names the creditor):
// its texts made from the form and the whole A4 PDF written.
void standardFormPdf(benchmark::State& state) {
    const tariff::ReadResult lender = tariff::readFile(SIMCREDIT_LENDER_TARIFF);
    if (!lender.tariff) {
        state.SkipWithError("the lender's tariff cannot be read");
        return;
    }
    ui::MessageLog messages;
    ui::Form1 form(messages, *lender.tariff);
    form.Form_Load();
    auto& controls = form.controls();
    controls.setText(Control::vn, "4500");
    controls.setText(Control::tbavans, "200");
    controls.setText(Control::tbdurcred, std::to_string(state.range(0)));
    controls.setText(Control::tbvp, "2000");
    for (auto iteration : state) {
        static_cast<void>(iteration);
        const offer::StandardForm text =
            offer::standardForm(form, std::nullopt, "08.12.2026 12:00");
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        if (!gui::writeStandardFormPdf(text, pdf)) {
            state.SkipWithError(("the form was not written: " + text.reason).c_str());
            break;
        }
        benchmark::DoNotOptimize(pdf.size());
    }
}
BENCHMARK(standardFormPdf)
    ->Name("standard_form_pdf")
    ->ArgNames({"months"})
    ->Arg(60)
    ->Unit(benchmark::kMillisecond);

using bench::fixed;
using bench::Medians;

std::string summary(const Medians& m) {
    const std::string closed = "keystroke/months:60/open:0/paint:0";
    const std::string open = "keystroke/months:60/open:1/paint:0";
    const std::string painted = "keystroke/months:60/open:1/paint:1";
    std::string out = "| Figure (median) | CPU time | Goal | Met | Elapsed |\n"
                      "|---|---:|---|---|---:|\n";
    // A figure by name, less another where given (the keystroke with the window closed).
    auto row = [&out, &m](const std::string& what, const std::string& name, const std::string& less,
                          const std::string& unit, double goal) {
        const bool known =
            Medians::at(m.cpu, name) >= 0 && (less.empty() || Medians::at(m.cpu, less) >= 0);
        auto figure = [&](const std::map<std::string, double>& f) {
            return Medians::at(f, name) - (less.empty() ? 0.0 : Medians::at(f, less));
        };
        const double cpu = figure(m.cpu);
        out += "| " + what + " | " + (known ? fixed(cpu, 2) + " " + unit : "—") + " | ";
        out += goal > 0 ? "≤ " + fixed(goal, 0) + " " + unit : "";
        out += " | ";
        out += goal > 0 ? (known && cpu <= goal ? "yes" : "**no**") : "";
        out += " | " + (known ? fixed(figure(m.wall), 2) + " " + unit : "—") + " |\n";
    };
    row("Keystroke in the window, 60 months, schedule window closed", closed, "", "µs", 0);
    row("Keystroke in the window, 60 months, schedule window open", open, "", "µs", 0);
    row("Schedule window brought up to date (open less closed)", open, closed, "µs", 1000);
    row("The same, and the schedule window repainted", painted, closed, "µs", 0);
    row("Offer written as PDF, 60 months", "offer_pdf/months:60", "", "ms", 300);
    row("Standard information form written as PDF, 60 months", "standard_form_pdf/months:60", "",
        "ms", 400);
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
