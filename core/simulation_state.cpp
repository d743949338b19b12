#include "core/simulation_state.h"

namespace core {
namespace {

// The monthly rate of insurance position k; 0 for a position without an item.
double insuranceRate(const tariff::Terms& t, std::size_t k) {
    return k < t.insurance.size() ? t.insurance[k].monthly_rate : 0.0;
}

} // namespace

void setCreditParameters(SimulationState& s) {
    const tariff::Terms& t = s.tarif->terms();
    s.plafoncredit = t.credit.ceiling;
    s.creditmin = t.credit.minimum;
    s.comgestdd = t.management_commission.initial.direct_debit;
    s.comgestnum = t.management_commission.initial.cash;
}

void setProductParameters(SimulationState& s) {
    const tariff::Terms& t = s.tarif->terms();
    s.durmax = t.duration.maximum;
    s.durmin = t.duration.minimum;
    s.comacord = t.granting_commission.rate;
    s.comacordmin = t.granting_commission.minimum;
    s.procasigstd = insuranceRate(t, 1);
    s.procasigoptim = insuranceRate(t, 2);
    s.procasigsenior = insuranceRate(t, 3);
}

void Comision_Gestiune(SimulationState& s) {
    // Bounds inclusive; a gap between bands (47 < D < 48, 3999.99 < C < 4000 in the built-in
    // tariff) or anything outside matches nothing.
    for (const tariff::CommissionBand& band : s.tarif->terms().management_commission.bands) {
        if (band.holds(s.valoarecredit, s.durata)) {
            s.comgestnum = band.rates.cash;
            s.comgestdd = band.rates.direct_debit;
            return;
        }
    }
}

runtime::Variant procent_asig(const SimulationState& s, const std::int16_t& index) {
    const auto& items = s.tarif->terms().insurance;
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) {
        return std::nullopt;
    }
    switch (index) {
    case 1:
        return s.procasigstd;
    case 2:
        return s.procasigoptim;
    case 3:
        return s.procasigsenior;
    default:
        return items[static_cast<std::size_t>(index)].monthly_rate;
    }
}

} // namespace core
