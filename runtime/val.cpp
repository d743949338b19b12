#include "runtime/val.h"

#include <charconv>
#include <limits>
#include <string>

namespace runtime {

double Val(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (c != ' ') {
            s.push_back(c);
        }
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    bool point = false;
    bool digits = false;
    bool nonZeroBeforePoint = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            if (!point && c != '0') {
                nonZeroBeforePoint = true;
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return 0.0;
    }

    double value = 0.0;
    const char* first = s.data() + start;
    const char* last = s.data() + i;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Too many digits for a Double: the value overflows to infinity or underflows to zero.
        value = nonZeroBeforePoint ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc{}) {
        return 0.0;
    }
    (void)ptr;
    return negative ? -value : value;
}

std::size_t ValExtent(std::string_view text) {
    // The same walk as Val's, over the text with its blanks.
    std::size_t end = 0;
    bool first = true; // nothing but blanks read yet: the one place a sign may stand
    bool point = false;
    bool digits = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') {
            continue;
        }
        if ((c == '+' || c == '-') && first) {
            // the sign itself: nothing more to note
        } else if (c >= '0' && c <= '9') {
            digits = true;
            end = i + 1;
        } else if (c == '.' && !point) {
            point = true;
            end = digits ? i + 1 : end;
        } else {
            break;
        }
        first = false;
    }
    return digits ? end : 0;
}

bool ValReadsWhole(std::string_view text) {
    return text.find_first_not_of(' ', ValExtent(text)) == std::string_view::npos;
}

} // namespace runtime
