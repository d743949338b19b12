// The CSV and JSON writers every table, snapshot, answer and file goes through.

#include "runtime/csv.h"
#include "runtime/json_text.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::string bytesOf(const std::string& s) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        out += hex[b >> 4];
        out += hex[b & 0xF];
        out += ' ';
    }
    return out;
}

TEST(Csv, QuotesOnlyWhatNeedsIt) {
    struct Case {
        std::string field, written;
    };
    const std::vector<Case> cases = {
        {"10.70", "10.70"},   {"", ""},
        {"a,b", "\"a,b\""},   {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},   {"x\ry", "\"x\ry\""},
        {"x\ny", "\"x\ny\""}, {"tab\tand 'single' quotes", "tab\tand 'single' quotes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(runtime::csvField(c.field), c.written);
    }
}

TEST(Csv, RecordEndsWithCrLf) {
    const std::vector<std::string> fields = {"Luna", "a,b", "", "\"x\""};
    EXPECT_EQ(runtime::csvRecord(fields), "Luna,\"a,b\",,\"\"\"x\"\"\"\r\n");
    EXPECT_EQ(runtime::csvRecord(std::vector<std::string>{}), "\r\n");
}

TEST(JsonNumber, ShortestRoundTripAndNonFiniteAsStrings) {
    EXPECT_EQ(runtime::jsonNumber(0.087), "0.087");
    EXPECT_EQ(runtime::jsonNumber(30000), "30000");
    EXPECT_EQ(runtime::jsonNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(runtime::jsonNumber(1e21), "1e+21");
    EXPECT_EQ(runtime::jsonNumber(-0.5), "-0.5");
    EXPECT_EQ(runtime::jsonNumber(std::numeric_limits<double>::infinity()), "\"Infinity\"");
    EXPECT_EQ(runtime::jsonNumber(-std::numeric_limits<double>::infinity()), "\"-Infinity\"");
    EXPECT_EQ(runtime::jsonNumber(std::numeric_limits<double>::quiet_NaN()), "\"NaN\"");
}

// Whole numbers take a quicker path: it must give the shortest form's very text, up to where
// the exponent form becomes the shorter one, and on both sides of zero.
TEST(JsonNumber, WholeNumbersAsTheShortestFormWritesThem) {
    const auto shortest = [](double v) {
        std::array<char, 32> buf{};
        return std::string(buf.data(), std::to_chars(buf.data(), buf.data() + 32, v).ptr);
    };
    for (int n = -120000; n <= 120000; ++n) {
        const double v = n;
        ASSERT_EQ(runtime::jsonNumber(v), shortest(v)) << v;
    }
    for (const double v : {-0.0, 1e5, 1e6, 99999.5, -99999.0, 4503599627370496.0, 1e300}) {
        EXPECT_EQ(runtime::jsonNumber(v), shortest(v)) << v;
    }
    EXPECT_EQ(runtime::jsonNumber(-0.0), "-0");
    EXPECT_EQ(runtime::jsonNumber(100000), "1e+05");
}

TEST(JsonString, EscapesControlsAndKeepsUtf8) {
    struct Case {
        std::string text, written;
    };
    const std::vector<Case> cases = {
        {"Tarif standard", "\"Tarif standard\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"\b\t\n\f\r", "\"\\b\\t\\n\\f\\r\""},
        {std::string("\x00\x01\x1F", 3), "\"\\u0000\\u0001\\u001f\""},
        {"\x7F", "\"\x7F\""},                                         // DEL is not escaped
        {"Rat\xC4\x83 \xE2\x82\xAC", "\"Rat\xC4\x83 \xE2\x82\xAC\""}, // kept as typed
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},                 // outside the BMP
        {"a\xFF"
         "b",
         "\"a\xEF\xBF\xBD"
         "b\""},                                      // a stray byte
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""}, // overlong: two strays
        {"\xE2\x82"
         "A",
         "\"\xEF\xBF\xBD"
         "A\""},                                                      // cut short, A read again
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""}, // a surrogate
        {"end\xE2\x82", "\"end\xEF\xBF\xBD\""},                       // cut short by the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(bytesOf(c.text));
        EXPECT_EQ(runtime::jsonString(c.text), c.written);
    }
}

// The documents written before this writer existed came from the JSON library: any byte string
// must come out exactly as it wrote it, and read back as the same text when it is UTF-8.
TEST(JsonString, SameBytesAsTheJsonLibrary) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> length(0, 12);
    // Mostly bytes that matter: ASCII controls, quotes, lead and continuation bytes.
    const std::string pool =
        std::string("\x00\x01\x1F \"\\aZ\x7F", 9) +
        "\x80\xBF\xC0\xC1\xC2\xC4\xDF\xE0\xE2\xED\xEF\xF0\xF4\xF5\xFF\xA0\x9F\x90\x8F";
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        for (int k = length(random); k > 0; --k) {
            text += pool[pick(random)];
        }
        const std::string expected =
            nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        ASSERT_EQ(runtime::jsonString(text), expected) << bytesOf(text);
    }
}

TEST(JsonBuilder, MembersInOrderWithNulls) {
    runtime::JsonArray list;
    EXPECT_TRUE(list.empty());
    list.text("a").number(1.5).raw("null");
    EXPECT_EQ(list.str(), "[\"a\",1.5,null]");
    EXPECT_EQ(runtime::JsonArray().str(), "[]");
    const std::string object = runtime::JsonObject()
                                   .text("name", "x\"y")
                                   .number("rate", 0.087)
                                   .integer("months", 60)
                                   .boolean("valid", false)
                                   .numberOrNull("dae", std::nullopt)
                                   .textOrNull("reason", std::nullopt)
                                   .raw("rows", list.str())
                                   .str();
    EXPECT_EQ(object, "{\"name\":\"x\\\"y\",\"rate\":0.087,\"months\":60,\"valid\":false,"
                      "\"dae\":null,\"reason\":null,\"rows\":[\"a\",1.5,null]}");
    EXPECT_EQ(runtime::JsonObject().str(), "{}");
    // The same members holding a value, and the flagged forms either way.
    EXPECT_EQ(runtime::JsonObject()
                  .numberOrNull("dae", 0.25)
                  .textOrNull("reason", std::string("a\nb"))
                  .numberIf("total", true, 2)
                  .numberIf("cost", false, 3)
                  .textIf("note", true, "n")
                  .textIf("place", false, "p")
                  .boolean("valid", true)
                  .str(),
              "{\"dae\":0.25,\"reason\":\"a\\nb\",\"total\":2,\"cost\":null,\"note\":\"n\","
              "\"place\":null,\"valid\":true}");
}

} // namespace
