#include "batch/batch.h"
#include "tests/support/batch_run.h"
#include "tests/support/sessions.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <random>
#include <sstream>
#include <string>
#include <vector>

// The `variants` action end to end: each row equals the snapshot the tool writes after
// `set tbdurcred D` in the same session, and the action changes nothing that a later snapshot
// could see.
namespace {

using core::Control;
using nlohmann::json;

std::string run(const std::string& script, int expectedStatus = batch::ok) {
    const testsupport::BatchRun r = testsupport::runScript(script);
    EXPECT_EQ(r.status, expectedStatus) << r.err;
    return r.out;
}

using testsupport::lines;

std::string script(const std::vector<testsupport::Action>& session) {
    std::string out;
    for (const testsupport::Action& a : session) {
        switch (a.kind) {
        case testsupport::Action::set:
            out += "set " + std::string(ui::controlName(a.control)) + ' ' + a.text + '\n';
            break;
        case testsupport::Action::select:
            out += "select cbasig " + std::to_string(a.position) + '\n';
            break;
        case testsupport::Action::click:
            out += "click " + std::string(ui::controlName(a.control)) + '\n';
            break;
        }
    }
    return out;
}

// The verdict the contract gives: the panels first, then whether the schedule may be offered.
std::string verdictOf(const json& controls, const json& schedule) {
    if (controls["Eroare"]["visible"].get<bool>()) {
        return "limit";
    }
    if (controls["Frame6"]["visible"].get<bool>()) {
        return "refused";
    }
    return schedule["schedule"]["valid"].get<bool>() ? "accepted" : "no_offer";
}

TEST(BatchVariants, EachRowIsTheSnapshotAfterSettingItsDuration) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 60; ++round) {
        const std::string session =
            script(testsupport::randomSession(rng, 1 + static_cast<int>(rng() % 10)));
        SCOPED_TRACE(session);
        const auto out = lines(run(session + "snapshot\nvariants\nsnapshot\n"));
        ASSERT_EQ(out.size(), 3U);
        // Nothing seen by the next snapshot: no recalculation, no message box, no change.
        const json before = json::parse(out[0]);
        json after = json::parse(out[2]);
        EXPECT_EQ(after["messages"], json::array());
        after["messages"] = before["messages"];
        EXPECT_EQ(after, before);
        // The message boxes of the session stay for the next snapshot, byte for byte.
        const auto without = lines(run(session + "snapshot\n"));
        const auto with = lines(run(session + "variants\nsnapshot\n"));
        ASSERT_EQ(with.size(), 2U);
        EXPECT_EQ(with[1], without.at(0));

        const json variants = json::parse(out[1])["variants"];
        const double durata = before["state"]["durata"].get<double>();
        int current = 0;
        for (const json& row : variants["rows"]) {
            // The extra row's text is the duration as the window writes numbers; the listed
            // ones and every whole duration are their plain digits.
            const double d = row["duration"].get<double>();
            const std::string text =
                d == static_cast<int>(d)
                    ? std::to_string(static_cast<int>(d))
                    : before["controls"]["tbdurcred"]["text"].get<std::string>();
            if (d != static_cast<int>(d) && text != "24.5" && text != "47.5") {
                continue; // a text such as "12.50" is not what number-to-text writes
            }
            SCOPED_TRACE("duration " + text);
            std::string then = session;
            then += "set tbdurcred ";
            then += text;
            then += "\nsnapshot\nschedule\n";
            const auto replayed = lines(run(then));
            const json shown = json::parse(replayed.at(0));
            const json& c = shown["controls"];
            EXPECT_EQ(row["verdict"], verdictOf(c, json::parse(replayed.at(1))));
            for (const char* box : {"tbdob", "bnr", "tbsumacc"}) {
                EXPECT_EQ(row[box], c[box]["text"]) << box;
            }
            for (const char* label : {"lbrata", "lbdobaferenta", "lbdae"}) {
                EXPECT_EQ(row[label], c[label]["caption"]) << label;
            }
            for (const char* figure : {"dobanda", "rataluna", "daeval"}) {
                EXPECT_EQ(row[figure], shown["state"][figure]) << figure;
            }
            EXPECT_EQ(row["current"].get<bool>(), d == durata);
            current += row["current"].get<bool>() ? 1 : 0;
        }
        EXPECT_EQ(current, 1);
    }
}

TEST(BatchVariants, RowsAndAnswersAsOneLine) {
    const std::string customer =
        "set vn 3000\nset ar 350\nset tbvp 2000\nset tbavans 500\nset tbdurcred 48\n";
    const auto out = lines(run(customer + "variants\n"));
    ASSERT_EQ(out.size(), 1U);
    const json v = json::parse(out[0]);
    ASSERT_EQ(v.size(), 1U);
    const json& body = v["variants"];
    EXPECT_EQ(body["min_down_payment"], 0);
    EXPECT_EQ(body["min_duration"], 6);
    EXPECT_EQ(body["max_duration"], 60);
    EXPECT_EQ(body["max_product_value"], 24504);
    ASSERT_EQ(body["rows"].size(), 11U);
    EXPECT_EQ(body["rows"][8]["current"], true);

    const json between = json::parse(
        lines(run(customer + "set tbdurcred 45.5\nvariants\n")).at(0))["variants"]["rows"];
    ASSERT_EQ(between.size(), 12U);
    EXPECT_EQ(between[8]["duration"], 45.5);
    EXPECT_EQ(between[8]["current"], true);
    EXPECT_EQ(between[8]["dobanda"], 0.09);
    EXPECT_EQ(between[9]["duration"], 48);
    // Keys in the documented order, numbers as JSON integers.
    EXPECT_EQ(out[0].rfind("{\"variants\":{\"rows\":[{\"duration\":6,\"current\":false,"
                           "\"verdict\":\"accepted\",\"tbdob\":\" 16.70%\",\"lbrata\":",
                           0),
              0U);
    EXPECT_NE(out[0].find("],\"min_down_payment\":0,\"min_duration\":6,\"max_duration\":60,"
                          "\"max_product_value\":24504}}"),
              std::string::npos);

    const json none = json::parse(
        lines(run("set vn 300\nset ar 500\nset tbvp 5000\nvariants\n")).at(0))["variants"];
    for (const char* key :
         {"min_down_payment", "min_duration", "max_duration", "max_product_value"}) {
        EXPECT_TRUE(none[key].is_null()) << key;
    }
}

TEST(BatchVariants, TakesNoOperand) {
    const testsupport::BatchRun r = testsupport::runScript("variants now\n");
    EXPECT_EQ(r.status, batch::malformed);
    EXPECT_EQ(r.err, "line 1: variants takes no operand\n");
}

} // namespace
