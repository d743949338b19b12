#include "offer/document_gate.h"
#include "offer/duration_rows.h"
#include "offer/legal.h"
#include "offer/legal_json.h"
#include "offer/offer_text.h"
#include "offer/snapshot_json.h"
#include "offer/tests/offer_lines.h"
#include "offer/what_would_pass.h"
#include "runtime/json_text.h"
#include "tariff/read.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using core::Control;
using nlohmann::json;
using tariff::LegalLimit;

json builtInTariff() {
    std::ifstream in(SIMCREDIT_EXAMPLE_TARIFF, std::ios::binary);
    return json::parse(std::string(std::istreambuf_iterator<char>(in), {}));
}

tariff::Tariff tariffOf(const std::function<void(json&)>& edit) {
    json doc = builtInTariff();
    doc["version"] = 2;
    edit(doc);
    tariff::ReadResult r = tariff::read(doc.dump());
    EXPECT_TRUE(r.tariff) << (r.problems.empty() ? "" : r.problems[0].text());
    return std::move(*r.tariff);
}

// The customer of the offer example: income 4200, other instalments 350, other debts 100, a
// product of 3500 with 500 down over 24 months, the "Standard" insurance.
class LegalCustomer {
public:
    explicit LegalCustomer(tariff::Tariff tarif, const std::string& durata = "24",
                           const std::string& vp = "3500")
        : tarif_(std::make_unique<tariff::Tariff>(std::move(tarif))), form_(log_, *tarif_) {
        form_.Form_Load();
        ui::ControlModel& c = form_.controls();
        c.setText(Control::vn, "4200");
        c.setText(Control::ar, "350");
        c.setText(Control::ad, "100");
        c.setText(Control::tbvp, vp);
        c.setText(Control::tbavans, "500");
        c.setText(Control::tbdurcred, durata);
        c.select(Control::cbasig, 1);
    }
    ui::Form1& form() { return form_; }
    offer::LegalFigures figures() const { return offer::legalFigures(form_); }

private:
    std::unique_ptr<tariff::Tariff> tarif_;
    ui::MessageLog log_;
    ui::Form1 form_;
};

// The present value of the flows at a monthly rate, in long double: an independent check that a
// rate balances them.
long double presentValue(const offer::ScheduleOffer& s, double credit, bool withInsurance,
                         double annual) {
    const long double m = std::pow(1.0L + annual, 1.0L / 12) - 1;
    long double pv = credit;
    for (const offer::MonthRow& r : s.months) {
        long double paid = static_cast<long double>(r.commission) + r.interest + r.principal;
        if (withInsurance) {
            paid += r.insurance;
        }
        pv -= paid / std::pow(1 + m, static_cast<long double>(r.month));
    }
    return pv;
}

TEST(LegalFigures, OfferExampleWithOptionalInsurance) {
    LegalCustomer customer(tariffOf([](json&) {}));
    const offer::ScheduleOffer schedule = offer::scheduleOffer(customer.form());
    const offer::LegalFigures f = customer.figures();
    ASSERT_TRUE(f.valid);
    const offer::Totals& t = *schedule.totals;
    EXPECT_EQ(f.totalCredit, 3000);
    // The granting commission, 8.7 % of 3000, financed into the credit value.
    EXPECT_NEAR(*f.grantingCommission, 261, 1e-9);
    EXPECT_FALSE(f.compulsoryInsurance);
    EXPECT_EQ(*f.totalCost, t.interest + t.commission + *f.grantingCommission);
    EXPECT_NEAR(*f.totalCost, 1339.4813945924, 1e-9);
    EXPECT_EQ(*f.payable, 3000 + *f.totalCost);
    EXPECT_NEAR(*f.payments, 4537.891908998, 1e-8);
    EXPECT_GT(*f.payments, *f.payable); // the optional insurance is paid, but not a cost
    // Optional insurance stays out of the flows: the legal DAE is the exact DAE, to the bit.
    ASSERT_TRUE(f.dae && schedule.daeExact);
    EXPECT_EQ(*f.dae, *schedule.daeExact);
    EXPECT_NEAR(*f.dae, 0.45036, 1e-5);
    EXPECT_EQ(*f.dailyCost, *f.totalCost / 3000 / (24.0 * 365 / 12));
    EXPECT_EQ(*f.payableRatio, *f.payable / 3000);
    EXPECT_TRUE(f.breaches.empty());
    EXPECT_FALSE(f.creditor);
}

TEST(LegalFigures, CompulsoryInsuranceCountsInTheCostAndTheDae) {
    LegalCustomer optional(tariffOf([](json&) {}));
    LegalCustomer compulsory(tariffOf([](json& d) { d["insurance"][1]["compulsory"] = true; }));
    const offer::ScheduleOffer schedule = offer::scheduleOffer(compulsory.form());
    const offer::LegalFigures o = optional.figures();
    const offer::LegalFigures c = compulsory.figures();
    ASSERT_TRUE(c.valid && c.dae && o.dae);
    EXPECT_TRUE(c.compulsoryInsurance);
    EXPECT_EQ(*c.totalCost, *o.totalCost + schedule.totals->insurance);
    EXPECT_EQ(*c.payments, *o.payments);
    EXPECT_NEAR(*c.payable, *c.payments, 1e-9); // every instalment is now a cost of the credit
    EXPECT_GT(*c.dae, *o.dae + 0.05);
    EXPECT_NEAR(static_cast<double>(presentValue(schedule, 3000, true, *c.dae)), 0, 1e-7);
    EXPECT_GT(std::abs(static_cast<double>(presentValue(schedule, 3000, false, *c.dae))), 1);

    // Another item chosen, or a typed text that is no item's: not compulsory.
    compulsory.form().controls().select(Control::cbasig, 2);
    EXPECT_FALSE(compulsory.figures().compulsoryInsurance);
    compulsory.form().controls().setText(Control::cbasig, "Standard ");
    EXPECT_FALSE(compulsory.figures().compulsoryInsurance);
}

// Each measure breaches only above its ceiling: at the figure itself it holds.
TEST(LegalFigures, EachLimitBreachedAboveItsEdgeOnly) {
    const offer::LegalFigures base = LegalCustomer(tariffOf([](json&) {})).figures();
    struct Edge {
        const char* key;
        LegalLimit::Measure measure;
        double value;
    };
    const Edge edges[] = {
        {"dae_max", LegalLimit::Measure::dae, *base.dae},
        {"daily_cost_max", LegalLimit::Measure::daily_cost, *base.dailyCost},
        {"payable_ratio_max", LegalLimit::Measure::payable_ratio, *base.payableRatio}};
    for (const Edge& e : edges) {
        SCOPED_TRACE(e.key);
        const double below = std::nextafter(e.value, 0.0);
        const offer::LegalFigures f =
            LegalCustomer(tariffOf([&](json& d) {
                d["legal_limits"] = json::array({{{"name", "la limita"}, {e.key, e.value}},
                                                 {{"name", "sub limita"}, {e.key, below}}});
            })).figures();
        ASSERT_EQ(f.breaches.size(), 1U);
        EXPECT_EQ(f.breaches[0].name, "sub limita");
        EXPECT_EQ(f.breaches[0].measure, e.measure);
        EXPECT_EQ(f.breaches[0].limit, below);
        EXPECT_EQ(f.breaches[0].value, e.value);
    }
}

// A limit applies when the total credit lies within its bounds, both inclusive; breaches keep
// the tariff's order.
TEST(LegalFigures, LimitsCreditBoundsAndOrder) {
    const double t = 3000;
    const double above = std::nextafter(t, 1e9);
    const double below = std::nextafter(t, 0.0);
    const offer::LegalFigures f =
        LegalCustomer(tariffOf([&](json& d) {
            d["legal_limits"] = json::array({
                {{"name", "a: de la T"}, {"credit_min", t}, {"payable_ratio_max", 1}},
                {{"name", "b: peste T"}, {"credit_min", above}, {"dae_max", 0}},
                {{"name", "c: pana la T"}, {"credit_max", t}, {"dae_max", 0.3}},
                {{"name", "d: sub T"}, {"credit_max", below}, {"daily_cost_max", 0}},
                {{"name", "e: exact T"},
                 {"credit_min", t},
                 {"credit_max", t},
                 {"daily_cost_max", 0}},
                {{"name", "f: oricare"}, {"dae_max", 0.5}},
            });
        })).figures();
    std::vector<std::string> names;
    for (const offer::LimitBreach& b : f.breaches) {
        names.push_back(b.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a: de la T", "c: pana la T", "e: exact T"}));
}

TEST(LegalFigures, NoFiguresWithoutAValidOffer) {
    LegalCustomer customer(tariffOf([](json& d) {
                               d["legal_limits"] = json::array({{{"name", "L"}, {"dae_max", 0}}});
                           }),
                           "24", "0");
    const offer::LegalFigures f = customer.figures();
    EXPECT_FALSE(f.valid);
    EXPECT_EQ(f.reason, offer::scheduleOffer(customer.form()).reason);
    EXPECT_FALSE(f.reason.empty());
    EXPECT_FALSE(f.totalCredit || f.grantingCommission || f.totalCost || f.payable || f.payments ||
                 f.dae || f.dailyCost || f.payableRatio);
    EXPECT_TRUE(f.breaches.empty());
    EXPECT_FALSE(offer::firstBreachedLimit(customer.form()));
    // A schedule said to be valid but without its totals gives no figures either.
    customer.form().controls().setText(Control::tbvp, "3500");
    offer::ScheduleOffer noTotals = offer::scheduleOffer(customer.form());
    ASSERT_TRUE(noTotals.valid) << noTotals.reason;
    noTotals.totals.reset();
    noTotals.reason = "Fara totaluri.";
    const offer::LegalFigures none = offer::legalFigures(customer.form(), noTotals);
    EXPECT_FALSE(none.valid || none.totalCredit || none.dae);
    EXPECT_EQ(none.reason, "Fara totaluri.");
    const json j = json::parse(offer::legalJson(f))["legal"];
    EXPECT_EQ(j["reason"], f.reason);
    EXPECT_TRUE(j["total_credit"].is_null() && j["dae"].is_null() && j["payable_ratio"].is_null());
}

// The line of the `legal` action: its keys in order, a breach with its figures, the creditor.
TEST(LegalJson, KeysInOrderWithABreach) {
    LegalCustomer customer(tariffOf([](json& d) {
        d["creditor"] = {{"name", "Omnira Credit IFN S.A."}, {"kind", "ifn"}, {"address", "A"}};
        d["legal_limits"] = json::array({{{"name", "DAE maxima IFN"}, {"dae_max", 0.345}}});
    }));
    const std::string line = offer::legalJson(customer.form());
    const std::string keys[] = {"valid",      "reason",     "total_credit", "granting_commission",
                                "total_cost", "payable",    "payments",     "compulsory_insurance",
                                "dae",        "dae_reason", "daily_cost",   "payable_ratio",
                                "breaches",   "creditor"};
    std::size_t at = 0;
    for (const std::string& k : keys) {
        const std::size_t next = line.find("\"" + k + "\":", at);
        ASSERT_NE(next, std::string::npos) << k;
        at = next;
    }
    const json j = json::parse(line)["legal"];
    EXPECT_EQ(j["breaches"],
              json::parse(R"([{"name":"DAE maxima IFN","measure":"dae","limit":0.345,"value":)" +
                          runtime::jsonNumber(*customer.figures().dae) + "}]"));
    EXPECT_EQ(j["creditor"], true);
    EXPECT_EQ(j["dae_reason"], nullptr);
    EXPECT_EQ(offer::firstBreachedLimit(customer.form()), "DAE maxima IFN");
}

// The customer's paper names one DAE, the legal one: with a compulsory insurance it is not the
// window's, which leaves the insurance out; the agent's key figures keep both, each named.
TEST(DocumentFigures, OneDaeTheLegalOne) {
    const bool compulsoryFlags[] = {false, true};
    for (const bool compulsory : compulsoryFlags) {
        SCOPED_TRACE(compulsory);
        LegalCustomer customer(
            tariffOf([&](json& d) { d["insurance"][1]["compulsory"] = compulsory; }));
        const offer::OfferText text = offer::offerText(customer.form());
        ASSERT_TRUE(text.valid) << text.reason;
        const offer::LegalFigures legal = customer.figures();
        ASSERT_TRUE(legal.dae);
        int daes = 0;
        for (const offer::Line& line : text.documentFigures) {
            daes += line.label.find("DAE") != std::string::npos ? 1 : 0;
        }
        EXPECT_EQ(daes, 1);
        EXPECT_EQ(offertest::valueOf(text.documentFigures, "DAE"), offer::legalPercent(*legal.dae));
        EXPECT_EQ(offertest::valueOf(text.documentFigures, "Rata lunara"),
                  offertest::valueOf(text.keyFigures, "Rata lunara"));
        EXPECT_EQ(offertest::valueOf(text.keyFigures, "DAE exacta").empty(), false);
    }
    LegalCustomer compulsory(tariffOf([](json& d) { d["insurance"][1]["compulsory"] = true; }));
    const offer::OfferText text = offer::offerText(compulsory.form());
    EXPECT_EQ(offertest::valueOf(text.documentFigures, "DAE"), "53.13 %");
    EXPECT_EQ(offertest::valueOf(text.keyFigures, "DAE"), "45.04 %");
    EXPECT_EQ(offer::legalPercent(0.0625), "6.25 %");
    EXPECT_EQ(offer::legalPercent(0.45036), "45.04 %");
}

} // namespace

namespace {

// The variants of the offer example under a DAE ceiling that only the longest durations meet:
// the rows over it say which limit, and the durations answered are only those within it.
TEST(LegalVariants, RowsOverALimitNameItAndDoNotAnswer) {
    LegalCustomer customer(tariffOf([](json& d) {
        d["legal_limits"] = json::array({{{"name", "Total de plata"}, {"payable_ratio_max", 5}},
                                         {{"name", "DAE maxima IFN"}, {"dae_max", 0.46}}});
    }));
    offer::WhatIf whatIf(customer.form());
    const std::vector<offer::DurationRow> rows = offer::durationRows(whatIf, customer.form());
    int over = 0;
    for (const offer::DurationRow& row : rows) {
        SCOPED_TRACE(row.text);
        whatIf.set(Control::tbdurcred, row.text);
        const auto dae = offer::legalFigures(whatIf.copy()).dae;
        ASSERT_TRUE(dae);
        if (*dae > 0.46) {
            ++over;
            EXPECT_EQ(row.verdict, offer::Verdict::over_limit);
            EXPECT_EQ(offer::verdictText(row), "Peste limita legala: DAE maxima IFN");
        } else {
            EXPECT_EQ(row.verdict, offer::Verdict::accepted);
        }
    }
    EXPECT_GT(over, 0);
    EXPECT_LT(over, static_cast<int>(rows.size()));
    const offer::Answers a = offer::whatWouldPass(whatIf, customer.form());
    ASSERT_TRUE(a.minDuration && a.maxDuration);
    for (const long long d : {*a.minDuration, *a.maxDuration}) {
        whatIf.set(Control::tbdurcred, std::to_string(d));
        EXPECT_EQ(whatIf.verdict(), offer::Verdict::accepted) << d;
    }
    whatIf.set(Control::tbdurcred, std::to_string(*a.minDuration - 1));
    EXPECT_EQ(whatIf.verdict(), offer::Verdict::over_limit);
}

} // namespace

namespace {

TEST(DocumentGate, IssuedOnlyForAGrantableCreditToAnAssessedCustomer) {
    LegalCustomer plain(tariffOf([](json&) {}));
    EXPECT_TRUE(offer::documentGate(plain.form()).allowed);
    // The form needs the creditor besides.
    EXPECT_EQ(offer::informationFormGate(plain.form()).reason,
              "Tariful nu numeste creditorul: formularul de informatii standard nu poate fi "
              "emis.");

    LegalCustomer ceiling(tariffOf([](json& d) {
        d["creditor"] = {{"name", "Omnira Credit IFN S.A."}, {"kind", "ifn"}, {"address", "A"}};
        d["legal_limits"] =
            json::array({{{"name", "DAE maxima IFN"}, {"credit_max", 3000}, {"dae_max", 0.345}}});
    }));
    const offer::DocumentGate breached = offer::documentGate(ceiling.form());
    EXPECT_FALSE(breached.allowed);
    EXPECT_EQ(breached.reason, "Depaseste limita legala: DAE maxima IFN: 45.04 % > 34.50 %");
    EXPECT_EQ(offer::informationFormGate(ceiling.form()).reason, breached.reason);
    ceiling.form().controls().setText(Control::tbavans, "400"); // a credit the limit spares
    EXPECT_TRUE(offer::informationFormGate(ceiling.form()).allowed);

    // Without an income nothing was assessed; without a product there is no offer.
    plain.form().controls().setText(Control::vn, "");
    EXPECT_EQ(offer::documentGate(plain.form()).reason,
              "Venitul net al clientului nu este completat: fara el gradul de indatorare nu a "
              "fost evaluat.");
    plain.form().controls().setText(Control::vn, "4200");
    ASSERT_TRUE(offer::documentGate(plain.form()).allowed);
    plain.form().state().venitnet = std::numeric_limits<double>::infinity(); // set by hand
    EXPECT_EQ(offer::documentGate(plain.form()).reason.rfind("Venitul net al clientului", 0), 0U);
    plain.form().controls().setText(Control::tbvp, "0");
    EXPECT_EQ(offer::documentGate(plain.form()).reason, offer::scheduleOffer(plain.form()).reason);
}

TEST(DocumentGate, EveryBreachNamedWithItsFigures) {
    LegalCustomer customer(tariffOf([](json&) {}));
    const double dae = *customer.figures().dae;
    LegalCustomer two(tariffOf([&](json& d) {
        d["legal_limits"] = json::array({{{"name", "Total de plata"}, {"payable_ratio_max", 1.2}},
                                         {{"name", "Cost pe zi"}, {"daily_cost_max", 0.0001}},
                                         {{"name", "DAE"}, {"dae_max", std::nextafter(dae, 0.0)}}});
    }));
    const std::string reason = offer::documentGate(two.form()).reason;
    EXPECT_EQ(reason.substr(0, reason.find(" %; DAE: ")),
              "Depaseste limita legala: Total de plata: 1.45 > 1.20; Cost pe zi: 0.06 % > 0.01");
    // A DAE just above its ceiling is not shown equal to it.
    const std::string last = reason.substr(reason.find("; DAE: ") + 7);
    EXPECT_EQ(last.find("45.04 % > 45.04 %"), std::string::npos) << last;
    EXPECT_EQ(last.substr(0, 8), "45.03609");
}

} // namespace

namespace {

// The snapshot's runtime errors: none without a log, every one kept while there are few, the
// latest with their count once the log has dropped the oldest.
TEST(SnapshotJson, FaultsKeptAndCounted) {
    LegalCustomer customer(tariffOf([](json&) {}));
    const std::vector<core::Message> shown = {{"Titlu", "Mesaj", 16}};
    const json none = json::parse(offer::snapshotJson(customer.form(), shown));
    EXPECT_EQ(none["faults"], json::array());
    EXPECT_FALSE(none.contains("faults_count"));
    EXPECT_EQ(none["messages"], json::parse(R"([{"prompt":"Mesaj","title":"Titlu"}])"));
    EXPECT_EQ(none["controls"]["tbvp"]["text"], "3500");

    ui::FaultLog faults;
    faults.fault("a");
    faults.fault("b");
    const json few = json::parse(offer::snapshotJson(customer.form(), {}, &faults));
    EXPECT_EQ(few["faults"], json::parse(R"(["a","b"])"));
    EXPECT_FALSE(few.contains("faults_count"));

    const auto capacity = static_cast<int>(ui::FaultLog::capacity);
    for (int i = 2; i <= capacity; ++i) {
        faults.fault("f" + std::to_string(i));
    }
    const json many = json::parse(offer::snapshotJson(customer.form(), {}, &faults));
    ASSERT_EQ(many["faults"].size(), ui::FaultLog::capacity);
    EXPECT_EQ(many["faults"].front(), "b");
    EXPECT_EQ(many["faults"].back(), "f" + std::to_string(capacity));
    EXPECT_EQ(many["faults_count"], capacity + 1);
}

} // namespace
