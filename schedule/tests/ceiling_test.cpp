#include "schedule/schedule.h"
#include "tests/support/precise.h"
#include "tests/support/worked_example.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

namespace worked = testsupport::worked;

// The customer and credit of the worked example, no other debts.
struct Customer {
    double sal = worked::netIncome;
    double DOB = worked::DOB;
    double comision = worked::comision;
    double per = worked::months;
    double asi = worked::procasig;
    double arate = worked::otherInstalments;
    double adat = 0;
    double cl = worked::comgestluna;
};

std::optional<double> ceiling(const Customer& c, double ibnr) {
    return schedule::sumacccomsold(c.sal, c.DOB, c.comision, c.per, ibnr, c.asi, c.arate, c.adat,
                                   c.cl, 30000, 0.35);
}

std::string describe(const Customer& c, double ibnr) {
    return "sal " + testsupport::precise(c.sal) + " DOB " + testsupport::precise(c.DOB) + " per " +
           testsupport::precise(c.per) + " arate " + testsupport::precise(c.arate) + " adat " +
           testsupport::precise(c.adat) + " ibnr " + testsupport::precise(ibnr);
}

constexpr double M = worked::supportedCredit.value; // what a budget of 850 supports
constexpr double L = worked::ceilingCredit.value;   // 30000 / 1.087

// The three verdicts of the worked example, and the exact 0.35 that gives nothing.
TEST(Sumacccomsold, Verdicts) {
    struct Case {
        double sal, ibnr;
        std::optional<double> expected;
    };
    const std::vector<Case> cases = {
        {3000, 0.2, M},
        {3000, 0.34999, M},
        {3000, 0.4, -1.0},
        {3000, 0.36, -1.0},
        {3000, 0.35, std::nullopt},
        {30000, 0.2, L},
        {30000, 0.9, L},
        {0, 0.0, 0.0}, // no income: M is 0, under the ceiling, index 0
    };
    for (const Case& k : cases) {
        Customer c;
        c.sal = k.sal;
        SCOPED_TRACE(describe(c, k.ibnr));
        const std::optional<double> got = ceiling(c, k.ibnr);
        ASSERT_EQ(got.has_value(), k.expected.has_value());
        if (got) {
            EXPECT_NEAR(*got, *k.expected, worked::supportedCredit.tolerance);
        }
    }
}

// Interest-free: M = c / (1 / per + cl), the granting commission and insurance left out.
TEST(Sumacccomsold, InterestFreeIgnoresCommissionAndInsurance) {
    Customer c;
    c.DOB = 0;
    const double expected = 850 / (1.0 / 24 + 0.015); // 15000
    EXPECT_NEAR(ceiling(c, 0.1).value_or(-99), expected, 1e-9);
    EXPECT_NEAR(expected, 15000, 1e-9);
    c.comision = 0;
    c.asi = 0.0084;
    EXPECT_NEAR(ceiling(c, 0.1).value_or(-99), expected, 1e-9);
}

// Another lender's limit of 40 %: the budget is (3000 - 0) * 0.4 - 200 = 1000, interest-free
// M = 1000 / (1 / 24 + 0.015) = 17647.0588...; the verdict turns on 0.4, not 0.35.
TEST(Sumacccomsold, IndebtednessLimitOfTheTariff) {
    Customer c;
    c.DOB = 0;
    const auto at = [&](double ibnr) {
        return schedule::sumacccomsold(c.sal, c.DOB, c.comision, c.per, ibnr, c.asi, c.arate,
                                       c.adat, c.cl, 30000, 0.4);
    };
    EXPECT_NEAR(at(0.38).value_or(-99), 17647.058823529, 1e-6);
    EXPECT_EQ(at(0.41), -1.0);
    EXPECT_EQ(at(0.4), std::nullopt);
    EXPECT_EQ(ceiling(c, 0.38), -1.0); // refused under the built-in 0.35
}

// Other instalments above 35 % of what is left: a negative amount, returned as it is.
TEST(Sumacccomsold, NegativeBudgetIsReturned) {
    Customer c;
    c.sal = 500;
    c.arate = 300; // 175 - 300 = -125
    const double got = ceiling(c, 0.1).value_or(0);
    EXPECT_LT(got, 0.0);
    EXPECT_NEAR(got, M * -125 / 850, 5e-7);
}

} // namespace
