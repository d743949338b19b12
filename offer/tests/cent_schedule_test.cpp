// The schedule in cents made by hand: each month's figures rounded to the cent, the last month
// settling the credit, and no schedule at all when a figure cannot be counted in cents.

#include "offer/cent_schedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

// Three months of 100.004 on a credit of 290: 10.006 of interest, 0.5 of commission and 0.25
// of insurance a month.
offer::ScheduleOffer threeMonths() {
    offer::ScheduleOffer s;
    s.valid = true;
    double balance = 290;
    for (int m = 1; m <= 3; ++m) {
        const double principal = 100.004 - 10.006 - 0.5 - 0.25;
        balance -= principal;
        s.months.push_back({m, 100.004, 10.006, 0.5, 0.25, principal, balance});
    }
    return s;
}

TEST(CentSchedule, LastMonthSettlesTheCredit) {
    const auto cents = offer::centSchedule(threeMonths(), 290);
    ASSERT_TRUE(cents);
    EXPECT_EQ(cents->credit, 29000);
    ASSERT_EQ(cents->months.size(), 3U);
    // 100.00 - 10.01 - 0.50 - 0.25 = 89.24 of principal in each of the first two months.
    EXPECT_EQ(cents->months[0].instalment, 10000);
    EXPECT_EQ(cents->months[0].interest, 1001);
    EXPECT_EQ(cents->months[0].principal, 8924);
    EXPECT_EQ(cents->months[1].balance, 29000 - 2 * 8924);
    // The last month pays the 111.52 still due and its costs.
    EXPECT_EQ(cents->months[2].principal, 11152);
    EXPECT_EQ(cents->months[2].instalment, 11152 + 1001 + 50 + 25);
    EXPECT_EQ(cents->months[2].balance, 0);
    EXPECT_EQ(cents->totals.principal, 29000);
    EXPECT_EQ(cents->totals.instalment, 2 * 10000 + 11152 + 1001 + 50 + 25);
    EXPECT_EQ(cents->totals.interest, 3 * 1001);
    EXPECT_EQ(cents->totals.commission, 150);
    EXPECT_EQ(cents->totals.insurance, 75);
}

TEST(CentSchedule, NothingWhenAFigureCannotBeCounted) {
    struct Case {
        const char* what;
        std::function<void(offer::ScheduleOffer&)> spoil;
        double credit = 290;
    };
    const std::vector<Case> cases = {
        {"not an offer", [](auto& s) { s.valid = false; }},
        {"no month", [](auto& s) { s.months.clear(); }},
        {"a credit beyond cents", [](auto&) {}, 1e13},
        {"a credit that is no number", [](auto&) {}, std::nan("")},
        {"an instalment", [](auto& s) { s.months[1].instalment = INFINITY; }},
        {"an interest", [](auto& s) { s.months[0].interest = std::nan(""); }},
        {"a commission", [](auto& s) { s.months[2].commission = -1e13; }},
        {"an insurance", [](auto& s) { s.months[2].insurance = 1e15; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        offer::ScheduleOffer s = threeMonths();
        c.spoil(s);
        EXPECT_FALSE(offer::centSchedule(s, c.credit));
    }
    // The principal and the balance are recomputed in cents: their own values do not matter.
    offer::ScheduleOffer s = threeMonths();
    s.months[1].principal = INFINITY;
    s.months[1].balance = std::nan("");
    const auto cents = offer::centSchedule(s, 290);
    ASSERT_TRUE(cents);
    EXPECT_EQ(cents->months[1].balance, 29000 - 2 * 8924);
}

} // namespace
