#include "runtime/numeric.h"
#include "runtime/runtime_error.h"
#include "schedule/schedule.h"
#include "tests/support/flows_of.h"
#include "tests/support/precise.h"
#include "tests/support/worked_example.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using schedule::dae_ok;
using schedule::MonthlySchedule;

namespace worked = testsupport::worked;

struct Credit {
    double valcr = worked::valcredit.value;
    double DOB = worked::DOB;
    double comgestluna = worked::comgestluna;
    double procasig = worked::procasig;
};

MonthlySchedule scheduleFor(const Credit& c, double per) {
    MonthlySchedule s;
    schedule::calcratacomsold(c.valcr, c.DOB, per, c.comgestluna, c.procasig, s);
    return s;
}

using testsupport::flowsOf;

struct Scan {
    int index = 0;  // trial with the smallest distance (0: the starting rate itself)
    double m = 0.0; // its rate, 0 when it is trial 0
};

// The 601 trial rates by repeated addition, each trial's |NPV| with every value discounted.
Scan scan(const std::vector<double>& cf, double r0) {
    auto distance = [&cf](double r) {
        double npv = 0.0;
        for (std::size_t i = 0; i < cf.size(); ++i) {
            npv += cf[i] / std::pow(1.0 + r, static_cast<double>(i + 1));
        }
        return std::fabs(npv);
    };
    Scan best;
    double smallest = distance(r0);
    double trial = r0;
    for (int j = 1; j <= 600; ++j) {
        trial += 0.00003;
        const double d = distance(trial);
        if (d < smallest) {
            smallest = d;
            best = {j, trial};
        }
    }
    return best;
}

double annual(double m) {
    double p = 1.0;
    for (int i = 0; i < 12; ++i) {
        p *= 1.0 + m;
    }
    return p - 1.0;
}

// Worked example: cs 1800 over 24 months; r0 = 0.087 / 24 + 0.107 / 12 + 0.015 = 0.0275417,
// the smallest distance is trial 131, m = 0.0314717, DAE 0.450399 (half a unit of the last
// digit).
TEST(DaeOk, ScanAtTwentyFourMonths) {
    const Credit c;
    const double cs = worked::financed;
    const double comision = worked::comision;
    const double per = worked::months;
    const MonthlySchedule s = scheduleFor(c, per);
    const double r0 = comision / per + c.DOB / 12 + c.comgestluna;
    EXPECT_NEAR(r0, 0.0275417, 5e-8);
    const Scan found = scan(flowsOf(cs, 24, s), r0);
    EXPECT_EQ(found.index, 131);
    EXPECT_NEAR(found.m, 0.0314717, 5e-8);

    const double dae = dae_ok(cs, c.DOB, comision, per, c.comgestluna, s);
    EXPECT_NEAR(dae, worked::dae.value, worked::dae.tolerance);
    EXPECT_DOUBLE_EQ(dae, annual(found.m));
}

// The same credit over 6 months goes through IRR: instalment 359.170912, m 0.0492966,
// DAE 0.781473.
TEST(DaeOk, IrrAtSixMonths) {
    const Credit c;
    const double cs = 1800;
    const double comision = 0.087;
    const double per = 6;
    MonthlySchedule s;
    const double R = runtime::toDouble(
        schedule::calcratacomsold(c.valcr, c.DOB, per, c.comgestluna, c.procasig, s));
    EXPECT_NEAR(R, 359.170912, 5e-7);
    const double dae = dae_ok(cs, c.DOB, comision, per, c.comgestluna, s);
    EXPECT_NEAR(dae, 0.781473, 5e-7);
    EXPECT_NEAR(std::pow(1 + dae, 1.0 / 12) - 1, 0.0492966, 5e-8);
}

// With no granting commission and cs equal to the credit, the payments repay cs at exactly the
// starting rate r0 = DOB / 12 + comgestluna. The scan never selects trial 0, so it gives 0;
// IRR finds r0. That tells the two methods apart: 12 and 1 scan, 11 and 2 use IRR.
TEST(DaeOk, MethodChosenByDuration) {
    Credit c;
    c.procasig = 0; // insurance is not a cash flow; without it the flows repay cs exactly at r0
    const double comision = 0;
    const double m = c.DOB / 12 + c.comgestluna;
    for (double per : {12.0, 1.0, 24.0, 11.0, 2.0, 6.0}) {
        SCOPED_TRACE("per " + testsupport::precise(per));
        const MonthlySchedule s = scheduleFor(c, per);
        const double dae = dae_ok(c.valcr, c.DOB, comision, per, c.comgestluna, s);
        if (per > 1 && per < 12) {
            EXPECT_NEAR(dae, annual(m), 1e-9);
        } else {
            EXPECT_EQ(dae, 0.0);
        }
    }
}

// 11.5 months: n = 12 and month 12 is filled, but IRR sees only months 0 to 11 (and a 0).
TEST(DaeOk, ElevenAndAHalfMonthsIgnoresMonthTwelve) {
    const Credit c;
    const double cs = 1800;
    const double comision = 0.087;
    const double per = 11.5;
    MonthlySchedule s = scheduleFor(c, per);
    std::vector<double> series = flowsOf(cs, 11, s);
    series.push_back(0.0);
    const double expected = annual(runtime::IRR(series));
    EXPECT_NEAR(dae_ok(cs, c.DOB, comision, per, c.comgestluna, s), expected, 1e-12);
    s.aprincipal[12] = 1e6; // a stale month 12 changes nothing
    EXPECT_NEAR(dae_ok(cs, c.DOB, comision, per, c.comgestluna, s), expected, 1e-12);
}

// 12.6 months: n = 13, so month 13 (not written by this schedule) is part of the scan.
TEST(DaeOk, FractionalDurationReadsTheRoundedMonth) {
    const Credit c;
    const double cs = 1800;
    const double comision = 0.087;
    const double per = 12.6;
    MonthlySchedule s = scheduleFor(c, per);
    const double fresh = dae_ok(cs, c.DOB, comision, per, c.comgestluna, s);
    s.aprincipal[13] = 500; // left by an earlier, longer schedule
    EXPECT_NE(dae_ok(cs, c.DOB, comision, per, c.comgestluna, s), fresh);
}

// Far too little received for the payments: the true rate lies beyond the last trial, which
// is then taken (r0 + 600 steps).
TEST(DaeOk, RateAboveTheScanTakesTheLastTrial) {
    const Credit c;
    const double cs = 1000;
    const double comision = 0.087;
    const double per = 24;
    const MonthlySchedule s = scheduleFor(c, per);
    const double r0 = comision / per + c.DOB / 12 + c.comgestluna;
    const Scan found = scan(flowsOf(cs, 24, s), r0);
    EXPECT_EQ(found.index, 600);
    EXPECT_NEAR(found.m, r0 + 0.018, 1e-12);
    EXPECT_DOUBLE_EQ(dae_ok(cs, c.DOB, comision, per, c.comgestluna, s), annual(found.m));
}

// Beyond ten years the series is as long as the rounded duration: the DAE is computed by the
// same scan instead of failing.
TEST(DaeOk, DurationsAboveTenYearsAreScanned) {
    for (double per : {121.0, 200.0, 550.0}) {
        SCOPED_TRACE("per " + testsupport::precise(per));
        Credit c;
        c.DOB = 0.09;
        const double cs = 1800;
        const double comision = 0.087;
        const MonthlySchedule s = scheduleFor(c, per);
        const double r0 = comision / per + c.DOB / 12 + c.comgestluna;
        const Scan found = scan(flowsOf(cs, static_cast<int>(per), s), r0);
        EXPECT_GT(found.index, 0);
        EXPECT_LT(found.index, 600);
        double dae = 0;
        ASSERT_NO_THROW(dae = dae_ok(cs, c.DOB, comision, per, c.comgestluna, s));
        EXPECT_DOUBLE_EQ(dae, annual(found.m));
    }
}

// A series the runtime rejects is a runtime error that dae_ok lets pass.
TEST(DaeOk, RejectedSeriesIsARuntimeError) {
    const Credit c;
    const MonthlySchedule s = scheduleFor(c, 24);
    const double comision = 0.087;
    const double negative = -5;    // n = -5: only CF(0) is left, no sign change
    const double tooLong = -40000; // beyond a 16-bit integer
    const double cs = -1000;
    EXPECT_THROW(dae_ok(cs, c.DOB, comision, negative, c.comgestluna, s), runtime::RuntimeError);
    EXPECT_THROW(dae_ok(cs, c.DOB, comision, tooLong, c.comgestluna, s), runtime::RuntimeError);
    const double positive = 1800;
    const double zero = 0.3; // rounds to 0 months: nothing to pay back
    EXPECT_THROW(dae_ok(positive, c.DOB, comision, zero, c.comgestluna, s), runtime::RuntimeError);
}

// The fast scan against the plain one, bit for bit.
TEST(DaeOk, EqualsTheReference) {
    const Credit c;
    const double comision = 0.087;
    for (double per : {1.0, 6.0, 11.5, 12.0, 12.6, 24.0, 47.5, 60.0, 200.0, 550.0}) {
        for (double cs : {1800.0, 1000.0, 1956.6}) {
            SCOPED_TRACE("per " + testsupport::precise(per) + " cs " + testsupport::precise(cs));
            const MonthlySchedule s = scheduleFor(c, per);
            EXPECT_EQ(dae_ok(cs, c.DOB, comision, per, c.comgestluna, s),
                      schedule::dae_ok_reference(cs, c.DOB, comision, per, c.comgestluna, s));
        }
    }
}

// The power is twelve products each rounded to double, not the correctly rounded power: the
// rates it annualises must match the form's figures to the last bit. Expected values worked out
// once outside the program with IEEE doubles (Python floats): for the monthly rate 1 + 0.107 / 12
// + 0.015 of the worked example the twelve products give 1.3279305024192265, where the correctly
// rounded 12th power is 1.3279305024192267.
TEST(Putere, RepeatedMultiplication) {
    EXPECT_EQ(schedule::putere(1.0 + (0.107 / 12 + 0.015), 12), 1.3279305024192265);
    EXPECT_EQ(schedule::putere(1.01, 12), 1.1268250301319698);
    EXPECT_EQ(schedule::putere(2, 10), 1024.0);
    EXPECT_EQ(schedule::putere(1.5, 3), 3.375);
    EXPECT_EQ(schedule::putere(1.01, 0), 1.0);
    EXPECT_EQ(schedule::putere(1.01, -3), 1.0); // no products at all
    EXPECT_EQ(schedule::putere(3, 2.5), 9.0);   // 2.5 rounds to the even 2
    EXPECT_EQ(schedule::putere(3, 3.5), 81.0);  // 3.5 rounds to the even 4
    EXPECT_THROW(schedule::putere(1.01, 40000), runtime::RuntimeError);
}

} // namespace
