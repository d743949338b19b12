#include "tariff/read.h"
#include "tariff/write.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using nlohmann::json;
using tariff::LegalLimit;

std::string fileText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> problemsOf(const json& doc) {
    const tariff::ReadResult r = tariff::read(doc.dump());
    EXPECT_EQ(r.tariff.has_value(), r.problems.empty());
    std::vector<std::string> texts;
    for (const tariff::Problem& p : r.problems) {
        texts.push_back(p.text());
    }
    return texts;
}

std::vector<std::string> problemsAfter(const char* path, const std::function<void(json&)>& edit) {
    json doc = json::parse(fileText(path));
    edit(doc);
    return problemsOf(doc);
}

TEST(TariffLegalTerms, LendersExampleReadsAndWritesBackByteForByte) {
    const std::string example = fileText(SIMCREDIT_LENDER_TARIFF);
    const tariff::ReadResult r = tariff::read(example);
    ASSERT_TRUE(r.tariff) << (r.problems.empty() ? "" : r.problems[0].text());
    EXPECT_EQ(tariff::write(*r.tariff), example);

    const tariff::Terms& t = r.tariff->terms();
    ASSERT_TRUE(t.creditor);
    EXPECT_EQ(t.creditor->kind, tariff::Creditor::Kind::ifn);
    EXPECT_EQ(t.creditor->registry, "RG-PJR-00-000000");
    EXPECT_EQ(t.information_valid_days, 15);
    ASSERT_EQ(t.legal_limits.size(), 3U);
    EXPECT_EQ(t.legal_limits[0].measure, LegalLimit::Measure::dae);
    EXPECT_EQ(t.legal_limits[0].credit_min, 25000.01);
    EXPECT_FALSE(t.legal_limits[0].credit_max);
    EXPECT_EQ(t.legal_limits[1].measure, LegalLimit::Measure::daily_cost);
    EXPECT_EQ(t.legal_limits[2].measure, LegalLimit::Measure::payable_ratio);
    EXPECT_EQ(t.legal_limits[2].max, 2);
    // Apart from the law's part it is the built-in product.
    tariff::Terms product = t;
    product.creditor.reset();
    product.late_payment.reset();
    product.early_repayment.reset();
    product.information_valid_days.reset();
    product.legal_limits.clear();
    EXPECT_EQ(product, tariff::builtIn().terms());
}

// Each block alone makes the second version; all of them gone, the first version is written again.
TEST(TariffLegalTerms, VersionWrittenFollowsTheBlocksHeld) {
    const std::vector<std::function<void(json&)>> oneBlock = {
        [](json& d) { d["late_payment"] = "x"; },
        [](json& d) { d["information_valid_days"] = 1; },
        [](json& d) { d["early_repayment"] = json::object(); },
        [](json& d) {
            d["creditor"] = {{"name", "N"}, {"kind", "banca"}, {"address", "A"}};
        },
        [](json& d) {
            d["legal_limits"] = json::array({{{"name", "L"}, {"dae_max", 0}}});
        },
        [](json& d) { d["insurance"][3]["compulsory"] = true; },
    };
    const json base = json::parse(fileText(SIMCREDIT_EXAMPLE_TARIFF));
    for (std::size_t i = 0; i < oneBlock.size(); ++i) {
        SCOPED_TRACE(i);
        json doc = base;
        doc["version"] = 2;
        oneBlock[i](doc);
        const tariff::ReadResult r = tariff::read(doc.dump());
        ASSERT_TRUE(r.tariff) << r.problems[0].text();
        const std::string written = tariff::write(*r.tariff);
        EXPECT_NE(written.find("\"version\": 2,"), std::string::npos);
        const tariff::ReadResult again = tariff::read(written);
        ASSERT_TRUE(again.tariff);
        EXPECT_EQ(again.tariff->terms(), r.tariff->terms());
    }
    // A second-version file that holds none of them, or only what is the default, is the
    // built-in tariff and is written as the first version.
    json plain = base;
    plain["version"] = 2;
    plain["legal_limits"] = json::array();
    plain["insurance"][0]["compulsory"] = false;
    const tariff::ReadResult r = tariff::read(plain.dump());
    ASSERT_TRUE(r.tariff);
    EXPECT_EQ(tariff::write(*r.tariff), fileText(SIMCREDIT_EXAMPLE_TARIFF));
}

TEST(TariffLegalTerms, EarlyRepaymentDefaultsWhenLeftOut) {
    const tariff::EarlyRepayment usual = tariff::builtIn()->earlyRepayment();
    EXPECT_EQ(usual.compensation, 0.01);
    EXPECT_EQ(usual.compensation_last_year, 0.005);
    EXPECT_EQ(usual.granting_commission_refund, tariff::EarlyRepayment::Refund::linear);

    json doc = json::parse(fileText(SIMCREDIT_LENDER_TARIFF));
    doc["early_repayment"] = {{"compensation_last_year", 0},
                              {"granting_commission_refund", "none"}};
    const tariff::ReadResult r = tariff::read(doc.dump());
    ASSERT_TRUE(r.tariff);
    const tariff::EarlyRepayment e = r.tariff->terms().earlyRepayment();
    EXPECT_EQ(e.compensation, 0.01);
    EXPECT_EQ(e.compensation_last_year, 0);
    EXPECT_EQ(e.granting_commission_refund, tariff::EarlyRepayment::Refund::none);
}

// A first-version file means what it always meant: the law's keys are unknown there.
TEST(TariffLegalTerms, FirstVersionRefusesTheNewKeys) {
    const auto problems = problemsAfter(SIMCREDIT_EXAMPLE_TARIFF, [](json& d) {
        d["creditor"] = {{"name", "N"}, {"kind", "ifn"}, {"address", "A"}};
        d["legal_limits"] = json::array();
        d["insurance"][1]["compulsory"] = true;
    });
    EXPECT_EQ(problems,
              (std::vector<std::string>{"/creditor: unknown key", "/legal_limits: unknown key",
                                        "/insurance/1/compulsory: unknown key"}));
}

struct Check {
    const char* what;
    std::function<void(json&)> edit;
    std::vector<std::string> problems;
};

TEST(TariffLegalTerms, EveryCheckWithItsPointer) {
    const std::string over120(121, 'a');
    const std::vector<Check> checks = {
        {"creditor's missing keys",
         [](json& d) { d["creditor"] = json::object(); },
         {"/creditor/name: missing", "/creditor/kind: missing", "/creditor/address: missing"}},
        {"creditor not an object",
         [](json& d) { d["creditor"] = "Omnira"; },
         {"/creditor: must be an object (got a string)"}},
        {"creditor's kind",
         [](json& d) { d["creditor"]["kind"] = "IFN"; },
         {"/creditor/kind: must be \"ifn\" or \"banca\""}},
        {"creditor's long name",
         [&](json& d) { d["creditor"]["name"] = over120; },
         {"/creditor/name: must be 1 to 120 characters long (got 121)"}},
        {"creditor's empty address",
         [](json& d) { d["creditor"]["address"] = ""; },
         {"/creditor/address: must be 1 to 200 characters long (got 0)"}},
        {"creditor's address of 200 characters",
         [](json& d) { d["creditor"]["address"] = std::string(200, 'a'); },
         {}},
        {"creditor's long registry",
         [](json& d) { d["creditor"]["registry"] = std::string(61, 'R'); },
         {"/creditor/registry: must be 1 to 60 characters long (got 61)"}},
        {"creditor's control character",
         [](json& d) { d["creditor"]["phone"] = "021\n000"; },
         {"/creditor/phone: must not contain control characters"}},
        {"creditor's unknown key",
         [](json& d) { d["creditor"]["fax"] = "1"; },
         {"/creditor/fax: unknown key"}},
        {"late payment empty",
         [](json& d) { d["late_payment"] = ""; },
         {"/late_payment: must be 1 to 400 characters long (got 0)"}},
        {"late payment too long",
         [](json& d) { d["late_payment"] = std::string(401, 'x'); },
         {"/late_payment: must be 1 to 400 characters long (got 401)"}},
        {"early share above 1 %",
         [](json& d) { d["early_repayment"]["compensation"] = 0.02; },
         {"/early_repayment/compensation: must not be above 0.01 (got 0.02)"}},
        {"early share negative",
         [](json& d) { d["early_repayment"]["compensation_last_year"] = -0.001; },
         {"/early_repayment/compensation_last_year: must not be negative (got -0.001)"}},
        {"early refund",
         [](json& d) { d["early_repayment"]["granting_commission_refund"] = "all"; },
         {"/early_repayment/granting_commission_refund: must be \"linear\" or \"none\""}},
        {"refund not a text",
         [](json& d) { d["early_repayment"]["granting_commission_refund"] = false; },
         {"/early_repayment/granting_commission_refund: must be \"linear\" or \"none\""}},
        {"validity of 0 days",
         [](json& d) { d["information_valid_days"] = 0; },
         {"/information_valid_days: must be a whole number from 1 to 90 (got 0)"}},
        {"validity of 91 days",
         [](json& d) { d["information_valid_days"] = 91; },
         {"/information_valid_days: must be a whole number from 1 to 90 (got 91)"}},
        {"validity not whole",
         [](json& d) { d["information_valid_days"] = 14.5; },
         {"/information_valid_days: must be a whole number from 1 to 90 (got 14.5)"}},
        {"validity of 90 days", [](json& d) { d["information_valid_days"] = 90; }, {}},
        {"compulsory not a boolean",
         [](json& d) { d["insurance"][1]["compulsory"] = 1; },
         {"/insurance/1/compulsory: must be true or false (got a number)"}},
        {"limits not an array",
         [](json& d) { d["legal_limits"] = json::object(); },
         {"/legal_limits: must be an array (got an object)"}},
        {"seventeen limits",
         [](json& d) {
             for (int k = 3; k < 17; ++k) {
                 d["legal_limits"].push_back({{"name", "L"}, {"dae_max", 1}});
             }
         },
         {"/legal_limits: must hold at most 16 limits (got 17)"}},
        {"limit without a measure",
         [](json& d) { d["legal_limits"][1].erase("daily_cost_max"); },
         {"/legal_limits/1: must hold exactly one of dae_max, daily_cost_max and "
          "payable_ratio_max (got 0)"}},
        {"limit with two measures",
         [](json& d) { d["legal_limits"][0]["payable_ratio_max"] = 2; },
         {"/legal_limits/0: must hold exactly one of dae_max, daily_cost_max and "
          "payable_ratio_max (got 2)"}},
        {"limit's name missing",
         [](json& d) { d["legal_limits"][2].erase("name"); },
         {"/legal_limits/2/name: missing"}},
        {"limit's long name",
         [](json& d) { d["legal_limits"][2]["name"] = std::string(81, 'n'); },
         {"/legal_limits/2/name: must be 1 to 80 characters long (got 81)"}},
        {"limit's name with a control character",
         [](json& d) { d["legal_limits"][2]["name"] = "DAE\u0085"; },
         {"/legal_limits/2/name: must not contain control characters"}},
        {"limit's bounds crossed",
         [](json& d) { d["legal_limits"][0]["credit_max"] = 25000; },
         {"/legal_limits/0/credit_min: must not be above credit_max (got 25000.01, credit_max "
          "25000)"}},
        {"limit's negative bound",
         [](json& d) { d["legal_limits"][1]["credit_max"] = -1; },
         {"/legal_limits/1/credit_max: must not be negative (got -1)"}},
        {"negative DAE ceiling",
         [](json& d) { d["legal_limits"][0]["dae_max"] = -0.1; },
         {"/legal_limits/0/dae_max: must not be negative (got -0.1)"}},
        {"DAE ceiling not a number",
         [](json& d) { d["legal_limits"][0]["dae_max"] = "34.5%"; },
         {"/legal_limits/0/dae_max: must be a number (got a string)"}},
        {"negative daily cost",
         [](json& d) { d["legal_limits"][1]["daily_cost_max"] = -1e-9; },
         {"/legal_limits/1/daily_cost_max: must not be negative (got -1e-09)"}},
        {"payable ratio below 1",
         [](json& d) { d["legal_limits"][2]["payable_ratio_max"] = 0.99; },
         {"/legal_limits/2/payable_ratio_max: must be at least 1 (got 0.99)"}},
        {"payable ratio of 1 and a DAE ceiling above 100 %",
         [](json& d) {
             d["legal_limits"][2]["payable_ratio_max"] = 1;
             d["legal_limits"][0]["dae_max"] = 3;
         },
         {}},
        {"limit's unknown key",
         [](json& d) { d["legal_limits"][0]["cost_max"] = 1; },
         {"/legal_limits/0/cost_max: unknown key"}},
    };
    for (const Check& c : checks) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(problemsAfter(SIMCREDIT_LENDER_TARIFF, c.edit), c.problems);
    }
}

TEST(TariffLegalTerms, EveryProblemOfEveryBlockAtOnce) {
    const auto problems = problemsAfter(SIMCREDIT_LENDER_TARIFF, [](json& d) {
        d["creditor"]["kind"] = 1;
        d["early_repayment"]["compensation"] = 1;
        d["information_valid_days"] = "15";
        d["legal_limits"][1] = 5;
        d["legal_limits"][2]["payable_ratio_max"] = 0;
    });
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "/creditor/kind: must be \"ifn\" or \"banca\"",
                            "/early_repayment/compensation: must not be above 0.01 (got 1)",
                            "/information_valid_days: must be a number (got a string)",
                            "/legal_limits/1: must be an object (got a number)",
                            "/legal_limits/2/payable_ratio_max: must be at least 1 (got 0)",
                        }));
}

TEST(TariffLegalTerms, LimitsApplyWithinTheirInclusiveBounds) {
    const LegalLimit both{.name = "L", .credit_min = 1000, .credit_max = 5000};
    EXPECT_FALSE(both.applies(999.99));
    EXPECT_TRUE(both.applies(1000));
    EXPECT_TRUE(both.applies(5000));
    EXPECT_FALSE(both.applies(5000.01));
    const LegalLimit none{.name = "L"};
    EXPECT_TRUE(none.applies(0));
    EXPECT_TRUE(none.applies(1e9));
}

} // namespace
