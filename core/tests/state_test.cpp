#include "core/simulation_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using core::SimulationState;

// The management-commission bands, bounds inclusive. The rates start from a marker pair so that
// "unchanged" is visible: the gaps 3999.99 < C < 4000 and 47 < D < 48, and everything outside
// the bands, keep the previous rates.
TEST(ComisionGestiune, Bands) {
    struct Case {
        double C, D;
        double num, dd; // 0 0: unchanged
    };
    const std::vector<Case> cases = {
        {510, 6, 0.017, 0.015},
        {30000, 47, 0.017, 0.015},
        {1956.6, 24, 0.017, 0.015},
        {510, 48, 0.017, 0.015},
        {3999.99, 60, 0.017, 0.015},
        {4000, 48, 0.007, 0.005},
        {30000, 60, 0.007, 0.005},
        {3999.995, 48, 0, 0},
        {3999.995, 30, 0.017, 0.015},
        {1000, 47.5, 0, 0},
        {5000, 47.5, 0, 0},
        {509.99, 24, 0, 0},
        {30000.01, 24, 0, 0},
        {30000.01, 50, 0, 0},
        {1000, 5.9, 0, 0},
        {1000, 60.5, 0, 0},
        {0, 0, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE("credit " + std::to_string(k.C) + " duration " + std::to_string(k.D));
        SimulationState s;
        s.comgestnum = 0.123;
        s.comgestdd = 0.456;
        s.valoarecredit = k.C;
        s.durata = k.D;
        core::Comision_Gestiune(s);
        EXPECT_EQ(s.comgestnum, k.num == 0 ? 0.123 : k.num);
        EXPECT_EQ(s.comgestdd, k.dd == 0 ? 0.456 : k.dd);
    }
}

TEST(ProcentAsig, RateOfEachPosition) {
    SimulationState s;
    core::setProductParameters(s);
    const std::vector<std::pair<std::int16_t, runtime::Variant>> cases = {
        {0, 0.0},           {1, 0.0044},       {2, 0.0064},          {3, 0.0084},
        {-1, std::nullopt}, {4, std::nullopt}, {32767, std::nullopt}};
    for (const auto& [index, expected] : cases) {
        SCOPED_TRACE("position " + std::to_string(index));
        EXPECT_EQ(core::procent_asig(s, index), expected);
    }
}

} // namespace
