#include "core/simulation_state.h"

namespace core {

void setCreditParameters(SimulationState& s) {
    s.plafoncredit = 30000;
    s.creditmin = 510;
    s.comgestdd = 0.015;
    s.comgestnum = 0.017;
}

void setProductParameters(SimulationState& s) {
    s.durmax = 60;
    s.durmin = 6;
    s.comacord = 0.087;
    s.comacordmin = 0;
    s.procasigstd = 0.0044;
    s.procasigoptim = 0.0064;
    s.procasigsenior = 0.0084;
}

namespace {

// Both rates follow the same bands, bounds inclusive; a gap (47 < D < 48, 3999.99 < C < 4000)
// or anything outside matches nothing.
int band(double C, double D) {
    const bool wholeRange = C >= 510 && C <= 30000;
    if ((wholeRange && D >= 6 && D <= 47) || (C >= 510 && C <= 3999.99 && D >= 48 && D <= 60)) {
        return 1;
    }
    if (C >= 4000 && C <= 30000 && D >= 48 && D <= 60) {
        return 2;
    }
    return 0;
}

} // namespace

void Comision_Gestiune(SimulationState& s) {
    switch (band(s.valoarecredit, s.durata)) {
    case 1:
        s.comgestnum = 0.017;
        s.comgestdd = 0.015;
        break;
    case 2:
        s.comgestnum = 0.007;
        s.comgestdd = 0.005;
        break;
    default:
        break;
    }
}

runtime::Variant procent_asig(const SimulationState& s, const std::int16_t& index) {
    switch (index) {
    case 0:
        return 0.0;
    case 1:
        return s.procasigstd;
    case 2:
        return s.procasigoptim;
    case 3:
        return s.procasigsenior;
    default:
        return std::nullopt;
    }
}

} // namespace core
