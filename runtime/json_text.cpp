#include "runtime/json_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace runtime {

int utf8CharacterAt(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        return 1;
    }
    int n = 0;
    unsigned char low = 0x80;  // the range of the second byte, which rules out overlong forms,
    unsigned char high = 0xBF; // surrogates and code points above U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return -1;
    }
    for (int k = 1; k < n; ++k) {
        const std::size_t at = i + static_cast<std::size_t>(k);
        if (at >= s.size()) {
            return -k; // cut short at the end: one replacement for what there was
        }
        const unsigned char b = byte(at);
        const bool fits = k == 1 ? b >= low && b <= high : (b & 0xC0) == 0x80;
        if (!fits) {
            return -k; // the byte that does not fit may start the next character
        }
    }
    return n;
}

void appendJsonNumber(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "\"NaN\"";
        return;
    }
    if (std::isinf(value)) {
        out += value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
        return;
    }
    std::array<char, 32> buf{};
    char* end = nullptr;
    // A whole number below 100000 is written in full by the shortest form too (its exponent form
    // is never shorter), and the integer conversion is several times cheaper; -0 keeps its sign.
    if (std::fabs(value) < 1e5 && value == std::trunc(value) &&
        !(value == 0 && std::signbit(value))) {
        end = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<long>(value)).ptr;
    } else {
        end = std::to_chars(buf.data(), buf.data() + buf.size(), value).ptr;
    }
    out.append(buf.data(), end);
}

std::string jsonNumber(double value) {
    std::string out;
    appendJsonNumber(out, value);
    return out;
}

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr std::string_view hex = "0123456789abcdef";
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        // A run of printable ASCII other than the quote and the backslash goes as it is, at once.
        std::size_t plain = i;
        while (plain < text.size() && text[plain] >= 0x20 && text[plain] < 0x7F &&
               text[plain] != '"' && text[plain] != '\\') {
            ++plain;
        }
        if (plain > i) {
            out.append(text.substr(i, plain - i));
            i = plain;
            continue;
        }
        const int n = utf8CharacterAt(text, i);
        if (n < 0) {
            out += "\xEF\xBF\xBD";
            i += static_cast<std::size_t>(-n);
            continue;
        }
        if (n > 1) {
            out.append(text.substr(i, static_cast<std::size_t>(n)));
            i += static_cast<std::size_t>(n);
            continue;
        }
        const char c = text[i++];
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "\\u00";
                out += hex[static_cast<unsigned char>(c) >> 4];
                out += hex[static_cast<unsigned char>(c) & 0xF];
            } else {
                out += c; // DEL
            }
        }
    }
    out += '"';
}

std::string jsonString(std::string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

std::string& JsonObject::member(std::string_view key) {
    if (out_.size() > 1) {
        out_ += ',';
    }
    appendJsonString(out_, key);
    out_ += ':';
    return out_;
}

JsonObject& JsonObject::raw(std::string_view key, std::string_view json) {
    member(key) += json;
    return *this;
}

JsonObject& JsonObject::text(std::string_view key, std::string_view value) {
    appendJsonString(member(key), value);
    return *this;
}

JsonObject& JsonObject::number(std::string_view key, double value) {
    appendJsonNumber(member(key), value);
    return *this;
}

JsonObject& JsonObject::integer(std::string_view key, long long value) {
    return raw(key, std::to_string(value));
}

JsonObject& JsonObject::boolean(std::string_view key, bool value) {
    return raw(key, value ? "true" : "false");
}

JsonObject& JsonObject::numberOrNull(std::string_view key, const std::optional<double>& value) {
    return value ? number(key, *value) : raw(key, "null");
}

JsonObject& JsonObject::textOrNull(std::string_view key, const std::optional<std::string>& value) {
    return value ? text(key, *value) : raw(key, "null");
}

JsonObject& JsonObject::numberIf(std::string_view key, bool present, double value) {
    return present ? number(key, value) : raw(key, "null");
}

JsonObject& JsonObject::textIf(std::string_view key, bool present, std::string_view value) {
    return present ? text(key, value) : raw(key, "null");
}

JsonArray& JsonArray::raw(std::string_view json) {
    if (out_.size() > 1) {
        out_ += ',';
    }
    out_ += json;
    return *this;
}

} // namespace runtime
