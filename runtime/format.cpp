#include "runtime/format.h"

#include "runtime/runtime_error.h"

#include <array>
#include <charconv>
#include <cmath>

namespace runtime {
namespace {

struct Fixed2 {
    bool negative = false;
    std::string integer; // digits, at least "0"
    std::string cents;   // exactly two digits
};

// A value lies exactly halfway between two cents only when its fraction is 1/8, 3/8, 5/8 or 7/8
// (the only dyadic odd half-cents), that is when 8 * value, which is exact, is an odd integer.
// to_chars rounds such ties to even; they must round away from zero.
bool isCentTie(double magnitude) {
    const double eighths = magnitude * 8.0;
    return std::floor(eighths) == eighths && std::fmod(eighths, 2.0) == 1.0;
}

std::string integerDigits(double whole) {
    std::array<char, 400> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), whole, std::chars_format::fixed, 0);
    return {buf.data(), res.ptr};
}

Fixed2 toFixed2(double value) {
    Fixed2 out;
    const double magnitude = std::fabs(value);
    if (isCentTie(magnitude)) {
        const double whole = std::floor(magnitude);
        const double fraction = magnitude - whole; // 0.125, 0.375, 0.625 or 0.875, exactly
        static constexpr std::array<const char*, 4> roundedUp = {"13", "38", "63", "88"};
        out.integer = integerDigits(whole);
        out.cents = roundedUp[static_cast<std::size_t>(fraction * 4.0)];
    } else {
        std::array<char, 400> buf{};
        const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                       std::chars_format::fixed, 2);
        const std::string text(buf.data(), res.ptr);
        const auto dot = text.find('.');
        out.integer = text.substr(0, dot);
        out.cents = text.substr(dot + 1);
    }
    const bool zero = out.integer == "0" && out.cents == "00";
    out.negative = std::signbit(value) && !zero;
    return out;
}

std::string nonFinite(double value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    return value < 0 ? "-Infinity" : "Infinity";
}

} // namespace

std::string Format(double value, std::string_view pattern) {
    const bool plain = pattern == "0.00";
    const bool blank = pattern == " 0.00";
    const bool grouped = pattern == "## ###.00";
    if (!plain && !blank && !grouped) {
        raise("Format: unsupported pattern");
    }
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    const Fixed2 f = toFixed2(value);
    std::string out = f.negative ? "-" : "";
    if (plain || blank) {
        if (blank) {
            out += ' ';
        }
        out += f.integer;
    } else {
        // '#' shows no digit for a zero integer part; the blank of the pattern is always shown.
        const std::string digits = f.integer == "0" ? "" : f.integer;
        if (digits.size() > 3) {
            out += digits.substr(0, digits.size() - 3);
            out += ' ';
            out += digits.substr(digits.size() - 3);
        } else {
            out += ' ';
            out += digits;
        }
    }
    out += '.';
    out += f.cents;
    return out;
}

std::string NumberToText(double value) {
    if (!std::isfinite(value)) {
        return nonFinite(value);
    }
    if (value == 0.0) {
        return "0";
    }
    std::array<char, 64> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    std::string text(buf.data(), res.ptr);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

} // namespace runtime
