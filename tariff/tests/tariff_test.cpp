#include "tariff/read.h"
#include "tariff/write.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using nlohmann::json;
using tariff::Problem;

std::string exampleFile() {
    std::ifstream in(SIMCREDIT_EXAMPLE_TARIFF, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> problemsOf(std::string_view bytes) {
    const tariff::ReadResult r = tariff::read(bytes);
    EXPECT_EQ(r.tariff.has_value(), r.problems.empty());
    std::vector<std::string> texts;
    for (const Problem& p : r.problems) {
        texts.push_back(p.text());
    }
    return texts;
}

// The example with one change made by `edit`.
std::vector<std::string> problemsAfter(const std::function<void(json&)>& edit) {
    json doc = json::parse(exampleFile());
    edit(doc);
    return problemsOf(doc.dump());
}

TEST(TariffFile, ExampleIsTheBuiltInTariffWrittenOut) {
    const std::string example = exampleFile();
    ASSERT_FALSE(example.empty());
    const tariff::ReadResult r = tariff::read(example);
    ASSERT_TRUE(r.tariff) << (r.problems.empty() ? "" : r.problems[0].text());
    EXPECT_EQ(r.tariff->terms(), tariff::builtIn().terms());
    EXPECT_EQ(tariff::write(tariff::builtIn()), example);
}

// Every field changed, optional parts left out or given: what is written reads back the same.
TEST(TariffFile, WrittenTariffReadsBackTheSame) {
    json doc = json::parse(exampleFile());
    doc.erase("valid_from");
    doc["name"] = "Tarif \"vara\" / ăîșț";
    doc["lender"] = {{"title", "Credit Nord"}, {"heading", "NORD"}};
    doc["credit"] = {{"ceiling", 12345.678}, {"minimum", 0.1}};
    doc["duration"] = {{"minimum", 3}, {"maximum", 120.5}, {"guard", 600}, {"after_guard", 12.5}};
    doc["insurance"] = json::array({{{"name", "Doar una"}, {"monthly_rate", 0.1 + 0.2}}});
    doc["interest"] = json::array({{{"credit_below", 1e21}, {"rate", 0.999}}, {{"rate", 0}}});
    doc["management_commission"]["bands"] = json::array();
    const tariff::ReadResult first = tariff::read(doc.dump());
    ASSERT_TRUE(first.tariff);
    const std::string written = tariff::write(*first.tariff);
    const tariff::ReadResult again = tariff::read(written);
    ASSERT_TRUE(again.tariff);
    EXPECT_EQ(again.tariff->terms(), first.tariff->terms());
    EXPECT_EQ(tariff::write(*again.tariff), written);
    EXPECT_NE(written.find("\"monthly_rate\": 0.30000000000000004"), std::string::npos);
    EXPECT_EQ(again.tariff->terms().lender.heading, "NORD");
    EXPECT_EQ(again.tariff->label(), "Tarif \"vara\" / ăîșț");
    EXPECT_EQ(tariff::builtIn().label(), "Tarif standard (2026-12-01)");
}

TEST(TariffFile, LenderIsOptionalAndDefaultsToTheFormsCaptions) {
    json doc = json::parse(exampleFile());
    doc.erase("lender");
    const tariff::ReadResult r = tariff::read(doc.dump());
    ASSERT_TRUE(r.tariff);
    EXPECT_EQ(r.tariff->terms().lender.title, "Simulator Credit Omnira");
    EXPECT_EQ(r.tariff->terms().lender.heading, "CREDIT OMNIRA");
}

struct Check {
    const char* what;
    std::function<void(json&)> edit;
    std::vector<std::string> problems;
};

// Each check of the format with its exact message.
TEST(TariffFile, EveryCheckWithItsMessage) {
    const std::vector<Check> checks = {
        {"unknown key",
         [](json& d) { d["credit"]["ceilng"] = 1; },
         {"/credit/ceilng: unknown key"}},
        {"unknown key escaped", [](json& d) { d["a/b~"] = 1; }, {"/a~1b~0: unknown key"}},
        {"missing key",
         [](json& d) { d["duration"].erase("guard"); },
         {"/duration/guard: missing"}},
        {"missing part", [](json& d) { d.erase("interest"); }, {"/interest: missing"}},
        {"format",
         [](json& d) { d["format"] = "tarif"; },
         {"/format: must be \"simulator-credit-tarif\""}},
        {"version", [](json& d) { d["version"] = 3; }, {"/version: must be 1 or 2 (got 3)"}},
        {"rate of 1",
         [](json& d) { d["interest"][2]["rate"] = 1.5; },
         {"/interest/2/rate: must be below 1 (got 1.5)"}},
        {"negative rate",
         [](json& d) { d["granting_commission"]["rate"] = -0.01; },
         {"/granting_commission/rate: must not be negative (got -0.01)"}},
        {"rate 1 exactly",
         [](json& d) { d["indebtedness_limit"] = 1; },
         {"/indebtedness_limit: must be below 1 (got 1)"}},
        {"band rate",
         [](json& d) { d["management_commission"]["bands"][1]["cash"] = 3; },
         {"/management_commission/bands/1/cash: must be below 1 (got 3)"}},
        {"initial rate",
         [](json& d) { d["management_commission"]["initial"]["cash"] = "x"; },
         {"/management_commission/initial/cash: must be a number (got a string)"}},
        {"negative amount",
         [](json& d) { d["credit"]["minimum"] = -5; },
         {"/credit/minimum: must not be negative (got -5)"}},
        {"negative bound",
         [](json& d) { d["interest"][0]["credit_above"] = -1; },
         {"/interest/0/credit_above: must not be negative (got -1)"}},
        {"boolean amount",
         [](json& d) { d["credit"]["ceiling"] = true; },
         {"/credit/ceiling: must be a number (got a boolean)"}},
        {"minimum above maximum",
         [](json& d) { d["duration"]["minimum"] = 61; },
         {"/duration/minimum: must not be above maximum (got 61, maximum 60)"}},
        {"maximum above guard",
         [](json& d) { d["duration"]["guard"] = 59; },
         {"/duration/maximum: must not be above guard (got 60, guard 59)",
          "/duration/after_guard: must be from 1 to guard (got 60, guard 59)"}},
        {"guard above the schedule",
         [](json& d) { d["duration"]["guard"] = 601; },
         {"/duration/guard: must not be above 600, the months of the schedule (got 601)"}},
        {"after guard 0",
         [](json& d) { d["duration"]["after_guard"] = 0.5; },
         {"/duration/after_guard: must be from 1 to guard (got 0.5, guard 550)"}},
        {"after guard above",
         [](json& d) { d["duration"]["after_guard"] = 551; },
         {"/duration/after_guard: must be from 1 to guard (got 551, guard 550)"}},
        {"credit minimum above the ceiling is allowed",
         [](json& d) { d["credit"]["minimum"] = 30001; },
         {}},
        {"band bounds",
         [](json& d) { d["management_commission"]["bands"][2]["duration_min"] = 70; },
         {"/management_commission/bands/2/duration_min: must not be above duration_max (got "
          "70, duration_max 60)"}},
        {"rule bounds",
         [](json& d) { d["interest"][3]["credit_min"] = 4000; },
         {"/interest/3/credit_min: must not be above credit_max (got 4000, credit_max "
          "3999.99)"}},
        {"no insurance",
         [](json& d) { d["insurance"] = json::array(); },
         {"/insurance: must hold 1 to 8 items (got 0)"}},
        {"eight items, the most",
         [](json& d) {
             for (int k = 4; k < 8; ++k) {
                 d["insurance"].push_back({{"name", "N" + std::to_string(k)}, {"monthly_rate", 0}});
             }
         },
         {}},
        {"nine items",
         [](json& d) {
             for (int k = 4; k < 9; ++k) {
                 d["insurance"].push_back({{"name", "N" + std::to_string(k)}, {"monthly_rate", 0}});
             }
         },
         {"/insurance: must hold 1 to 8 items (got 9)"}},
        {"same name",
         [](json& d) { d["insurance"][3]["name"] = "Standard"; },
         {"/insurance/3/name: repeats the name of /insurance/1 (\"Standard\")"}},
        {"empty name",
         [](json& d) { d["insurance"][0]["name"] = ""; },
         {"/insurance/0/name: must be 1 to 40 characters long (got 0)"}},
        {"long name",
         [](json& d) { d["insurance"][0]["name"] = std::string(41, 'a'); },
         {"/insurance/0/name: must be 1 to 40 characters long (got 41)"}},
        {"control character",
         [](json& d) { d["insurance"][1]["name"] = "Sta\tndard"; },
         {"/insurance/1/name: must not contain control characters"}},
        {"C1 control character",
         [](json& d) { d["insurance"][1]["name"] = "Sta\u0085"; },
         {"/insurance/1/name: must not contain control characters"}},
        {"long tariff name",
         [](json& d) { d["name"] = std::string(81, 'x'); },
         {"/name: must be at most 80 characters long (got 81)"}},
        {"long title",
         [](json& d) { d["lender"]["title"] = std::string(81, 'x'); },
         {"/lender/title: must be at most 80 characters long (got 81)"}},
        {"lender's unknown key",
         [](json& d) { d["lender"]["logo"] = "x"; },
         {"/lender/logo: unknown key"}},
        {"not a date",
         [](json& d) { d["valid_from"] = "2026-02-29"; },
         {"/valid_from: must be a real date written YYYY-MM-DD (got \"2026-02-29\")"}},
        {"null amount",
         [](json& d) { d["credit"]["ceiling"] = nullptr; },
         {"/credit/ceiling: must be a number (got null)"}},
        {"name not a text",
         [](json& d) { d["name"] = 5; },
         {"/name: must be a string (got a number)"}},
        {"no format", [](json& d) { d.erase("format"); }, {"/format: missing"}},
        {"format not a text",
         [](json& d) { d["format"] = 2; },
         {"/format: must be \"simulator-credit-tarif\""}},
        // A version that is not the number 1 is checked as the latest: only the version is wrong.
        {"version as text",
         [](json& d) { d["version"] = "1"; },
         {"/version: must be a number (got a string)"}},
        {"no bands",
         [](json& d) { d["management_commission"].erase("bands"); },
         {"/management_commission/bands: missing"}},
        {"no initial rates",
         [](json& d) { d["management_commission"].erase("initial"); },
         {"/management_commission/initial: missing"}},
        {"after guard without a guard",
         [](json& d) {
             d["duration"].erase("guard");
             d["duration"]["after_guard"] = 0;
         },
         {"/duration/guard: missing", "/duration/after_guard: must be from 1 to guard (got 0)"}},
        {"wrong part type",
         [](json& d) { d["interest"] = json::object(); },
         {"/interest: must be an array (got an object)"}},
        {"wrong item type",
         [](json& d) { d["interest"][0] = 5; },
         {"/interest/0: must be an object (got a number)"}},
        {"not an object",
         [](json& d) { d = json::array(); },
         {"/: must be an object (got an array)"}},
    };
    for (const Check& c : checks) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(problemsAfter(c.edit), c.problems);
    }
}

TEST(TariffFile, EveryProblemAtOnce) {
    const auto problems = problemsAfter([](json& d) {
        d["version"] = 3;
        d["interest"][2]["rate"] = 1.5;
        d["insurance"][0]["colour"] = "red";
        d.erase("credit");
    });
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "/version: must be 1 or 2 (got 3)",
                            "/credit: missing",
                            "/insurance/0/colour: unknown key",
                            "/interest/2/rate: must be below 1 (got 1.5)",
                        }));
}

TEST(TariffFile, DatesAreCheckedOnTheCalendar) {
    for (const char* good : {"2024-02-29", "2000-02-29", "0001-01-01", "2026-12-31"}) {
        EXPECT_TRUE(problemsAfter([&](json& d) { d["valid_from"] = good; }).empty()) << good;
    }
    for (const char* bad :
         {"1900-02-29", "2026-13-01", "2026-04-31", "2026-1-01", "26-12-01", "2026-12-01T00:00",
          "0000-01-01", "+026-12-01", "2026-00-10", "2026--1-01", "2026-12--1", "2026-+1-01",
          "20a6-12-01", "2026-1a-01", "2026-12-0x", "2026/12/01", "2026-12/01", "2026-12-010"}) {
        EXPECT_EQ(problemsAfter([&](json& d) { d["valid_from"] = bad; }).size(), 1U) << bad;
    }
}

// Bytes that are not a tariff at all: one problem for the whole file, never a crash.
TEST(TariffFile, BadBytesAreRefusedCleanly) {
    const std::string example = exampleFile();
    EXPECT_EQ(problemsOf(example.substr(0, example.size() / 2)).size(), 1U);
    EXPECT_EQ(problemsOf(""), (std::vector<std::string>{"/: not valid JSON (line 1, column 1)"}));
    EXPECT_EQ(problemsOf("{\"name\": 1,\n  x}"),
              (std::vector<std::string>{"/: not valid JSON (line 2, column 3)"}));
    // Columns count characters, not bytes: each "ă" is two bytes and one column.
    EXPECT_EQ(problemsOf("{\"name\": \"\xC4\x83\xC4\x83\" x}"),
              (std::vector<std::string>{"/: not valid JSON (line 1, column 15)"}));
    EXPECT_EQ(problemsOf("{\"name\": \"Tarif \xC3\x28\"}"),
              (std::vector<std::string>{"/: not UTF-8 text (line 1, column 17)"}));
    EXPECT_EQ(problemsOf("\xED\xA0\x80"),
              (std::vector<std::string>{"/: not UTF-8 text (line 1, column 1)"}));
    EXPECT_EQ(problemsOf(std::string(100000, '[') + std::string(100000, ']')),
              (std::vector<std::string>{"/: nested deeper than 32 levels (line 1, column 33)"}));
    // Brackets inside strings do not count, nor does an escaped quote end the string they are
    // in; an escaped backslash before the closing quote does not hide the quote.
    EXPECT_EQ(problemsAfter([](json& d) { d["name"] = std::string(70, '['); }),
              std::vector<std::string>{});
    EXPECT_EQ(problemsAfter([](json& d) { d["name"] = "a\"" + std::string(40, '[') + "\""; }),
              std::vector<std::string>{});
    EXPECT_EQ(problemsOf("{\"name\": \"a\\\\\", \"x\": " + std::string(40, '[')),
              (std::vector<std::string>{"/: nested deeper than 32 levels (line 1, column 53)"}));
    // Overlong forms: C0 and C1 could only lead a character that has a shorter form.
    EXPECT_EQ(problemsOf("{\"name\": \"Tarif \xC0\xAF\"}"),
              (std::vector<std::string>{"/: not UTF-8 text (line 1, column 17)"}));
    EXPECT_EQ(problemsOf("{\"name\": \"Tarif \xC1\xBF\"}"),
              (std::vector<std::string>{"/: not UTF-8 text (line 1, column 17)"}));
    EXPECT_EQ(problemsOf(std::string(std::size_t{2} * 1024 * 1024, ' ')),
              (std::vector<std::string>{"/: larger than 1 MiB (2097152 bytes)"}));
    json doc = json::parse(example);
    doc["credit"]["ceiling"] = 1;
    std::string huge = doc.dump();
    huge.replace(huge.find("\"ceiling\":1"), 11, "\"ceiling\":1e400");
    EXPECT_EQ(problemsOf(huge),
              (std::vector<std::string>{"/: holds a number too large to be read"}));
}

TEST(TariffFile, FilesThatCannotBeRead) {
    EXPECT_EQ(tariff::readFile("/nonexistent/tarif.json").problems,
              (std::vector<Problem>{{"/", "cannot be read"}}));
    EXPECT_EQ(tariff::readFile("/").problems,
              (std::vector<Problem>{{"/", "cannot be read (a folder)"}}));
    EXPECT_TRUE(tariff::readFile(SIMCREDIT_EXAMPLE_TARIFF).tariff);
    // One byte over the limit is refused without being parsed; the limit itself is read.
    const std::filesystem::path big =
        std::filesystem::temp_directory_path() / ("tarif-mare-" + std::to_string(::getpid()));
    for (const std::size_t size : {tariff::maxFileSize + 1, tariff::maxFileSize}) {
        std::ofstream(big, std::ios::binary) << std::string(size, ' ');
        EXPECT_EQ(tariff::readFile(big).problems,
                  (std::vector<Problem>{{"/", size > tariff::maxFileSize
                                                  ? "larger than 1 MiB"
                                                  : "not valid JSON (line 1, column 1048577)"}}))
            << size;
    }
    std::filesystem::remove(big);
}

} // namespace
