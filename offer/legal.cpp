#include "offer/legal.h"

#include "schedule/dae_exact.h"

#include <vector>

namespace offer {
namespace {

using tariff::LegalLimit;

// Not above the ceiling: a figure that is missing, or not a number, breaches it.
bool within(const std::optional<double>& value, double max) {
    return value && *value <= max;
}

const std::optional<double>& measured(const LegalFigures& f, LegalLimit::Measure m) {
    switch (m) {
    case LegalLimit::Measure::dae:
        return f.dae;
    case LegalLimit::Measure::daily_cost:
        return f.dailyCost;
    case LegalLimit::Measure::payable_ratio:
        break;
    }
    return f.payableRatio;
}

} // namespace

bool compulsoryInsuranceChosen(const ui::Form1& form) {
    const int chosen = form.controls().listIndex(core::Control::cbasig);
    const std::vector<tariff::InsuranceOption>& items = form.state().tarif->terms().insurance;
    return chosen >= 0 && static_cast<std::size_t>(chosen) < items.size() &&
           items[static_cast<std::size_t>(chosen)].compulsory;
}

LegalFigures legalFigures(const ui::Form1& form, const ScheduleOffer& schedule) {
    const tariff::Terms& terms = form.state().tarif->terms();
    LegalFigures f;
    f.creditor = terms.creditor.has_value();
    f.compulsoryInsurance = compulsoryInsuranceChosen(form);
    if (!schedule.valid || !schedule.totals) {
        f.reason = schedule.reason;
        f.daeReason = schedule.reason;
        return f;
    }
    f.valid = true;
    const core::SimulationState& s = form.state();
    const Totals& totals = *schedule.totals;
    const double t = s.valoareprodus - s.valavans;
    f.totalCredit = t;
    f.grantingCommission = totals.principal - t;
    double cost = totals.interest + totals.commission + *f.grantingCommission;
    if (f.compulsoryInsurance) {
        cost += totals.insurance;
    }
    f.totalCost = cost;
    f.payable = t + cost;
    f.payments = totals.instalment;

    // The flows of the exact DAE, with the insurance when the credit cannot be had without it;
    // the sums are made in the same order, so that without it the rate is the exact DAE's.
    std::vector<double> flows(schedule.months.size() + 1);
    flows[0] = t;
    for (const MonthRow& m : schedule.months) {
        double paid = m.commission + m.interest + m.principal;
        if (f.compulsoryInsurance) {
            paid += m.insurance;
        }
        flows[static_cast<std::size_t>(m.month)] = -paid;
    }
    const schedule::DaeExact dae = schedule::dae_exact(flows);
    f.dae = dae.annual;
    if (!dae.annual) {
        f.daeReason = daeExactFailureText(dae.failure);
    }
    // A year of twelve equal months.
    const double days = s.durata * 365 / 12;
    f.dailyCost = cost / t / days;
    f.payableRatio = *f.payable / t;

    for (const LegalLimit& limit : terms.legal_limits) {
        if (!limit.applies(t)) {
            continue;
        }
        const std::optional<double>& value = measured(f, limit.measure);
        if (!within(value, limit.max)) {
            f.breaches.push_back({limit.name, limit.measure, limit.max, value});
        }
    }
    return f;
}

LegalFigures legalFigures(const ui::Form1& form) {
    return legalFigures(form, scheduleOffer(form));
}

std::optional<std::string> firstBreachedLimit(const ui::Form1& form) {
    if (form.state().tarif->terms().legal_limits.empty()) {
        return std::nullopt;
    }
    const LegalFigures f = legalFigures(form);
    if (f.breaches.empty()) {
        return std::nullopt;
    }
    return f.breaches.front().name;
}

} // namespace offer
