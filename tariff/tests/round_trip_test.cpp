#include "tariff/read.h"
#include "tariff/write.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

// Each field of a tariff, changed alone, must reach the terms and come back from the writer: a
// field the reader skips leaves the terms equal to the lender's, one the writer drops reads back
// as the lender's again.
namespace {

using nlohmann::json;

json lenderFile() {
    std::ifstream in(SIMCREDIT_LENDER_TARIFF, std::ios::binary);
    return json::parse(std::string(std::istreambuf_iterator<char>(in), {}));
}

struct Change {
    const char* what;
    std::function<void(json&)> edit;
};

void set(json& d, const char* pointer, json value) {
    d[json::json_pointer(pointer)] = std::move(value);
}

void erase(json& d, const char* parent, const char* key) {
    d[json::json_pointer(parent)].erase(key);
}

// One change per field, for each part of the terms in the order they are held.
const std::vector<Change>& changes() {
    static const std::vector<Change> all = {
        {"name", [](json& d) { set(d, "/name", "Tarif toamna"); }},
        {"valid_from left out", [](json& d) { d.erase("valid_from"); }},
        {"valid_from", [](json& d) { set(d, "/valid_from", "2027-01-01"); }},
        {"lender title", [](json& d) { set(d, "/lender/title", "Credit Nord"); }},
        {"lender heading", [](json& d) { set(d, "/lender/heading", "NORD"); }},
        {"credit ceiling", [](json& d) { set(d, "/credit/ceiling", 29000); }},
        {"credit minimum", [](json& d) { set(d, "/credit/minimum", 600); }},
        {"duration minimum", [](json& d) { set(d, "/duration/minimum", 7); }},
        {"duration maximum", [](json& d) { set(d, "/duration/maximum", 59); }},
        {"duration guard", [](json& d) { set(d, "/duration/guard", 540); }},
        {"duration after_guard", [](json& d) { set(d, "/duration/after_guard", 59); }},
        {"granting rate", [](json& d) { set(d, "/granting_commission/rate", 0.08); }},
        {"granting minimum", [](json& d) { set(d, "/granting_commission/minimum", 10); }},
        {"an insurance item less", [](json& d) { d["insurance"].erase(3); }},
        {"insurance name", [](json& d) { set(d, "/insurance/1/name", "Plus"); }},
        {"insurance rate", [](json& d) { set(d, "/insurance/1/monthly_rate", 0.005); }},
        {"insurance compulsory", [](json& d) { set(d, "/insurance/1/compulsory", true); }},
        {"initial direct debit",
         [](json& d) { set(d, "/management_commission/initial/direct_debit", 0.014); }},
        {"initial cash", [](json& d) { set(d, "/management_commission/initial/cash", 0.016); }},
        {"a band less", [](json& d) { d["management_commission"]["bands"].erase(2); }},
        {"band credit_min",
         [](json& d) { set(d, "/management_commission/bands/0/credit_min", 520); }},
        {"band credit_max",
         [](json& d) { set(d, "/management_commission/bands/0/credit_max", 29000); }},
        {"band duration_min",
         [](json& d) { set(d, "/management_commission/bands/0/duration_min", 7); }},
        {"band duration_max",
         [](json& d) { set(d, "/management_commission/bands/0/duration_max", 46); }},
        {"band direct debit",
         [](json& d) { set(d, "/management_commission/bands/0/direct_debit", 0.014); }},
        {"band cash", [](json& d) { set(d, "/management_commission/bands/0/cash", 0.016); }},
        {"a rule less", [](json& d) { d["interest"].erase(4); }},
        {"rule duration_min", [](json& d) { set(d, "/interest/0/duration_min", 7); }},
        {"rule duration_max", [](json& d) { set(d, "/interest/0/duration_max", 11); }},
        {"rule credit_min", [](json& d) { set(d, "/interest/3/credit_min", 520); }},
        {"rule credit_above", [](json& d) { set(d, "/interest/0/credit_above", 520); }},
        {"rule credit_max", [](json& d) { set(d, "/interest/1/credit_max", 29000); }},
        {"rule credit_below", [](json& d) { set(d, "/interest/0/credit_below", 30000); }},
        {"rule rate", [](json& d) { set(d, "/interest/0/rate", 0.15); }},
        {"indebtedness limit", [](json& d) { set(d, "/indebtedness_limit", 0.4); }},
        {"creditor left out", [](json& d) { d.erase("creditor"); }},
        {"creditor name", [](json& d) { set(d, "/creditor/name", "Nord IFN S.A."); }},
        {"creditor kind", [](json& d) { set(d, "/creditor/kind", "banca"); }},
        {"creditor address", [](json& d) { set(d, "/creditor/address", "Str. Nord 2"); }},
        {"creditor phone", [](json& d) { set(d, "/creditor/phone", "021 111 1111"); }},
        {"creditor email left out", [](json& d) { erase(d, "/creditor", "email"); }},
        {"creditor web", [](json& d) { set(d, "/creditor/web", "www.nord.example"); }},
        {"creditor registry", [](json& d) { set(d, "/creditor/registry", "RG-1"); }},
        {"late payment", [](json& d) { set(d, "/late_payment", "Fara penalitati."); }},
        {"late payment left out", [](json& d) { d.erase("late_payment"); }},
        {"early repayment left out", [](json& d) { d.erase("early_repayment"); }},
        {"compensation", [](json& d) { set(d, "/early_repayment/compensation", 0.009); }},
        {"compensation last year",
         [](json& d) { set(d, "/early_repayment/compensation_last_year", 0.004); }},
        {"refund", [](json& d) { set(d, "/early_repayment/granting_commission_refund", "none"); }},
        {"valid days", [](json& d) { set(d, "/information_valid_days", 30); }},
        {"valid days left out", [](json& d) { d.erase("information_valid_days"); }},
        {"a limit less", [](json& d) { d["legal_limits"].erase(2); }},
        {"limit name", [](json& d) { set(d, "/legal_limits/0/name", "DAE maxima"); }},
        {"limit credit_min", [](json& d) { set(d, "/legal_limits/1/credit_min", 100); }},
        {"limit credit_max", [](json& d) { set(d, "/legal_limits/0/credit_max", 90000); }},
        {"limit measure",
         [](json& d) {
             erase(d, "/legal_limits/0", "dae_max");
             set(d, "/legal_limits/0/daily_cost_max", 0.345);
         }},
        {"limit max", [](json& d) { set(d, "/legal_limits/0/dae_max", 0.3); }},
    };
    return all;
}

TEST(TariffRoundTrip, EveryFieldChangedAloneIsReadAndWrittenBack) {
    const tariff::ReadResult lender = tariff::read(lenderFile().dump());
    ASSERT_TRUE(lender.tariff);
    for (const Change& change : changes()) {
        SCOPED_TRACE(change.what);
        json doc = lenderFile();
        change.edit(doc);
        const tariff::ReadResult changed = tariff::read(doc.dump());
        ASSERT_TRUE(changed.tariff) << changed.problems.front().text();
        EXPECT_NE(changed.tariff->terms(), lender.tariff->terms());
        const std::string written = tariff::write(*changed.tariff);
        const tariff::ReadResult again = tariff::read(written);
        ASSERT_TRUE(again.tariff) << again.problems.front().text() << "\n" << written;
        EXPECT_EQ(again.tariff->terms(), changed.tariff->terms()) << written;
        EXPECT_NE(written, tariff::write(*lender.tariff));
    }
}

} // namespace
