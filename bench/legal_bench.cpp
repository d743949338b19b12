#include "offer/duration_rows.h"
#include "offer/legal.h"
#include "tariff/read.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

// The legal figures and the legal limits in the agent's loop: after each keystroke in `tbvp`
// the schedule window shows the legal figures, and the variants window checks every row against
// the limits. Each is measured with the keystroke and again without the figures, so that the
// summary shows their own share.
namespace {

using core::Control;

// The lender's example tariff: the built-in product with a DAE ceiling, a cost per day and a
// payable ratio in force.
const tariff::Tariff& lenderTariff() {
    static const tariff::Tariff tarif = [] {
        std::ifstream in(SIMCREDIT_LENDER_TARIFF, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        tariff::ReadResult r = tariff::read(text);
        return std::move(*r.tariff);
    }();
    return tarif;
}

// A credit of 26000 lei over 60 months: the example's DAE ceiling above 25000 lei applies, and
// the legal DAE is solved and compared on every keystroke.
void enter(ui::Form1& form) {
    auto& m = form.controls();
    m.setText(Control::vn, "9000");
    m.setText(Control::ar, "200");
    m.setText(Control::tbavans, "500");
    m.setText(Control::tbdurcred, "60");
    m.setText(Control::tbvp, "26500");
}

// range(0): 0 the keystroke alone, 1 with the legal figures, 2 with the variants' rows.
void legalKeystroke(benchmark::State& state) {
    ui::MessageLog log;
    ui::Form1 form(log, lenderTariff());
    form.Form_Load();
    enter(form);
    offer::WhatIf whatIf(form);
    bool typed = false;
    std::size_t count = 0;
    for (auto iteration : state) {
        static_cast<void>(iteration);
        form.controls().setText(Control::tbvp, typed ? "26500" : "26509");
        typed = !typed;
        if (state.range(0) == 1) {
            const offer::LegalFigures f = offer::legalFigures(form);
            count += f.breaches.size() + (f.dae ? 1 : 0);
        } else if (state.range(0) == 2) {
            count += offer::durationRows(whatIf, form).size();
        }
    }
    benchmark::DoNotOptimize(count);
    const offer::LegalFigures f = offer::legalFigures(form);
    if (!f.valid || !f.dae) {
        state.SkipWithError("the customer has no legal figures");
    }
}

BENCHMARK(legalKeystroke)
    ->Name("legal_keystroke")
    ->ArgNames({"with"})
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

} // namespace
