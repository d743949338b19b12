#include "loan/loan.h"
#include "tariff/tariff.h"
#include "tests/support/precise.h"
#include "tests/support/worked_example.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using runtime::toDouble;
namespace worked = testsupport::worked;

std::string trace(const char* what, std::initializer_list<double> operands) {
    std::string out = what;
    for (double v : operands) {
        out += ' ' + testsupport::precise(v);
    }
    return out;
}

// Product value 2000, down payment 200, 8.7 %: 1800 financed, 156.6 commission.
TEST(Valcredit, WorkedExample) {
    const double cs1 = worked::productValue;
    const double comision = worked::comision;
    const double avans = worked::downPayment;
    const runtime::Variant v = loan::valcredit(cs1, comision, avans, 0);
    ASSERT_TRUE(v.has_value());
    EXPECT_NEAR(*v, worked::valcredit.value, worked::valcredit.tolerance);
}

TEST(Valcredit, EdgeCases) {
    struct Case {
        double cs1, comision, avans, comacordmin, expected;
    };
    const std::vector<Case> cases = {
        {0, 0.087, 500, 0, 0},         // no product: 0 whatever the down payment
        {1000, 0.087, 2000, 0, -1000}, // negative base, no commission added
        {1000, 0, 200, 0, 800},        // rate 0: the base itself
        {1000, 0.087, 0, 100, 1100},   // 87 below the minimum: the minimum is charged
        {1000, 0.087, 0, 87, 1087},    // equal to the minimum: the rate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            trace("cs1 comision avans comacordmin", {c.cs1, c.comision, c.avans, c.comacordmin}));
        EXPECT_NEAR(toDouble(loan::valcredit(c.cs1, c.comision, c.avans, c.comacordmin)),
                    c.expected, 1e-9);
    }
}

// The rate grid, rules tried in order; bounds from the grid table, exact comparisons.
TEST(Dobgrila, GridBoundaries) {
    struct Case {
        double per, credit, rate;
    };
    const std::vector<Case> cases = {
        {6, 510, 0},         {6, 510.01, 0.167},  {12, 50000, 0.167}, {5.99, 1000, 0},
        {12.5, 1000, 0},     {13, 0, 0.107},      {13, -500, 0.107},  {36, 30000, 0.107},
        {36, 30000.01, 0},   {37, 100, 0.09},     {40, 100, 0.09},    {47, 30000, 0.09},
        {47.5, 1000, 0.09},  {48, 100, 0},        {48, 510, 0.09},    {48, 3999.99, 0.09},
        {48, 3999.995, 0},   {47.5, 3999.995, 0}, {48, 4000, 0.07},   {60, 30000, 0.07},
        {60, 30000.01, 0},   {60.5, 5000, 0},     {5, 1000, 0},       {61, 1000, 0},
        {24, 1956.6, 0.107},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(trace("per credit", {c.per, c.credit}));
        EXPECT_EQ(loan::dobgrila(c.per, c.credit, tariff::builtIn()->interest), c.rate);
    }
}

// Another lender's grid: the first rule that holds, inclusive and exclusive bounds, bounds left
// out, 0 when no rule holds; an empty grid gives 0 everywhere.
TEST(Dobgrila, OtherGridFirstRuleThatHolds) {
    using tariff::InterestRule;
    const std::vector<InterestRule> grid = {
        {.duration_min = 6, .duration_max = 12, .credit_above = 1000, .rate = 0.1},
        {.duration_min = 6, .credit_below = 1000, .rate = 0.2},
        {.credit_min = 1000, .credit_max = 2000, .rate = 0.3},
        {.duration_max = 3, .rate = 0.4},
    };
    struct Case {
        double per, credit, rate;
    };
    const std::vector<Case> cases = {
        {6, 1000.01, 0.1}, {12, 1e9, 0.1},  {12, 1000, 0.3},  {6, 999.99, 0.2}, {600, 0, 0.2},
        {5.99, 999, 0},    {13, 2000, 0.3}, {13, 2000.01, 0}, {3, 5000, 0.4},   {3, 999, 0.4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(trace("per credit", {c.per, c.credit}));
        EXPECT_EQ(loan::dobgrila(c.per, c.credit, grid), c.rate);
        EXPECT_EQ(loan::dobgrila(c.per, c.credit, {}), 0.0);
    }
}

// Commission 1.5 % of 1956.6 is 29.349; a payment of 91.0 over 24 months on 1956.6 costs
// 227.4 beyond the credit; nothing is clamped.
TEST(Calccomgestsold, AndDobaferentaWorkedExamples) {
    const double valcr = worked::valcredit.value;
    const double negative = -1000;
    EXPECT_NEAR(toDouble(loan::calccomgestsold(valcr, worked::comgestluna)),
                worked::managementCommission.value, 1e-12);
    EXPECT_EQ(toDouble(loan::calccomgestsold(valcr, 0)), 0.0);
    EXPECT_NEAR(toDouble(loan::calccomgestsold(negative, 0.015)), -15, 1e-12);
    const double r = 91.0;
    const double nothing = 0;
    const double per = 24;
    EXPECT_NEAR(toDouble(loan::DOBAFERENTA(r, valcr, per)), 227.4, 1e-9);
    EXPECT_NEAR(toDouble(loan::DOBAFERENTA(nothing, valcr, per)), -1956.6, 1e-9);
}

TEST(Indbnr, IndexAndItsGuards) {
    struct Case {
        double vn, Td, rtlx, tad, expected;
    };
    const std::vector<Case> cases = {
        {3000, 200, 95.3, 100, 295.3 / 2900}, // the worked example, about 0.101828
        {300, 50, 50, 300, 0},                // income equal to the debts: no division
        {0, 50, 50, 0, 0},
        {100, 50, 50, 300, 0.5}, // debts above income: the absolute value
        {1000, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(trace("vn Td rtlx tad", {c.vn, c.Td, c.rtlx, c.tad}));
        EXPECT_DOUBLE_EQ(loan::INDBNR(c.vn, c.Td, c.rtlx, c.tad), c.expected);
    }
    EXPECT_NEAR(loan::INDBNR(3000, 200, 95.3, 100), 0.101828, 5e-7);
}

} // namespace
