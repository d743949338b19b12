// Early repayment against schedules made by hand, whose figures can be worked out on paper, and
// against the schedules the form computes.

#include "offer/early.h"
#include "ui/form1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using offer::Early;
using offer::EarlyMode;
using offer::EarlyRequest;
using offer::EarlyTerms;

// 24 months of 110 lei: 100 of principal and 10 of interest, except the last month's interest of
// 0.20; 2400 lent for a product of 2300, so the granting commission is 100. The rates of the
// state (1 % interest a month) only drive the months after a partial repayment.
struct HandMade {
    offer::ScheduleOffer offer;
    core::SimulationState state;

    explicit HandMade(double dobanda = 0.12) {
        offer.valid = true;
        offer::Totals totals;
        for (int m = 1; m <= 24; ++m) {
            const double interest = m == 24 ? 0.2 : 10;
            offer.months.push_back({m, 110, interest, 0, 0, 100, 2400.0 - 100.0 * m});
            totals.instalment += 110;
            totals.interest += interest;
            totals.principal += 100;
        }
        offer.totals = totals;
        state.valoareprodus = 2300;
        state.valavans = 0;
        state.durata = 24;
        state.rataluna = 110;
        state.dobanda = dobanda;
    }

    Early at(long long month, EarlyMode mode = EarlyMode::total, double amount = 0,
             const EarlyTerms& terms = {}) const {
        return offer::earlyRepayment(offer, state, terms, {month, mode, amount});
    }
};

TEST(EarlyWhole, RatesCapAndRefund) {
    struct Case {
        long long month;
        double rate, interestLeft, compensation, refund, payToday, saving;
    };
    // Worked by hand: interest left = the interest of the months after K; refund = 100 × r / 24.
    const std::vector<Case> cases = {
        {6, 0.01, 170.2, 18, 75, 1743, 1980 - 1743},  // 18 months left: 1 %
        {1, 0.01, 220.2, 23, 100.0 * 23 / 24, 0, 0},  // the first month
        {11, 0.01, 120.2, 13, 100.0 * 13 / 24, 0, 0}, // 13 months left: still 1 %
        {12, 0.005, 110.2, 6, 50, 1156, 1320 - 1156}, // a year left: 0.5 %
        {23, 0.005, 0.2, 0.2, 100.0 / 24, 0, 0},      // the cap: 0.20 of interest left
    };
    const HandMade h;
    for (const Case& c : cases) {
        SCOPED_TRACE("after " + std::to_string(c.month) + " instalments");
        const Early e = h.at(c.month);
        ASSERT_TRUE(e.valid) << e.reason;
        const double balance = 2400.0 - 100.0 * static_cast<double>(c.month);
        EXPECT_DOUBLE_EQ(e.balance, balance);
        EXPECT_DOUBLE_EQ(e.amount, balance);
        EXPECT_DOUBLE_EQ(e.compensationRate, c.rate);
        EXPECT_NEAR(e.interestLeft, c.interestLeft, 1e-9);
        EXPECT_NEAR(e.compensation, c.compensation, 1e-9);
        EXPECT_NEAR(e.refund, c.refund, 1e-9);
        const double payToday = balance + c.compensation - c.refund;
        EXPECT_NEAR(e.payToday, payToday, 1e-9);
        if (c.payToday != 0) {
            EXPECT_NEAR(e.payToday, c.payToday, 1e-9);
        }
        EXPECT_NEAR(e.saving, 110.0 * static_cast<double>(24 - c.month) - payToday, 1e-9);
        EXPECT_TRUE(e.months.empty());
        EXPECT_EQ(e.futureTotal, 0);
    }
}

TEST(EarlyWhole, TheLendersTerms) {
    const HandMade h;
    const Early none = h.at(6, EarlyMode::total, 0, {0.008, 0.004, false});
    ASSERT_TRUE(none.valid);
    EXPECT_EQ(none.refund, 0);
    EXPECT_NEAR(none.compensation, 1800 * 0.008, 1e-9);
    EXPECT_NEAR(none.payToday, 1800 + 14.4, 1e-9);
    EXPECT_NEAR(none.saving, 1980 - 1814.4, 1e-9);
    const Early lastYear = h.at(20, EarlyMode::total, 0, {0.008, 0.004, false});
    EXPECT_NEAR(lastYear.compensation, 400 * 0.004, 1e-9);
    // A lender that asks nothing.
    EXPECT_EQ(h.at(6, EarlyMode::total, 0, {0, 0, true}).compensation, 0);
}

TEST(EarlyPart, FiguresInProportionToTheAmount) {
    const HandMade h;
    for (EarlyMode mode : {EarlyMode::rata, EarlyMode::durata}) {
        const Early e = h.at(6, mode, 1000);
        ASSERT_TRUE(e.valid) << e.reason;
        EXPECT_EQ(e.balance, 1800);
        EXPECT_EQ(e.amount, 1000);
        EXPECT_NEAR(e.interestLeft, 170.2 * 1000 / 1800, 1e-9);
        EXPECT_NEAR(e.compensation, 10, 1e-9);
        EXPECT_NEAR(e.refund, 75.0 * 1000 / 1800, 1e-9);
        EXPECT_NEAR(e.payToday, 1010 - 75.0 * 1000 / 1800, 1e-9);
        EXPECT_NEAR(e.saving, 1980 - e.payToday - e.futureTotal, 1e-9);
    }
}

// Checks what every month after a partial repayment must hold: numbered from 1, the instalment
// split into its parts at the form's rates, each balance the previous one less the principal.
void expectRecurrence(const Early& e, double left, double monthlyRate) {
    double previous = left;
    double total = 0;
    for (std::size_t i = 0; i < e.months.size(); ++i) {
        const offer::MonthRow& r = e.months[i];
        SCOPED_TRACE("month " + std::to_string(r.month));
        EXPECT_EQ(r.month, static_cast<int>(i) + 1);
        EXPECT_NEAR(r.interest, previous * monthlyRate, 1e-9);
        EXPECT_NEAR(r.interest + r.commission + r.insurance + r.principal, r.instalment, 1e-9);
        EXPECT_NEAR(r.balance, previous - r.principal, 1e-9);
        previous = r.balance;
        total += r.instalment;
    }
    EXPECT_NEAR(e.futureTotal, total, 1e-9);
}

TEST(EarlyPart, LowerInstalmentOverTheSameTerm) {
    const HandMade h;
    const Early e = h.at(6, EarlyMode::rata, 1000);
    ASSERT_TRUE(e.valid) << e.reason;
    // 800 over 18 months at 1 %: 8 / (1 - 1.01^-18) = 48.785 by hand.
    EXPECT_NEAR(e.instalment, 48.785, 0.001);
    ASSERT_EQ(e.months.size(), 18U);
    for (const offer::MonthRow& r : e.months) {
        EXPECT_DOUBLE_EQ(r.instalment, e.instalment);
    }
    expectRecurrence(e, 800, 0.01);
    EXPECT_NEAR(e.months.back().balance, 0, 0.01);
}

TEST(EarlyPart, ShorterTermWithTheSameInstalment) {
    const HandMade h;
    const Early e = h.at(6, EarlyMode::durata, 1000);
    ASSERT_TRUE(e.valid) << e.reason;
    // 800 at 1 % with 110 a month: seven whole instalments, the eighth pays what is left.
    ASSERT_EQ(e.months.size(), 8U);
    EXPECT_EQ(e.instalment, 110);
    expectRecurrence(e, 800, 0.01);
    const double before = e.months[6].balance;
    EXPECT_NEAR(e.months[7].instalment, before * 1.01, 1e-9);
    EXPECT_LT(e.months[7].instalment, 110);
    EXPECT_EQ(e.months[7].principal, before);
    EXPECT_EQ(e.months[7].balance, 0);
}

TEST(EarlyPart, WithoutInterestOrCommission) {
    const HandMade h(0);
    const Early rata = h.at(6, EarlyMode::rata, 1000);
    ASSERT_TRUE(rata.valid) << rata.reason;
    ASSERT_EQ(rata.months.size(), 18U);
    EXPECT_NEAR(rata.instalment, 800.0 / 18, 1e-12);
    EXPECT_NEAR(rata.months.back().balance, 0, 1e-9);
    expectRecurrence(rata, 800, 0);

    const Early durata = h.at(6, EarlyMode::durata, 1000);
    ASSERT_EQ(durata.months.size(), 8U);
    EXPECT_NEAR(durata.months.back().instalment, 30, 1e-9);

    // 700.49 is seven instalments of 100.07, but subtracting them one by one leaves 1e-13: no
    // eighth month for what rounding leaves over.
    HandMade exactly(0);
    exactly.state.rataluna = 100.07;
    const Early exact = exactly.at(6, EarlyMode::durata, 1099.51);
    ASSERT_EQ(exact.months.size(), 7U);
    EXPECT_NEAR(exact.months.back().instalment, 100.07, 1e-9);
    EXPECT_EQ(exact.months.back().balance, 0);
}

TEST(EarlyRefused, MonthsAndAmountsWithoutAFigure) {
    const HandMade h;
    struct Case {
        const char* what;
        long long month;
        EarlyMode mode;
        double amount;
        const char* reasonStart;
    };
    const std::vector<Case> cases = {
        {"no instalment paid", 0, EarlyMode::total, 0, "Rambursarea anticipata se face dupa"},
        {"a negative month", -3, EarlyMode::total, 0, "Rambursarea anticipata se face dupa"},
        {"the last month", 24, EarlyMode::total, 0, "Rambursarea anticipata se face dupa"},
        {"after the term", 25, EarlyMode::rata, 100, "Rambursarea anticipata se face dupa"},
        {"nothing repaid", 6, EarlyMode::rata, 0, "Suma rambursata anticipat trebuie"},
        {"a negative amount", 6, EarlyMode::durata, -50, "Suma rambursata anticipat trebuie"},
        {"the whole balance", 6, EarlyMode::rata, 1800, "Suma rambursata partial"},
        {"more than the balance", 6, EarlyMode::durata, 1800.01, "Suma rambursata partial"},
        {"not a number", 6, EarlyMode::rata, std::nan(""), "Suma rambursata anticipat nu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Early e = h.at(c.month, c.mode, c.amount);
        EXPECT_FALSE(e.valid);
        EXPECT_EQ(e.reason.rfind(c.reasonStart, 0), 0U) << e.reason;
        EXPECT_TRUE(e.months.empty());
    }
    EXPECT_NE(h.at(0).reason.find("cel mult 23 rate"), std::string::npos);

    HandMade notOffered;
    notOffered.offer = {};
    notOffered.offer.reason = "Valoarea produsului nu este completata.";
    EXPECT_EQ(notOffered.at(6).reason, notOffered.offer.reason);
    HandMade noTotals;
    noTotals.offer.totals.reset();
    noTotals.offer.reason = "Fara totaluri.";
    EXPECT_FALSE(noTotals.at(6).valid);
    EXPECT_EQ(noTotals.at(6).reason, "Fara totaluri.");

    // A shorter term cannot end when the instalment does not cover the month's interest.
    HandMade costly(1.68); // 14 % a month: 800 costs 112 a month, above the instalment
    const Early e = costly.at(6, EarlyMode::durata, 1000);
    EXPECT_FALSE(e.valid);
    EXPECT_EQ(e.reason, "Cu rata actuala soldul ramas nu se achita in cele 18 luni ramase.");
}

// Schedules no form makes, but a broken upstream figure could: nothing is offered from them.
TEST(EarlyRefused, SchedulesWithNothingLeftOrNoFigure) {
    HandMade single;
    single.offer.months.resize(1);
    EXPECT_EQ(single.at(1).reason,
              "Creditul are o singura rata: nu ramane nimic de rambursat anticipat.");
    EXPECT_EQ(single.at(0).reason,
              "Creditul are o singura rata: nu ramane nimic de rambursat anticipat.");

    const std::string settled = "Dupa aceasta rata creditul este deja achitat.";
    for (const double balance : {0.0, -0.01, std::nan(""), static_cast<double>(INFINITY)}) {
        SCOPED_TRACE(balance);
        HandMade paid;
        paid.offer.months[5].balance = balance;
        EXPECT_EQ(paid.at(6).reason, settled);
        EXPECT_EQ(paid.at(6, EarlyMode::rata, 100).reason, settled);
        EXPECT_TRUE(paid.at(7).valid); // only that month
    }

    // Rates that overflow the months after a lower instalment: no month is shown.
    const std::string unfit = "Lunile de dupa rambursare au valori care nu pot fi calculate.";
    struct Case {
        const char* what;
        double dobanda, procasig, amount;
    };
    for (const Case& c :
         std::vector<Case>{{"an insurance rate that is no number", 0.12, std::nan(""), 1000},
                           {"an overflowing instalment", 1e306, 0, 1000},
                           {"an overflowing interest only", 1e308, 0, 1799}}) {
        SCOPED_TRACE(c.what);
        HandMade h(c.dobanda);
        h.state.procasig = c.procasig;
        const Early e = h.at(6, EarlyMode::rata, c.amount);
        EXPECT_FALSE(e.valid);
        EXPECT_EQ(e.reason, unfit);
        EXPECT_TRUE(e.months.empty());
    }
}

// The form's own schedules: a partial repayment's months end where they must.
TEST(EarlyOnTheForm, MonthsAfterEndAtZero) {
    struct Simulation {
        const char* tbvp;
        const char* tbavans;
        const char* tbdurcred;
        int insurance;
    };
    for (const Simulation& sim : std::vector<Simulation>{
             {"2000", "200", "24", 1}, {"27000", "1000", "60", 2}, {"1500", "0", "12", 3}}) {
        SCOPED_TRACE(std::string(sim.tbvp) + " over " + sim.tbdurcred);
        ui::MessageLog log;
        ui::Form1 form(log);
        form.Form_Load();
        form.controls().setText(core::Control::tbvp, sim.tbvp);
        form.controls().setText(core::Control::tbavans, sim.tbavans);
        form.controls().setText(core::Control::tbdurcred, sim.tbdurcred);
        form.controls().select(core::Control::cbasig, sim.insurance);
        const auto n = static_cast<long long>(form.state().durata);
        for (long long k : {1LL, n / 2, n - 1}) {
            const offer::ScheduleOffer o = offer::scheduleOffer(form);
            const double half = o.months[static_cast<std::size_t>(k - 1)].balance / 2;
            const Early rata = offer::earlyRepayment(form, {k, EarlyMode::rata, half});
            ASSERT_TRUE(rata.valid) << rata.reason;
            EXPECT_EQ(rata.months.size(), static_cast<std::size_t>(n - k));
            EXPECT_NEAR(rata.months.back().balance, 0, 0.01);
            EXPECT_LT(rata.instalment, form.state().rataluna);

            const Early durata = offer::earlyRepayment(form, {k, EarlyMode::durata, half});
            ASSERT_TRUE(durata.valid) << durata.reason;
            EXPECT_LE(durata.months.size(), static_cast<std::size_t>(n - k));
            EXPECT_EQ(durata.months.back().balance, 0);
            EXPECT_LE(durata.months.back().instalment, form.state().rataluna + 1e-9);
            // Repaying part of the balance never costs more than paying every instalment left.
            EXPECT_GE(rata.saving, 0);
            EXPECT_GE(durata.saving, rata.saving - 1e-9);
        }
    }
}

} // namespace
