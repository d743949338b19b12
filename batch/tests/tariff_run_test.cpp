#include "batch/batch.h"
#include "tariff/read.h"
#include "tests/support/batch_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

tariff::Tariff load(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    tariff::ReadResult r = tariff::read(text);
    EXPECT_TRUE(r.problems.empty()) << r.problems.front().text();
    return *r.tariff;
}

// What the tool writes on both streams, in that order.
std::string runScript(const std::string& text, const tariff::Tariff& tarif, int* status = nullptr) {
    const testsupport::BatchRun r = testsupport::runScript(text, tarif);
    if (status != nullptr) {
        *status = r.status;
    }
    return r.out + r.err;
}

std::string runTable(const std::string& text, const tariff::Tariff& tarif) {
    const testsupport::BatchRun r = testsupport::runTable(text, tarif);
    return r.out + r.err;
}

// A session of an agent typing at random, with durations around the guard and the limits.
std::string randomSession(std::mt19937& engine) {
    const auto pick = [&](std::vector<std::string> options) {
        return options[std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(engine)];
    };
    std::string script;
    for (int k = 0; k < 25; ++k) {
        const std::string box = pick({"vn", "ar", "ad", "tbvp", "tbavans", "tbdurcred"});
        const std::string action = pick({"set", "type", "erase", "select", "click", "snapshot"});
        if (action == "set" || action == "type") {
            script.append(action).append(" ").append(box).append(" ");
            script.append(
                pick({"",        "0",    "1",       "5.9",   "6",   "12",  "12.5", "24",  "47.5",
                      "48",      "60",   "60.5",    "200",   "510", "550", "551",  "601", "2000",
                      "3999.99", "4000", "27598.9", "30000", "-5",  "1e3", "abc"}));
        } else if (action == "erase") {
            script.append("erase ").append(box).append(" ").append(pick({"1", "2", "9"}));
        } else if (action == "select") {
            script.append("select cbasig ").append(pick({"0", "1", "2", "3"}));
        } else if (action == "click") {
            script.append("click ").append(pick({"Check1", "Check2"}));
        }
        if (action != "snapshot") {
            script += '\n';
        }
        script += "snapshot\n";
    }
    return script;
}

// With the example tariff file the tool writes what it writes with no file, byte for byte.
TEST(BatchTariff, ExampleFileGivesTheBuiltInOutput) {
    const tariff::Tariff example = load(SIMCREDIT_EXAMPLE_TARIFF);
    std::mt19937 engine(2026);
    for (int session = 0; session < 40; ++session) {
        const std::string script = randomSession(engine);
        SCOPED_TRACE(script);
        const std::string builtIn = runScript(script, tariff::builtIn());
        EXPECT_EQ(runScript(script, example), builtIn);
    }
    const std::string rows = "vn,ar,ad,tbvp,tbavans,tbdurcred,cbasig,plata\n"
                             "3000,200,,2000,200,24,Standard,\n"
                             "1000,400,100,30000,0,551,3,Numerar\n"
                             ",,,4000,0,48,Senior,Debit Direct\n"
                             "9000,,,,,,Optim,\n";
    EXPECT_EQ(runTable(rows, example), runTable(rows, tariff::builtIn()));
}

class OtherTariff : public ::testing::Test {
protected:
    const tariff::Tariff nord = load(SIMCREDIT_NORD_TARIFF);

    json last(const std::string& script) {
        int status = 0;
        const std::string out = runScript(script + "snapshot\n", nord, &status);
        EXPECT_EQ(status, batch::ok) << out;
        return json::parse(out.substr(out.rfind('\n', out.size() - 2) + 1));
    }
};

TEST_F(OtherTariff, StartUpTakesTheTariffsParameters) {
    const json s = last("");
    const json& c = s["controls"];
    EXPECT_EQ(c["Form1"]["caption"], "Credit Nord");
    EXPECT_EQ(c["Label1"]["caption"], "NORD");
    EXPECT_EQ(c["tbdurcred"]["text"], "24"); // the longest duration
    EXPECT_EQ(c["cbasig"]["items"], json::array({"Nimic", "Complet"}));
    const json& st = s["state"];
    EXPECT_EQ(st["plafoncredit"], 10000);
    EXPECT_EQ(st["creditmin"], 1000);
    EXPECT_EQ(st["durmin"], 3);
    EXPECT_EQ(st["durmax"], 24);
    EXPECT_EQ(st["comacord"], 0.25);
    EXPECT_EQ(st["procasigstd"], 0.01);
    EXPECT_EQ(st["procasigoptim"], 0); // positions without an item
    EXPECT_EQ(st["procasigsenior"], 0);
    EXPECT_EQ(st["comgestdd"], 0.02); // no band held at start-up: the initial rates
    EXPECT_EQ(st["comgestnum"], 0.03);
    EXPECT_EQ(st["procasig"], 0.001); // position 0 has a rate of its own here
}

// 2000 less 200 plus 25 %: 2250. Over 20 months the second rule gives 0 % and no band holds, so
// the direct-debit rate is the initial 0.02. Half of the income less the other instalments:
// 1000 * 0.5 - 100 = 400; interest-free M = 400 / (1 / 20 + 0.02) = 5714.2857...; the ceiling
// 10000 / 1.25 = 8000 is above it, and the index is below 0.5: the largest value of goods is
// M + 200.
TEST_F(OtherTariff, GridLimitAndCommissionOfTheTariff) {
    const json s = last("set vn 1000\nset ar 100\nset tbvp 2000\nset tbavans 200\n"
                        "set tbdurcred 20\n");
    const json& st = s["state"];
    EXPECT_EQ(st["valoarecredit"], 2250);
    EXPECT_EQ(st["dobanda"], 0);
    EXPECT_EQ(st["comgestluna"], 0.02);
    EXPECT_NEAR(st["sumamax"].get<double>(), 400 / (1.0 / 20 + 0.02), 1e-9);
    EXPECT_EQ(s["controls"]["tbsumacc"]["text"], "5914.29");
    EXPECT_EQ(s["controls"]["Eroare"]["visible"], false);
    EXPECT_EQ(s["controls"]["Frame6"]["visible"], false);

    // 12 months: the first rule (2250 below 3000) and the band (1000 to 5000, up to 12 months).
    const json t = last("set vn 1000\nset ar 100\nset tbvp 2000\nset tbavans 200\n"
                        "set tbdurcred 12\nclick Check2\nselect cbasig 1\n");
    EXPECT_EQ(t["controls"]["tbdob"]["text"], " 20.00%");
    EXPECT_EQ(t["state"]["comgestdd"], 0.01);
    EXPECT_EQ(t["state"]["comgestluna"], 0.011);
    EXPECT_EQ(t["controls"]["lbcomisgest"]["caption"], "24.75"); // 2250 * 0.011
    EXPECT_EQ(t["state"]["procasig"], 0.01);
}

TEST_F(OtherTariff, LimitsAndTheirTexts) {
    const json s = last("set tbvp 9000\nset tbavans 200\nset tbdurcred 30\n");
    EXPECT_EQ(s["controls"]["Eroare"]["visible"], true);
    // The ceiling of the financed amount, 10000 / 1.25 = 8000, plus the down payment.
    EXPECT_EQ(s["controls"]["Label10"]["caption"],
              "Durata creditului este prea mare (Perioada maxima - 24 LUNI).\r\r"
              "Valoare produs prea mare (nu trebuie sa depaseasca 8 200.00 RON)");
    const json t = last("set tbvp 1000\nset tbavans 200\nset tbdurcred 2\n");
    EXPECT_EQ(t["controls"]["Label10"]["caption"],
              "Durata creditului este prea mica (Perioada minima - 3 LUNI).\r\r"
              "Valoare produs prea mica (Creditul minim este de 1000 RON)");
}

TEST_F(OtherTariff, DurationGuardOfTheTariff) {
    const json s = last("set tbdurcred 100\nsnapshot\nset tbdurcred 101\n");
    EXPECT_EQ(s["messages"].size(), 1U);
    EXPECT_EQ(s["controls"]["tbdurcred"]["text"], "12");
    EXPECT_EQ(s["state"]["durata"], 12);
}

TEST_F(OtherTariff, GrantingCommissionMinimum) {
    json doc = json::parse(std::ifstream(SIMCREDIT_NORD_TARIFF));
    doc["granting_commission"] = {{"rate", 0.1}, {"minimum", 500}};
    const tariff::Tariff withMinimum = *tariff::read(doc.dump()).tariff;
    const std::string out = runScript("set tbvp 2000\nset tbavans 200\nsnapshot\n", withMinimum);
    // 1800 * 0.1 = 180 is below the minimum of 500: 1800 + 500.
    EXPECT_EQ(json::parse(out)["state"]["valoarecredit"], 2300);
}

TEST_F(OtherTariff, ItemsAreTheTariffsInScriptAndTableMode) {
    int status = 0;
    EXPECT_EQ(runScript("select cbasig 2\n", nord, &status), "line 1: bad item number '2'\n");
    EXPECT_EQ(status, batch::malformed);
    const std::string out =
        runTable("tbvp,tbavans,tbdurcred,cbasig\n2000,200,12,Complet\n2000,200,12,1\n"
                 "2000,200,12,Standard\n",
                 nord);
    EXPECT_NE(out.find("line 4: unknown insurance 'Standard'"), std::string::npos) << out;
    std::istringstream lines(out);
    std::string header;
    std::string complet;
    std::string one;
    std::getline(lines, header);
    std::getline(lines, complet);
    std::getline(lines, one);
    EXPECT_EQ(complet.substr(complet.find(',', 13)), one.substr(one.find(',', 13)));
    EXPECT_NE(complet.find(" 20.00%"), std::string::npos) << complet;
}

} // namespace
