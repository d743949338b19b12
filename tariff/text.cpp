#include "tariff/text.h"

#include "runtime/json_text.h"

#include <charconv>
#include <chrono>

namespace tariff {

std::optional<std::size_t> firstInvalidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const int n = runtime::utf8CharacterAt(bytes, i);
        if (n < 0) {
            return i;
        }
        i += static_cast<std::size_t>(n);
    }
    return std::nullopt;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

bool hasControlCharacter(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 || c == 0x7F) {
            return true;
        }
        // U+0080 to U+009F are written C2 80 to C2 9F.
        if (c == 0xC2 && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[i + 1]);
            if (next >= 0x80 && next <= 0x9F) {
                return true;
            }
        }
    }
    return false;
}

bool isDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    const auto field = [&](std::size_t from, std::size_t length, int& out) {
        const char* first = text.data() + from;
        const auto [ptr, ec] = std::from_chars(first, first + length, out);
        return ec == std::errc{} && ptr == first + length && *first != '-' && *first != '+';
    };
    int year = 0;
    int month = 0;
    int day = 0;
    if (!field(0, 4, year) || !field(5, 2, month) || !field(8, 2, day) || year < 1) {
        return false;
    }
    const std::chrono::year_month_day date{std::chrono::year(year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    return date.ok();
}

} // namespace tariff
