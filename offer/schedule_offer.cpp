#include "offer/schedule_offer.h"

#include "core/calcule.h"
#include "runtime/format.h"

#include <algorithm>
#include <cmath>

namespace offer {
namespace {

using core::Control;

MonthRow rowOf(const core::SimulationState& s, int month) {
    const auto i = static_cast<std::size_t>(month);
    const schedule::MonthlySchedule& a = s.months;
    return {month,      s.rataluna,      a.adobanda[i], a.acomgest[i],
            a.aasig[i], a.aprincipal[i], a.asold[i]};
}

bool finite(const MonthRow& r) {
    return std::isfinite(r.instalment) && std::isfinite(r.interest) &&
           std::isfinite(r.commission) && std::isfinite(r.insurance) &&
           std::isfinite(r.principal) && std::isfinite(r.balance);
}

} // namespace

// The panels come first: the agent sees them, and the sentence then matches what the window says.
std::optional<std::string> noOfferReason(const ui::Form1& form) {
    const ui::ControlModel& w = form.controls();
    const core::SimulationState& s = form.state();
    // A recalculation abandoned by a runtime error leaves figures of earlier inputs beside new
    // ones: nothing the window shows then may go on paper.
    if (!form.resultsCurrent()) {
        return "Ultimul calcul a fost intrerupt de o eroare: cifrele afisate nu sunt actuale.";
    }
    if (w.visible(Control::Eroare)) {
        return "Simularea nu respecta limitele produsului: vezi mesajul de eroare din fereastra.";
    }
    if (w.visible(Control::Frame6) || w.text(Control::tbsumacc) == core::refusedText) {
        return "Clientul este refuzat: gradul de indatorare este prea mare.";
    }
    if (!std::isfinite(s.valoareprodus) || !std::isfinite(s.valavans)) {
        return "Valoarea produsului sau avansul nu este un numar valid.";
    }
    if (s.valoareprodus == 0) {
        return "Valoarea produsului nu este completata.";
    }
    if (!(s.valoareprodus - s.valavans > 0)) {
        return "Avansul acopera toata valoarea produsului: nu ramane nimic de finantat.";
    }
    if (!std::isfinite(s.rataluna) || !(s.rataluna > 0)) {
        return "Simularea nu are o rata lunara pozitiva.";
    }
    if (!std::isfinite(s.durata) || s.durata != std::floor(s.durata) || s.durata < 1 ||
        s.durata >= static_cast<double>(schedule::MonthlySchedule::size)) {
        return "Durata creditului nu este un numar intreg de luni.";
    }
    // The form words this threshold in its error text but never raises the panel for it.
    if (s.valoareprodus - s.valavans < s.creditmin - s.comacordmin) {
        return "Suma finantata este sub creditul minim de " + runtime::NumberToText(s.creditmin) +
               " RON.";
    }
    // No rule gives the form a rate of 0, which is no product of the lender's; a rule whose own
    // rate is 0 is one.
    const auto& grid = s.tarif->terms().interest;
    if (std::none_of(grid.begin(), grid.end(), [&](const tariff::InterestRule& rule) {
            return rule.holds(s.durata, s.valoarecredit);
        })) {
        return "Nicio dobanda din grila tarifului nu se aplica acestei valori a creditului si "
               "acestei durate.";
    }
    for (int month = 1; month <= static_cast<int>(s.durata); ++month) {
        if (!finite(rowOf(s, month))) {
            return "Graficul de rambursare are valori care nu pot fi calculate.";
        }
    }
    return std::nullopt;
}

std::string daeExactFailureText(schedule::DaeExactFailure failure) {
    using F = schedule::DaeExactFailure;
    switch (failure) {
    case F::None:
        return {};
    case F::NothingReceived:
        return "Clientul nu primeste nicio suma la acordarea creditului.";
    case F::NoPayments:
        return "Graficul nu are nicio plata.";
    case F::NotUnique:
        return "Platile lunare isi schimba semnul, deci nu exista o singura dobanda care sa le "
               "echilibreze.";
    case F::NotFinite:
        return "Platile lunare nu sunt numere finite.";
    case F::NoConvergence:
        return "Dobanda care echilibreaza platile nu a putut fi gasita cu precizia ceruta.";
    }
    return {};
}

ScheduleOffer scheduleOffer(const ui::Form1& form) {
    const core::SimulationState& s = form.state();
    ScheduleOffer out;
    out.dae = s.daeval;
    if (const auto why = noOfferReason(form)) {
        out.reason = *why;
        out.daeExactReason = *why;
        return out;
    }

    const auto n = static_cast<int>(s.durata);
    out.months.reserve(static_cast<std::size_t>(n));
    Totals totals;
    for (int month = 1; month <= n; ++month) {
        const MonthRow row = rowOf(s, month);
        totals.instalment += row.instalment;
        totals.interest += row.interest;
        totals.commission += row.commission;
        totals.insurance += row.insurance;
        totals.principal += row.principal;
        out.months.push_back(row);
    }
    out.valid = true;
    out.totals = totals;

    const double cs = s.valoareprodus - s.valavans;
    const schedule::DaeExact exact = schedule::dae_exact(cs, s.durata, s.months);
    out.daeExact = exact.annual;
    if (!exact.annual) {
        out.daeExactReason = daeExactFailureText(exact.failure);
    }
    return out;
}

} // namespace offer
