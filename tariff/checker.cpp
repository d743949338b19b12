#include "tariff/checker.h"

#include <array>

namespace tariff {

std::string kindOf(const json& v) {
    switch (v.type()) {
    case json::value_t::null:
        return "null";
    case json::value_t::boolean:
        return "a boolean";
    case json::value_t::string:
        return "a string";
    case json::value_t::array:
        return "an array";
    case json::value_t::object:
        return "an object";
    default:
        return "a number";
    }
}

std::string token(std::string_view key) {
    std::string out;
    for (const char c : key) {
        if (c == '~') {
            out += "~0";
        } else if (c == '/') {
            out += "~1";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            static constexpr std::array<char, 16> hex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                         '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
            const auto u = static_cast<unsigned char>(c);
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::string quote(std::string_view s) {
    return "\"" + token(s) + "\"";
}

} // namespace tariff
