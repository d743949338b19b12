#include "runtime/format.h"

#include "runtime/runtime_error.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace runtime {
namespace {

struct Fixed2 {
    bool negative = false;
    std::string integer; // digits, at least "0"
    std::string cents;   // exactly two digits
};

// Exact ties (value * 200 an odd integer) must round away from zero; to_chars rounds them to even.
bool isCentTie(double magnitude, double& doubled) {
    doubled = magnitude * 200.0;
    if (doubled >= 9007199254740992.0 || std::fma(magnitude, 200.0, -doubled) != 0.0) {
        return false;
    }
    return std::floor(doubled) == doubled && std::fmod(doubled, 2.0) == 1.0;
}

Fixed2 toFixed2(double value) {
    Fixed2 out;
    const double magnitude = std::fabs(value);
    double doubled = 0.0;
    if (isCentTie(magnitude, doubled)) {
        const auto cents = static_cast<std::uint64_t>(doubled + 1.0) / 2;
        out.integer = std::to_string(cents / 100);
        const auto rest = static_cast<unsigned>(cents % 100);
        out.cents = {static_cast<char>('0' + rest / 10), static_cast<char>('0' + rest % 10)};
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
