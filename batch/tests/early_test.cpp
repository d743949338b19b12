// The batch tool's early action: what it writes, what it leaves alone and which lines it refuses.

#include "batch/batch.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

struct Outcome {
    int status = 0;
    std::vector<std::string> lines;
    std::string err;
};

Outcome script(const std::string& text) {
    std::istringstream in(text);
    std::ostringstream out;
    std::ostringstream err;
    Outcome o;
    o.status = batch::runScript(in, out, err);
    std::istringstream written(out.str());
    for (std::string line; std::getline(written, line);) {
        o.lines.push_back(line);
    }
    o.err = err.str();
    return o;
}

const std::string customer = "type tbvp 2000\ntype tbavans 200\nerase tbdurcred 2\n"
                             "type tbdurcred 24\nselect cbasig 1\n";

std::vector<std::string> keys(const nlohmann::ordered_json& object) {
    std::vector<std::string> out;
    for (const auto& item : object.items()) {
        out.push_back(item.key());
    }
    return out;
}

TEST(EarlyAction, ChangesNothingTheNextSnapshotShows) {
    // A duration that raises a message box: the box stays for the snapshot after the action.
    const Outcome plain = script(customer + "type tbdurcred 0\nsnapshot\n");
    const Outcome asked = script(customer + "early 6 total\ntype tbdurcred 0\nearly 6 rata 100\n"
                                            "early 6 durata 100\nsnapshot\n");
    ASSERT_EQ(asked.status, batch::ok) << asked.err;
    ASSERT_EQ(asked.lines.size(), 4U);
    EXPECT_EQ(asked.lines[3], plain.lines.at(0));
}

TEST(EarlyAction, KeysInOrderForEveryAnswer) {
    const Outcome run = script(customer + "early 12 rata 1000\nearly 12 total\nearly 24 total\n"
                                          "early 12 durata 5000\n");
    ASSERT_EQ(run.status, batch::ok) << run.err;
    ASSERT_EQ(run.lines.size(), 4U);
    const std::vector<std::string> order = {"valid",
                                            "reason",
                                            "month",
                                            "mode",
                                            "balance",
                                            "amount",
                                            "compensation_rate",
                                            "compensation",
                                            "interest_left",
                                            "refund",
                                            "pay_today",
                                            "instalment",
                                            "months",
                                            "future_total",
                                            "saving"};
    for (const std::string& line : run.lines) {
        SCOPED_TRACE(line);
        const auto j = nlohmann::ordered_json::parse(line);
        ASSERT_EQ(keys(j), std::vector<std::string>{"early"});
        EXPECT_EQ(keys(j["early"]), order);
    }

    const json part = json::parse(run.lines[0])["early"];
    EXPECT_EQ(part["amount"], 1000);
    ASSERT_EQ(part["months"].size(), 12U);
    EXPECT_EQ(part["months"][0]["month"], 1);
    EXPECT_EQ(part["instalment"], part["months"][0]["instalment"]);

    const json whole = json::parse(run.lines[1])["early"];
    EXPECT_EQ(whole["valid"], true);
    EXPECT_EQ(whole["amount"], whole["balance"]);
    EXPECT_TRUE(whole["instalment"].is_null());
    EXPECT_EQ(whole["months"], json::array());
    EXPECT_EQ(whole["future_total"], 0);

    const json late = json::parse(run.lines[2])["early"];
    EXPECT_EQ(late["valid"], false);
    EXPECT_EQ(late["month"], 24);
    EXPECT_EQ(late["mode"], "total");
    EXPECT_TRUE(late["amount"].is_null());
    EXPECT_TRUE(late["balance"].is_null());
    EXPECT_TRUE(late["saving"].is_null());
    EXPECT_FALSE(late["reason"].get<std::string>().empty());

    const json tooMuch = json::parse(run.lines[3])["early"];
    EXPECT_EQ(tooMuch["valid"], false);
    EXPECT_EQ(tooMuch["amount"], 5000); // as asked
    EXPECT_EQ(tooMuch["mode"], "durata");
    EXPECT_EQ(tooMuch["months"], json::array());
}

TEST(EarlyAction, WithoutAnOfferGivesTheReason) {
    const Outcome run = script("early 3 rata 100\n");
    ASSERT_EQ(run.status, batch::ok) << run.err;
    const json j = json::parse(run.lines.at(0))["early"];
    EXPECT_EQ(j["valid"], false);
    EXPECT_EQ(j["reason"], "Valoarea produsului nu este completata.");
    EXPECT_EQ(j["month"], 3);
    EXPECT_EQ(j["amount"], 100);
}

TEST(EarlyAction, NumbersThatCannotBeReadAreMalformed) {
    const std::vector<std::string> lines = {"early",
                                            "early 12",
                                            "early x total",
                                            "early 1.5 total",
                                            "early 12 total 5",
                                            "early 12 total ",
                                            "early 12 partial",
                                            "early 12 rata",
                                            "early 12 rata 1e3",
                                            "early 12 rata 1,5",
                                            "early 12 rata nan",
                                            "early 12 rata inf",
                                            "early 12 rata .5",
                                            "early 12 rata 5.",
                                            "early 12 rata +5",
                                            "early 12  rata 5",
                                            "early 12 durata 5 6",
                                            "early 99999999999999999999 total"};
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        const Outcome run = script("snapshot\n" + line + "\nsnapshot\n");
        EXPECT_EQ(run.status, batch::malformed);
        EXPECT_EQ(run.lines.size(), 1U);
        EXPECT_EQ(run.err.rfind("line 2: ", 0), 0U) << run.err;
    }
    // What reads as a number is answered, in range or not.
    for (const std::string line : {"early -1 total", "early 0 rata -5", "early 3 durata 0",
                                   "early 3 rata 0.0", "early 3 rata 12"}) {
        SCOPED_TRACE(line);
        const Outcome run = script(line + "\n");
        EXPECT_EQ(run.status, batch::ok) << run.err;
        EXPECT_EQ(json::parse(run.lines.at(0))["early"]["valid"], false);
    }
}

} // namespace
