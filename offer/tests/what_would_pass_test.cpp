#include "loan/loan.h"
#include "offer/what_would_pass.h"
#include "tariff/read.h"
#include "tariff/write.h"
#include "tests/support/sessions.h"
#include "tests/support/started_form.h"
#include "tests/support/window_helpers.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

// The answers are searched for with few variants; here they are checked against every whole RON
// and every whole month, one real variant each.
namespace {

using core::Control;
using offer::Verdict;

std::string optionalText(const std::optional<long long>& v) {
    return v ? std::to_string(*v) : "none";
}

class Customer : public testsupport::StartedFormTest {
protected:
    void inputs(const std::string& vn, const std::string& ar, const std::string& ad,
                const std::string& vp, const std::string& avans, const std::string& durata) {
        set(Control::vn, vn);
        set(Control::ar, ar);
        set(Control::ad, ad);
        set(Control::tbvp, vp);
        set(Control::tbavans, avans);
        set(Control::tbdurcred, durata);
    }
    bool accepted(Control box, long long n) {
        offer::WhatIf probe(form);
        probe.set(box, std::to_string(n));
        return probe.verdict() == Verdict::accepted;
    }
    offer::Answers answers() {
        offer::WhatIf whatIf(form);
        return offer::whatWouldPass(whatIf, form);
    }
};

// Every whole value in [from, to], by a real variant each; the first and last accepted.
struct Scan {
    std::optional<long long> first, last;
};

Scan scan(const ui::Form1& form, Control box, long long from, long long to) {
    offer::WhatIf probe(form);
    Scan out;
    for (long long n = from; n <= to; ++n) {
        probe.set(box, std::to_string(n));
        if (probe.verdict() == Verdict::accepted) {
            if (!out.first) {
                out.first = n;
            }
            out.last = n;
        }
    }
    return out;
}

void expectBruteForce(const ui::Form1& form, const std::string& trace, long long durmin = 6,
                      long long durmax = 60) {
    SCOPED_TRACE(trace);
    const core::SimulationState& s = form.state();
    offer::WhatIf whatIf(form);
    const offer::Answers a = offer::whatWouldPass(whatIf, form);
    const Scan down =
        scan(form, Control::tbavans, 0, static_cast<long long>(std::floor(s.valoareprodus)));
    EXPECT_EQ(optionalText(a.minDownPayment), optionalText(down.first)) << "down payment";
    const Scan months = scan(form, Control::tbdurcred, durmin, durmax);
    EXPECT_EQ(optionalText(a.minDuration), optionalText(months.first)) << "shortest duration";
    EXPECT_EQ(optionalText(a.maxDuration), optionalText(months.last)) << "longest duration";
    const double top = std::floor(s.valavans + s.plafoncredit / (1 + s.comacord));
    const Scan value = scan(form, Control::tbvp, 0, static_cast<long long>(top));
    EXPECT_EQ(optionalText(a.maxProductValue), optionalText(value.last)) << "product value";
}

std::string describe(const ui::Form1& form) {
    std::string out;
    for (const Control c : {Control::vn, Control::ar, Control::ad, Control::tbvp, Control::tbavans,
                            Control::tbdurcred, Control::cbasig}) {
        out += std::string(ui::controlName(c)) + "='" + form.controls().text(c) + "' ";
    }
    return out + "Check2=" + std::to_string(form.controls().value(Control::Check2));
}

// Customers around the edges that make the rule jump: incomes for which the instalment sits near
// the limit, product values whose credit crosses 510, 3999.99/4000 and the ceiling, durations
// across the grid's rows, every insurance, both payment methods, negative amounts typed.
TEST(WhatWouldPass, EqualsAScanOfEveryWholeValue) {
    std::mt19937 rng(77);
    const std::vector<std::string> durations = {"6",  "9",  "12", "13",   "24",   "36", "37", "47",
                                                "48", "54", "60", "24.5", "47.5", "5",  "70"};
    for (int round = 0; round < 16; ++round) {
        testsupport::StartedForm started;
        ui::Form1& form = started.form;
        auto text = [&](int lo, int hi) {
            return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
        };
        form.controls().setText(Control::vn, text(800, 9000));
        form.controls().setText(Control::ar, round % 9 == 4 ? text(-2000, -100) : text(0, 900));
        form.controls().setText(Control::ad, text(0, 300));
        form.controls().setText(Control::tbvp, round % 6 == 1 ? text(3000, 5500) : text(0, 16000));
        form.controls().setText(Control::tbavans, text(0, 3000));
        form.controls().setText(Control::tbdurcred, durations[rng() % durations.size()]);
        form.controls().select(Control::cbasig, static_cast<int>(rng() % 4));
        if (rng() % 3 == 0) {
            form.click(Control::Check2);
        }
        expectBruteForce(form, describe(form));
    }
}

// Another lender's tariff: other limits, an exclusive bound in the grid, a band that starts at
// duration 0, an indebtedness limit of one half. The answers follow the tariff in force.
TEST(WhatWouldPass, FollowsAnotherTariff) {
    const tariff::ReadResult nord = tariff::read(R"({
      "format": "simulator-credit-tarif", "version": 1, "name": "Tarif Nord",
      "credit": {"ceiling": 10000, "minimum": 1000},
      "duration": {"minimum": 3, "maximum": 24, "guard": 100, "after_guard": 12},
      "granting_commission": {"rate": 0.25, "minimum": 40},
      "insurance": [{"name": "Nimic", "monthly_rate": 0.001},
                    {"name": "Complet", "monthly_rate": 0.01}],
      "management_commission": {
        "initial": {"direct_debit": 0.02, "cash": 0.03},
        "bands": [{"credit_min": 1000, "credit_max": 5000, "duration_min": 0, "duration_max": 12,
                   "direct_debit": 0.01, "cash": 0.011}]},
      "interest": [{"duration_max": 12, "credit_below": 3000, "rate": 0.2},
                   {"duration_min": 13, "rate": 0}],
      "indebtedness_limit": 0.5})");
    ASSERT_TRUE(nord.tariff.has_value()) << nord.problems.front().text();
    std::mt19937 rng(9);
    for (int round = 0; round < 6; ++round) {
        testsupport::StartedForm started(*nord.tariff);
        ui::Form1& form = started.form;
        auto text = [&](int lo, int hi) {
            return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
        };
        form.controls().setText(Control::vn, text(500, 3000));
        form.controls().setText(Control::ar, text(0, 400));
        form.controls().setText(Control::tbvp, text(0, 9000));
        form.controls().setText(Control::tbavans, text(0, 1500));
        form.controls().setText(Control::tbdurcred, text(2, 26));
        expectBruteForce(form, describe(form), 3, 24);
    }
}

// A lender bound by legal limits, some only for credits within bounds that cut through the
// searched values, a minimum granting commission that weighs on small credits, and a compulsory
// insurance: only variants within every limit answer.
TEST(WhatWouldPass, CountsOnlyVariantsWithinTheLegalLimits) {
    const tariff::ReadResult limits = tariff::read(R"({
      "format": "simulator-credit-tarif", "version": 2, "name": "Tarif cu limite",
      "credit": {"ceiling": 30000, "minimum": 510},
      "duration": {"minimum": 6, "maximum": 60, "guard": 550, "after_guard": 60},
      "granting_commission": {"rate": 0.087, "minimum": 120},
      "insurance": [{"name": "Fara Asigurare", "monthly_rate": 0},
                    {"name": "Standard", "monthly_rate": 0.0044, "compulsory": true}],
      "management_commission": {
        "initial": {"direct_debit": 0.015, "cash": 0.017},
        "bands": [{"credit_min": 510, "credit_max": 30000, "duration_min": 6, "duration_max": 60,
                   "direct_debit": 0.015, "cash": 0.017}]},
      "interest": [{"duration_max": 12, "rate": 0.167},
                   {"duration_min": 13, "credit_max": 3999.99, "rate": 0.107},
                   {"duration_min": 13, "credit_min": 4000, "rate": 0.07}],
      "indebtedness_limit": 0.35,
      "legal_limits": [
        {"name": "DAE sub 2500 lei", "credit_max": 2500, "dae_max": 0.47},
        {"name": "DAE peste 6000 lei", "credit_min": 6000, "dae_max": 0.38},
        {"name": "Total de plata", "credit_max": 9000, "payable_ratio_max": 1.55}]})");
    ASSERT_TRUE(limits.tariff.has_value()) << limits.problems.front().text();
    std::mt19937 rng(31);
    const std::vector<std::string> durations = {"6", "12", "18", "24", "30", "36", "48", "60"};
    int overLimit = 0;
    for (int round = 0; round < 6; ++round) {
        ui::MessageLog log;
        ui::Form1 form(log, *limits.tariff);
        form.Form_Load();
        auto text = [&](int lo, int hi) {
            return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
        };
        form.controls().setText(Control::vn, text(3000, 9000));
        form.controls().setText(Control::ar, text(0, 300));
        form.controls().setText(Control::tbvp, text(1500, 12000));
        form.controls().setText(Control::tbavans, text(0, 1500));
        form.controls().setText(Control::tbdurcred, durations[rng() % durations.size()]);
        form.controls().select(Control::cbasig, static_cast<int>(rng() % 2));
        offer::WhatIf probe(form);
        probe.set(Control::tbavans, form.controls().text(Control::tbavans));
        overLimit += probe.verdict() == Verdict::over_limit ? 1 : 0;
        expectBruteForce(form, describe(form));
    }
    EXPECT_GT(overLimit, 0); // the limits are reached by some of these customers
}

// The state carries the commission rates of earlier recalculations: the same inputs reached
// along different roads may have different answers, each the form's own.
TEST(WhatWouldPass, FollowsTheCommissionLeftByEarlierRecalculations) {
    std::mt19937 rng(5);
    for (int round = 0; round < 4; ++round) {
        testsupport::StartedForm started;
        ui::Form1& form = started.form;
        auto session = testsupport::randomSession(rng, 8);
        testsupport::replay(form, session);
        form.controls().setText(Control::vn, "2600");
        form.controls().setText(Control::ar, "150");
        form.controls().setText(Control::tbvp, "4350.5");
        form.controls().setText(Control::tbavans, "0");
        form.controls().setText(Control::tbdurcred, round % 2 ? "47.5" : "48");
        expectBruteForce(form, describe(form));
    }
}

// The form's "Valoare maxima bunuri" is the income's largest credit at the present credit's
// rate and commission, plus the down payment; it treats the insurance as a rate added to the
// annuity's divisor rather than charged on the balance with the interest. The largest product
// value accepted is what the form itself accepts, value by value, in whatever band each value
// falls. The two agree only when neither effect is at play.
TEST_F(Customer, LargestValueAcceptedAgainstTheFormsLargestValue) {
    inputs("4200", "350", "100", "10000", "500", "24");
    EXPECT_EQ(form.controls().text(Control::tbsumacc), "18567.61");
    EXPECT_EQ(answers().maxProductValue, 18567); // same rate and band: they agree
    EXPECT_TRUE(accepted(Control::tbvp, 18567));
    EXPECT_FALSE(accepted(Control::tbvp, 18568));

    form.controls().select(Control::cbasig, 1); // "Standard"
    EXPECT_EQ(form.controls().text(Control::tbsumacc), "17234.78");
    const auto standard = answers().maxProductValue;
    ASSERT_TRUE(standard.has_value());
    EXPECT_EQ(*standard, 17715); // the insurance on the balance weighs less than in the formula
    EXPECT_TRUE(accepted(Control::tbvp, *standard));
    EXPECT_FALSE(accepted(Control::tbvp, *standard + 1));
}

TEST_F(Customer, LargerValueFallsInTheGridsCheaperBand) {
    inputs("3000", "350", "", "2000", "500", "48");
    EXPECT_EQ(form.controls().text(Control::tbsumacc), "19284.44"); // at 9 % and 1.5 %
    EXPECT_EQ(form.state().dobanda, 0.09);
    const auto largest = answers().maxProductValue;
    ASSERT_TRUE(largest.has_value());
    EXPECT_GE(*largest, 24504); // at 7 % and 0.5 %, the band of credits from 4000
    EXPECT_TRUE(accepted(Control::tbvp, 24504));
    EXPECT_FALSE(accepted(Control::tbvp, *largest + 1));
    // Between the two, values the form's own figure calls affordable are refused: the answer is
    // not the end of one accepted stretch.
    offer::WhatIf probe(form);
    probe.set(Control::tbvp, "3000");
    EXPECT_EQ(probe.verdict(), Verdict::accepted);
}

TEST_F(Customer, NothingToFindAndTheCutOff) {
    inputs("3000", "", "", "5000", "0", "70"); // out of limits whatever the amounts
    auto a = answers();
    EXPECT_FALSE(a.minDownPayment || a.maxProductValue);
    EXPECT_EQ(a.minDuration, 6);
    EXPECT_EQ(a.maxDuration, 60);

    inputs("300", "500", "", "5000", "0", "24"); // other instalments beyond the income's share
    a = answers();                               // refused even with no credit at all
    EXPECT_FALSE(a.minDownPayment || a.minDuration || a.maxDuration || a.maxProductValue);

    const offer::AnswerTexts none = offer::answerTexts(a);
    EXPECT_EQ(none.minDownPayment, "nu exista");
    EXPECT_EQ(none.durations, "nu exista");
    EXPECT_EQ(none.maxProductValue, "nu exista");
    const offer::AnswerTexts some = offer::answerTexts({1250, 12, 60, 24504});
    EXPECT_EQ(some.minDownPayment, "1250 RON");
    EXPECT_EQ(some.durations, "12 - 60 luni");
    EXPECT_EQ(some.maxProductValue, "24504 RON");
    EXPECT_EQ(offer::answerTexts({0, 6, 6, 0}).durations, "6 luni");
    EXPECT_EQ(offer::answerTexts({0, 6, std::nullopt, 0}).durations, "nu exista");

    inputs("3000", "", "", "2000000000", "0", "24");
    a = answers();
    EXPECT_FALSE(a.minDownPayment || a.minDuration || a.maxDuration || a.maxProductValue);
    inputs("3000", "", "", "5000", "1000000001", "24");
    a = answers();
    EXPECT_FALSE(a.minDownPayment || a.minDuration || a.maxDuration || a.maxProductValue);

    // Figures set by hand: a product whose shortest duration is above its longest answers
    // nothing, since every variant is then out of limits; nor does a down payment that is no
    // number.
    inputs("4200", "", "", "5000", "0", "24");
    const offer::Answers usual = answers();
    ASSERT_TRUE(usual.minDuration && usual.maxProductValue);
    // A down payment below minus the ceiling: no product value is small enough.
    form.state().valavans = -1e6;
    a = answers();
    EXPECT_FALSE(a.maxProductValue);
    EXPECT_EQ(a.minDuration, usual.minDuration);
    EXPECT_EQ(a.minDownPayment, usual.minDownPayment);
    form.state().durmin = 61;
    a = answers();
    EXPECT_FALSE(a.minDownPayment || a.minDuration || a.maxDuration || a.maxProductValue);
    form.state().valavans = std::nan("");
    a = answers();
    EXPECT_FALSE(a.minDownPayment || a.minDuration || a.maxDuration || a.maxProductValue);
    EXPECT_EQ(offer::answerTexts(a).durations, "nu exista");
}

// The built-in tariff with no granting commission (the credit value is the amount financed, a
// whole number of RON for whole amounts), no commission bands, and `edit` applied.
tariff::Tariff editedTariff(const std::function<void(nlohmann::json&)>& edit) {
    nlohmann::json terms = nlohmann::json::parse(tariff::write(tariff::builtIn()));
    terms["granting_commission"] = {{"rate", 0}, {"minimum", 0}};
    terms["management_commission"]["bands"] = nlohmann::json::array();
    edit(terms);
    tariff::ReadResult r = tariff::read(terms.dump());
    EXPECT_TRUE(r.tariff) << r.problems.front().text();
    return *r.tariff;
}

// A grid whose rate jumps at 5000 between 90 % and 0 % a year, for a customer whose share of
// income (472.50 of 1350) carries 5000 at 0 % (an instalment of 458.40 over 12 months, with the
// management commission of 1.5 % a month) but only about 3380 at 90 %. Whether the credit of
// exactly 5000 takes the rate of the credits below it or above it depends on the kind of bound; the
// answer must be the form's own either way, and it lies on the edge or just past it.
TEST(WhatWouldPass, CreditsOnTheGridsEdges) {
    struct Case {
        const char* what;
        const char* rules;
        double ceiling;
        long long largest;
    };
    const std::vector<Case> cases = {
        {"inclusive lower bound, cheap from the edge",
         R"([{"credit_min": 5000, "rate": 0}, {"rate": 0.9}])", 5000, 5000},
        {"exclusive upper bound, dear below the edge",
         R"([{"credit_below": 5000, "rate": 0.9}, {"rate": 0}])", 5000, 5000},
        {"exclusive lower bound, cheap past the edge",
         R"([{"credit_above": 4999, "rate": 0}, {"rate": 0.9}])", 5000, 5000},
        {"inclusive upper bound, dear up to the edge",
         R"([{"credit_max": 5000, "rate": 0.9}, {"rate": 0}])", 6000, 5153},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const tariff::Tariff tarif = editedTariff([&](nlohmann::json& t) {
            t["credit"]["ceiling"] = c.ceiling;
            t["interest"] = nlohmann::json::parse(c.rules);
        });
        testsupport::StartedForm started(tarif);
        started.set(Control::vn, "1350");
        started.set(Control::tbvp, "1000");
        started.set(Control::tbavans, "0");
        started.set(Control::tbdurcred, "12");
        offer::WhatIf whatIf(started.form);
        EXPECT_EQ(offer::whatWouldPass(whatIf, started.form).maxProductValue, c.largest);
        expectBruteForce(started.form, describe(started.form));
    }
}

// A product of a single duration: it is both the shortest and the longest accepted.
TEST(WhatWouldPass, SingleAcceptedDuration) {
    const tariff::Tariff tarif = editedTariff([](nlohmann::json& t) {
        t["duration"] = {{"minimum", 12}, {"maximum", 12}, {"guard", 550}, {"after_guard", 12}};
    });
    testsupport::StartedForm started(tarif);
    started.set(Control::vn, "3000");
    started.set(Control::tbvp, "2000");
    started.set(Control::tbdurcred, "12");
    offer::WhatIf whatIf(started.form);
    const offer::Answers a = offer::whatWouldPass(whatIf, started.form);
    EXPECT_EQ(a.minDuration, 12);
    EXPECT_EQ(a.maxDuration, 12);
    EXPECT_EQ(offer::answerTexts(a).durations, "12 luni");
}

// The edges are where the grid and the bands may change, and only there.
TEST(CreditEdges, GridAndBandsAreConstantBetweenThem) {
    core::SimulationState s;
    core::setCreditParameters(s);
    core::setProductParameters(s);
    const std::vector<double> edges = offer::creditEdges(s);
    ASSERT_TRUE(std::is_sorted(edges.begin(), edges.end()));
    auto key = [&](double credit, double months) {
        core::SimulationState t = s;
        t.valoarecredit = credit;
        t.durata = months;
        t.comgestdd = -1;
        core::Comision_Gestiune(t);
        return std::pair(loan::dobgrila(months, credit, s.tarif->terms().interest), t.comgestdd);
    };
    std::vector<double> points = {-1000, 0};
    for (const double e : edges) {
        points.push_back(e);
    }
    points.push_back(100000);
    for (int halves = 2; halves <= 140; ++halves) {
        const double months = halves / 2.0;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const double lo = std::nextafter(points[i], 1e9);
            const double hi = std::nextafter(points[i + 1], -1e9);
            const auto expected = key(lo, months);
            for (int step = 0; step <= 64; ++step) {
                const double c = lo + (hi - lo) * step / 64;
                EXPECT_EQ(key(c, months), expected) << "credit " << c << ", " << months;
            }
            EXPECT_EQ(key(hi, months), expected) << "credit " << hi << ", " << months;
        }
    }
}

} // namespace
