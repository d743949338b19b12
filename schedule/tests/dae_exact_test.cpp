// The exact effective rate and the bracketed root search under it, against references that do
// not come from the same code: closed forms, sums in quad precision, a published example.

#include "schedule/dae_exact.h"
#include "schedule/schedule.h"
#include "tests/support/flows_of.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

using schedule::dae_exact;
using schedule::DaeExactFailure;
using schedule::MonthlySchedule;

__extension__ typedef __float128 Quad;

// The present value of the flows at the monthly rate m, in quad precision.
Quad presentValue(const std::vector<double>& flows, Quad m) {
    Quad total = 0;
    Quad discount = 1;
    for (const double flow : flows) {
        total += static_cast<Quad>(flow) / discount;
        discount *= 1 + m;
    }
    return total;
}

// The balancing monthly rate by plain bisection in quad precision, far past double accuracy.
double quadRate(const std::vector<double>& flows, double lo, double hi) {
    Quad a = lo;
    Quad b = hi;
    const bool risingAtA = presentValue(flows, a) < 0;
    for (int i = 0; i < 200; ++i) {
        const Quad mid = (a + b) / 2;
        if ((presentValue(flows, mid) < 0) == risingAtA) {
            a = mid;
        } else {
            b = mid;
        }
    }
    return static_cast<double>((a + b) / 2);
}

using testsupport::flowsOf;

// Without a granting commission the amount received is the credit value itself, and the flows
// without insurance telescope: the balancing monthly rate is the schedule's own, DOB x 30 / 360
// plus the management commission, whatever the insurance.
TEST(DaeExact, ClosedFormWithoutGrantingCommission) {
    struct Case {
        double valcr, DOB, comgestluna, procasig;
        int months;
    };
    for (const Case c : {Case{1800, 0.107, 0.015, 0.0044, 24}, Case{5000, 0.18, 0.0, 0.0, 12},
                         Case{12000, 0.09, 0.004, 0.0063, 60}, Case{700, 0.2, 0.01, 0.0, 6}}) {
        SCOPED_TRACE(::testing::Message() << c.valcr << " at " << c.DOB << " over " << c.months);
        MonthlySchedule s;
        const double per = c.months;
        schedule::calcratacomsold(c.valcr, c.DOB, per, c.comgestluna, c.procasig, s);
        const auto got = dae_exact(c.valcr, per, s);
        ASSERT_TRUE(got.monthly && got.annual);
        const double m = c.DOB * 30 / 360 + c.comgestluna;
        EXPECT_NEAR(*got.monthly, m, m * 1e-11);
        EXPECT_NEAR(*got.annual, std::pow(1 + m, 12) - 1, 1e-11);
    }
}

// The credit of the worked example (1800 received, 1956.6 owed, 24 months): the balancing rate
// found by bisection in quad precision agrees to the accuracy asked for, and the scan of trial
// rates lands within its step of it.
TEST(DaeExact, AgreesWithQuadPrecisionBisection) {
    struct Case {
        double cs, valcr, DOB, comgestluna, procasig;
        int months;
    };
    for (const Case c :
         {Case{1800, 1956.6, 0.107, 0.015, 0.0044, 24}, Case{1800, 1956.6, 0.107, 0.015, 0.0, 6},
          Case{9000, 9783, 0.13, 0.009, 0.0063, 60}, Case{300, 350, 0.25, 0.02, 0.01, 12},
          Case{27000, 29349, 0.1, 0.0, 0.0, 36}}) {
        SCOPED_TRACE(::testing::Message() << c.cs << " over " << c.months);
        MonthlySchedule s;
        const double per = c.months;
        schedule::calcratacomsold(c.valcr, c.DOB, per, c.comgestluna, c.procasig, s);
        const std::vector<double> flows = flowsOf(c.cs, c.months, s);
        const double want = quadRate(flows, 0.0, 1.0);
        const auto got = dae_exact(flows);
        ASSERT_TRUE(got.monthly);
        EXPECT_NEAR(*got.monthly, want, want * 1e-12);
        EXPECT_EQ(got.failure, DaeExactFailure::None);
        // The same flows through the schedule's own entry point.
        const auto viaSchedule = dae_exact(c.cs, per, s);
        ASSERT_TRUE(viaSchedule.annual);
        EXPECT_EQ(*viaSchedule.annual, *got.annual);
    }
}

// Directive 98/7/EC of 16 February 1998, Annex (examples of calculation), third example: 1 000
// lent, repaid by 600 after one year and 600 after two; "i = 0,1306623". Here as months 12 and
// 24 of a monthly series. The published figure is cut, not rounded, after seven decimals.
TEST(DaeExact, PublishedExample) {
    std::vector<double> flows(25, 0.0);
    flows[0] = 1000;
    flows[12] = -600;
    flows[24] = -600;
    const auto got = dae_exact(flows);
    ASSERT_TRUE(got.annual);
    EXPECT_NEAR(*got.annual, 0.1306623, 1e-7);
    // The algebraic solution: 1/(1+i) is the positive root of 600 x^2 + 600 x - 1000.
    const double x = (-600 + std::sqrt(600.0 * 600 + 4 * 600 * 1000)) / 1200;
    EXPECT_NEAR(*got.annual, 1 / x - 1, 1e-12);
}

TEST(DaeExact, RatesAtAndBelowZero) {
    // Paying back exactly what was received: 0. Less: a negative rate, still unique.
    EXPECT_EQ(*dae_exact(std::vector<double>{1200, -100, -100, -1000}).annual, 0.0);
    const std::vector<double> less{1000, -300, -300, -300};
    const auto got = dae_exact(less);
    ASSERT_TRUE(got.monthly);
    EXPECT_LT(*got.monthly, 0.0);
    const double want = quadRate(less, -0.5, 0.0);
    EXPECT_NEAR(*got.monthly, want, -want * 1e-12);
}

TEST(DaeExact, RefusesFlowsWithoutOneRate) {
    EXPECT_EQ(dae_exact(std::vector<double>{0, -10, -10}).failure,
              DaeExactFailure::NothingReceived);
    EXPECT_EQ(dae_exact(std::vector<double>{-100, 60, 60}).failure,
              DaeExactFailure::NothingReceived);
    EXPECT_EQ(dae_exact(std::vector<double>{100, 0, 0}).failure, DaeExactFailure::NoPayments);
    // Receives again in month 2: x^2 - 2.1x + 1.1 has the two roots 1 and 1.1.
    const auto twice = dae_exact(std::vector<double>{100, -210, 110});
    EXPECT_EQ(twice.failure, DaeExactFailure::NotUnique);
    EXPECT_FALSE(twice.annual);
    EXPECT_EQ(dae_exact(std::vector<double>{100, -HUGE_VAL}).failure, DaeExactFailure::NotFinite);
    // A rate so high that twelve months of it overflow.
    EXPECT_EQ(dae_exact(std::vector<double>{1e-300, -1e300}).failure, DaeExactFailure::NotFinite);
    // The monthly rate itself is finite (1e30 - 1), only the annual one overflows.
    const auto annualOverflows = dae_exact(std::vector<double>{1, -1e30});
    EXPECT_EQ(annualOverflows.failure, DaeExactFailure::NotFinite);
    EXPECT_FALSE(annualOverflows.annual);
    EXPECT_EQ(dae_exact(std::vector<double>{}).failure, DaeExactFailure::NotFinite);
    EXPECT_EQ(dae_exact(std::vector<double>{NAN, -10}).failure, DaeExactFailure::NotFinite);
    // Too few iterations allowed: refused, never a rate short of the accuracy.
    const auto cut = dae_exact(std::vector<double>{1000, -300, -300, -300, -300}, {1e-15, 0.0, 2});
    EXPECT_EQ(cut.failure, DaeExactFailure::NoConvergence);
    EXPECT_FALSE(cut.monthly);
}

// One payment puts both ends of the first bracket on the root itself, (paid / received) - 1:
// the search must still prove it from a bracket it widens around that point.
TEST(DaeExact, OnePaymentBalancesAtItsOwnRatio) {
    for (const auto& [received, paid] : {std::pair{100.0, 110.0}, std::pair{1800.0, 1956.6},
                                         std::pair{1000.0, 1000.0}, std::pair{1000.0, 700.0}}) {
        SCOPED_TRACE(::testing::Message() << received << " then " << paid);
        const auto got = dae_exact(std::vector<double>{received, -paid});
        ASSERT_TRUE(got.monthly) << static_cast<int>(got.failure);
        const double m = paid / received - 1;
        EXPECT_NEAR(*got.monthly, m, std::fabs(m) * 1e-12 + 1e-16);
        EXPECT_NEAR(*got.annual, std::pow(paid / received, 12) - 1, 1e-11);
    }
}

// The duration is rounded to a whole month of the schedule: one that cannot be is refused as
// not finite instead of raising the rounding's overflow.
TEST(DaeExact, DurationOutsideTheScheduleIsRefused) {
    MonthlySchedule s;
    schedule::calcratacomsold(1956.6, 0.107, 24, 0.015, 0.0044, s);
    for (const double per : {-1.0, 32767.5, 40000.0, double(NAN), HUGE_VAL}) {
        SCOPED_TRACE(per);
        const auto got = dae_exact(1800, per, s);
        EXPECT_EQ(got.failure, DaeExactFailure::NotFinite);
        EXPECT_FALSE(got.annual);
    }
    EXPECT_TRUE(dae_exact(1800, 24.0, s).annual);
}

} // namespace
