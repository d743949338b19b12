#include "runtime/format.h"
#include "runtime/numeric.h"
#include "runtime/runtime_error.h"
#include "runtime/val.h"
#include "runtime/variant.h"
#include "tests/support/precise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using runtime::Format;
using runtime::NumberToText;
using runtime::RuntimeError;

struct ValCase {
    std::string text;
    double expected;
};

// How the input boxes are read: blanks dropped anywhere, one leading sign, one point, reading
// stops at the first other character, no digits at all reads 0.
TEST(Val, HostileText) {
    const std::vector<ValCase> cases = {{"2000", 2000},  {" 2 0 0 0 ", 2000},
                                        {"1 2.5", 12.5}, {"1.2.3", 1.2},
                                        {"+5", 5},       {"-5", -5},
                                        {"- 5", -5},     {"--5", 0},
                                        {"+-5", 0},      {"5-", 5},
                                        {"12abc", 12},   {"abc12", 0},
                                        {"1e5", 1},      {"1,5", 1},
                                        {"", 0},         {" ", 0},
                                        {".", 0},        {"-", 0},
                                        {".5", 0.5},     {"-.5", -0.5},
                                        {"5.", 5},       {"007", 7},
                                        {"60.5", 60.5},  {"27598.90", 27598.9}};
    for (const ValCase& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(runtime::Val(c.text), c.expected);
    }
}

TEST(Val, HugeDigitStringsNeitherThrowNorWrap) {
    const std::string big = "1" + std::string(400, '0');
    EXPECT_EQ(runtime::Val(big), std::numeric_limits<double>::infinity());
    EXPECT_EQ(runtime::Val("-" + big + ".5"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(runtime::Val("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(runtime::Val(std::string(5000, '9') + "x"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(runtime::Val("123456789012345678901234567890"), 123456789012345678901234567890.0);
}

struct FormatCase {
    double value;
    const char* pattern;
    const char* expected;
};

// Expected texts worked out by hand: exact binary value rounded to cents, halfway away from
// zero, "." as separator, no minus sign on a zero display.
TEST(Format, ThreePatterns) {
    const std::vector<FormatCase> cases = {
        {1234.5, "0.00", "1234.50"},
        {0, "0.00", "0.00"},
        {0.004, "0.00", "0.00"},
        {29.349, "0.00", "29.35"},
        {113.447297724957, "0.00", "113.45"},
        {-5, "0.00", "-5.00"},
        {0.125, "0.00", "0.13"}, // exact tie: away from zero
        {-0.125, "0.00", "-0.13"},
        {2.675, "0.00", "2.67"}, // 2.67499999999999982... in binary
        {1.005, "0.00", "1.00"}, // 1.00499999999999989... in binary
        {0.5, "0.00", "0.50"},
        {-0.0, "0.00", "0.00"},
        {-0.004, "0.00", "0.00"},  // never "-0.00"
        {-0.005, "0.00", "-0.01"}, // -0.00500000000000000010... is beyond the tie
        {1e15, "0.00", "1000000000000000.00"},
        {16.7, " 0.00", " 16.70"},
        {0, " 0.00", " 0.00"},
        {-0.001, " 0.00", " 0.00"},
        {27598.896044158235, "## ###.00", "27 598.90"},
        {28098.896044158235, "## ###.00", "28 098.90"},
        {1234567.5, "## ###.00", "1234 567.50"},
        {598.9, "## ###.00", " 598.90"},
        {0.4, "## ###.00", " .40"}, // '#' shows no zero integer digit
        {-2401.1, "## ###.00", "-2 401.10"},
        {5.5, "## ###.00", " 5.50"},        // one digit that is not a zero
        {999.999, "## ###.00", "1 000.00"}, // the cents carry into a fourth digit
        {999.994, "## ###.00", " 999.99"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(std::string("value ") + testsupport::precise(c.value) + " pattern \"" +
                     c.pattern + "\"");
        EXPECT_EQ(Format(c.value, c.pattern), c.expected);
    }
}

TEST(Format, UnknownPatternIsARuntimeError) {
    EXPECT_THROW(Format(1, "0.000"), RuntimeError);
}

// Shortest general form with at most 15 significant digits, exponent as E+nn/E-nn.
TEST(NumberToText, ShortestForm) {
    const std::vector<std::pair<double, const char*>> cases = {
        {8.60904, "8.60904"},
        {60, "60"},
        {6, "6"},
        {510, "510"},
        {0.0001, "0.0001"},
        {1e-5, "1E-05"},
        {1e15, "1E+15"},
        {1e14, "100000000000000"},
        {-0.0, "0"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {-2.5, "-2.5"},
        {123456789012345678.0, "1.23456789012346E+17"},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE("value " + testsupport::precise(value));
        EXPECT_EQ(NumberToText(value), expected);
    }
}

TEST(ToInt16, NearestTiesToEven) {
    const std::vector<std::pair<double, int>> cases = {
        {2.5, 2},   {3.5, 4},         {-2.5, -2},         {-3.5, -4},        {0.5, 0},
        {-0.5, 0},  {1.5, 2},         {2.4999, 2},        {2.5001, 3},       {11.5, 12},
        {12.6, 13}, {32767.4, 32767}, {-32768.5, -32768}, {-32767.5, -32768}};
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE("value " + testsupport::precise(value));
        EXPECT_EQ(runtime::toInt16(value), expected);
    }
}

TEST(ToInt16, OutOfRangeIsARuntimeError) {
    for (double value : {32767.5, 32768.0, -32768.6, -40000.0, 1e300,
                         std::numeric_limits<double>::infinity(), std::nan("")}) {
        SCOPED_TRACE("value " + testsupport::precise(value));
        EXPECT_THROW(runtime::toInt16(value), RuntimeError);
    }
}

TEST(Power, InvalidPowersAreRuntimeErrors) {
    EXPECT_EQ(runtime::Power(1.0283166666666667, 0), 1.0);
    EXPECT_EQ(runtime::Power(-2, 3), -8);
    EXPECT_THROW(runtime::Power(-2, 0.5), RuntimeError);
    EXPECT_THROW(runtime::Power(0, -1), RuntimeError);
    // Zero to a power of zero or above is allowed; so is a negative base to a whole power below 0.
    EXPECT_EQ(runtime::Power(0, 0), 1.0);
    EXPECT_EQ(runtime::Power(0, 2), 0.0);
    EXPECT_EQ(runtime::Power(-2, -2), 0.25);
}

// NPV discounts even the first value: -100 / 1.1 + 121 / 1.21 = 100 - 1000 / 11.
TEST(Npv, DiscountsTheFirstValue) {
    const std::vector<double> flows = {-100, 121};
    EXPECT_NEAR(runtime::NPV(0.1, flows), 100 - 1000.0 / 11, 1e-12);
    EXPECT_NEAR(runtime::NPV(0.0, flows), 21.0, 1e-12);
}

TEST(Npv, SeriesWithoutSignChangeIsARuntimeError) {
    EXPECT_THROW(runtime::NPV(0.1, std::vector<double>{-1000}), RuntimeError);
    EXPECT_THROW(runtime::NPV(0.1, std::vector<double>{5, 0, 3}), RuntimeError);
    EXPECT_THROW(runtime::NPV(0.1, std::vector<double>{0, 0}), RuntimeError);
}

TEST(Irr, FindsTheRateOfASimpleSeries) {
    // -100 now, 121 in two periods: 10 % a period.
    EXPECT_NEAR(runtime::IRR(std::vector<double>{-100, 0, 121}), 0.1, 1e-12);
    // 1000 received, 12 payments of 100: about 2.922854 % (annuity tables).
    std::vector<double> loan(13, -100);
    loan[0] = 1000;
    EXPECT_NEAR(runtime::IRR(loan), 0.0292285, 1e-7);
}

TEST(Irr, FailuresAreRuntimeErrors) {
    EXPECT_THROW(runtime::IRR(std::vector<double>{100, 50}), RuntimeError);   // no negative
    EXPECT_THROW(runtime::IRR(std::vector<double>{-100, -50}), RuntimeError); // no positive
    // 1 - 3x + 3x^2 (x = 1 / (1 + r)) has no real root: the iteration cannot settle.
    EXPECT_THROW(runtime::IRR(std::vector<double>{1, -3, 3}), RuntimeError);
    // A root exists (20 %), but one step from the guess 10 % is not enough to reach it.
    runtime::IrrSettings oneStep;
    oneStep.maxIterations = 1;
    EXPECT_THROW(runtime::IRR(std::vector<double>{-100, 0, 144}, oneStep), RuntimeError);
    EXPECT_NEAR(runtime::IRR(std::vector<double>{-100, 0, 144}), 0.2, 1e-12);
    // A rate of -99 % solves -1 + 1e-6 x^3, but the first step from 10 % lands below -100 %,
    // where no discount exists: refused, never a rate of -100 % or less.
    try {
        runtime::IRR(std::vector<double>{-1, 0, 0, 1e-6});
        ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_STREQ(e.what(), "IRR: the rate left the valid range");
    }
}

} // namespace
