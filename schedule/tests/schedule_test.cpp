#include "schedule/schedule.h"
#include "tests/support/precise.h"
#include "tests/support/worked_example.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using schedule::calcratacomsold;
using schedule::MonthlySchedule;

constexpr double stale = 777.0; // what an earlier schedule left in a month

MonthlySchedule staleSchedule() {
    MonthlySchedule s;
    for (auto* a : {&s.adobanda, &s.acomgest, &s.aasig, &s.aprincipal, &s.asold}) {
        a->fill(stale);
    }
    return s;
}

std::string month(const MonthlySchedule& s, std::size_t m) {
    return "month " + std::to_string(m) + ": interest " + testsupport::precise(s.adobanda[m]) +
           " commission " + testsupport::precise(s.acomgest[m]) + " insurance " +
           testsupport::precise(s.aasig[m]) + " principal " +
           testsupport::precise(s.aprincipal[m]) + " balance " + testsupport::precise(s.asold[m]);
}

// The worked example: credit 1956.6 at 10.7 % over 24 months, commission 1.5 % and insurance
// 0.44 % a month on the balance.
TEST(Calcratacomsold, WorkedExample) {
    namespace worked = testsupport::worked;
    const auto near = [](double got, const worked::Figure& f) {
        EXPECT_NEAR(got, f.value, f.tolerance);
    };
    const double valcr = worked::valcredit.value;
    const double DURCRED = worked::months;
    MonthlySchedule s = staleSchedule();
    const runtime::Variant R =
        calcratacomsold(valcr, worked::DOB, DURCRED, worked::comgestluna, worked::procasig, s);
    SCOPED_TRACE(month(s, 1));
    ASSERT_TRUE(R.has_value());
    near(*R, worked::instalment);
    // The first month charges a = 0.0283167 of the balance.
    EXPECT_NEAR((s.adobanda[1] + s.acomgest[1] + s.aasig[1]) / valcr, 0.0283167, 5e-8);
    near(s.adobanda[1], worked::firstInterest);
    near(s.acomgest[1], worked::managementCommission);
    near(s.aasig[1], worked::firstInsurance);
    near(s.aprincipal[1], worked::firstPrincipal);
    near(s.asold[1], worked::firstBalance);
    near(s.adobanda[2], worked::secondInterest);
    EXPECT_NEAR(s.asold[24], 0.0, 1e-9);
    EXPECT_EQ(s.asold[25], stale);
    EXPECT_EQ(s.adobanda[0], stale); // index 0 is never written
}

TEST(Calcratacomsold, OneMonthRepaysEverything) {
    const double valcr = 1000;
    const double DOB = 0.12;
    const double DURCRED = 1;
    MonthlySchedule s = staleSchedule();
    const double a = (12 * 0.015 + 0.12 + 12 * 0.0044) / 12;
    EXPECT_NEAR(runtime::toDouble(calcratacomsold(valcr, DOB, DURCRED, 0.015, 0.0044, s)),
                valcr * (1 + a), 1e-9);
    EXPECT_NEAR(s.asold[1], 0.0, 1e-9);
    EXPECT_EQ(s.asold[2], stale);
}

// Duration 0: no instalment, but month 1 is still written with a principal of minus the
// month's charges, so the balance grows above the credit.
TEST(Calcratacomsold, ZeroDurationWritesMonthOne) {
    const double valcr = 1956.6;
    const double DOB = 0.107;
    const double DURCRED = 0;
    MonthlySchedule s = staleSchedule();
    EXPECT_FALSE(calcratacomsold(valcr, DOB, DURCRED, 0.015, 0.0044, s).has_value());
    SCOPED_TRACE(month(s, 1));
    EXPECT_NEAR(s.aprincipal[1], -(17.44635 + 29.349 + 8.60904), 1e-9);
    EXPECT_NEAR(s.asold[1], 1956.6 + 55.40439, 1e-9);
    EXPECT_EQ(s.asold[2], stale);
}

TEST(Calcratacomsold, ZeroCreditWritesZeros) {
    const double valcr = 0;
    const double DOB = 0.107;
    const double DURCRED = 6;
    MonthlySchedule s = staleSchedule();
    EXPECT_FALSE(calcratacomsold(valcr, DOB, DURCRED, 0.015, 0.0044, s).has_value());
    for (std::size_t m = 1; m <= 6; ++m) {
        SCOPED_TRACE(month(s, m));
        EXPECT_EQ(s.adobanda[m] + s.acomgest[m] + s.aasig[m] + s.aprincipal[m] + s.asold[m], 0);
    }
    EXPECT_EQ(s.asold[7], stale);
}

// A fractional duration: the power uses 12.6 itself, months 1 to 12 are written, month 13 keeps
// what was there.
TEST(Calcratacomsold, FractionalDuration) {
    const double valcr = 1956.6;
    const double DOB = 0.107;
    const double DURCRED = 12.6;
    MonthlySchedule s = staleSchedule();
    const double a = (12 * 0.015 + 0.107 + 12 * 0.0044) / 12;
    const double expected = a * valcr / (1 - 1 / std::pow(1 + a, 12.6));
    EXPECT_NEAR(runtime::toDouble(calcratacomsold(valcr, DOB, DURCRED, 0.015, 0.0044, s)), expected,
                1e-9);
    EXPECT_NE(s.asold[12], stale);
    EXPECT_GT(s.asold[12], 0.0); // 0.6 of a month is still owed
    EXPECT_EQ(s.adobanda[13], stale);
    EXPECT_EQ(s.asold[13], stale);
}

TEST(Calcratacomsold, ShorterScheduleKeepsTheStaleTail) {
    const double valcr = 1956.6;
    const double DOB = 0.107;
    const double longer = 24;
    const double shorter = 12;
    MonthlySchedule s;
    calcratacomsold(valcr, DOB, longer, 0.015, 0.0044, s);
    const MonthlySchedule first = s;
    calcratacomsold(valcr, DOB, shorter, 0.015, 0.0044, s);
    EXPECT_NE(s.asold[12], first.asold[12]);
    for (std::size_t m = 13; m <= 24; ++m) {
        SCOPED_TRACE(month(s, m));
        EXPECT_EQ(s.asold[m], first.asold[m]);
        EXPECT_EQ(s.aprincipal[m], first.aprincipal[m]);
    }
}

// No interest, commission or insurance: the annuity has no value at a = 0, the instalment is
// its limit valcr / DURCRED and the schedule repays equal parts.
TEST(Calcratacomsold, InterestFreeInstalmentIsEqualParts) {
    const double valcr = 1200;
    const double DOB = 0;
    const double DURCRED = 12;
    MonthlySchedule s;
    const runtime::Variant R = calcratacomsold(valcr, DOB, DURCRED, 0, 0, s);
    ASSERT_TRUE(R.has_value());
    EXPECT_EQ(*R, 100);
    for (std::size_t m = 1; m <= 12; ++m) {
        SCOPED_TRACE(month(s, m));
        EXPECT_EQ(s.aprincipal[m], 100);
        EXPECT_NEAR(s.asold[m], 1200 - 100.0 * static_cast<double>(m), 1e-9);
    }
}

} // namespace
