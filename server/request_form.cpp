#include "server/request_form.h"

#include <nlohmann/json.hpp>

#include <array>
#include <charconv>
#include <set>

namespace server {
namespace {

using nlohmann::json;

constexpr std::array<std::string_view, 8> formKeys = {"vn",      "ar",        "ad",     "tbvp",
                                                      "tbavans", "tbdurcred", "cbasig", "plata"};

template <typename T> Read<T> bad(std::string error, std::string pointer) {
    return {std::nullopt, {std::move(error), std::move(pointer)}};
}

// A key as a JSON pointer's token ('~' and '/' escaped).
std::string pointerTo(std::string_view key) {
    std::string out = "/";
    for (const char c : key) {
        if (c == '~') {
            out += "~0";
        } else if (c == '/') {
            out += "~1";
        } else {
            out += c;
        }
    }
    return out;
}

std::string kindOf(const json& v) {
    switch (v.type()) {
    case json::value_t::null:
        return "null";
    case json::value_t::boolean:
        return "a boolean";
    case json::value_t::string:
        return "a string";
    case json::value_t::object:
        return "an object";
    case json::value_t::array:
        return "an array";
    default:
        return "a number";
    }
}

// The insurance item a text or a position names; -1: nothing chosen (an empty text, as an empty
// table cell); nullopt: no such item.
std::optional<int> insuranceOf(const json& v, const std::vector<std::string>& items) {
    if (v.is_string()) {
        const auto& text = v.get_ref<const std::string&>();
        if (text.empty()) {
            return -1;
        }
        for (std::size_t k = 0; k < items.size(); ++k) {
            if (text == items[k]) {
                return static_cast<int>(k);
            }
        }
        return std::nullopt;
    }
    if (v.is_number_unsigned() && v.get<std::uint64_t>() < items.size()) {
        return static_cast<int>(v.get<std::uint64_t>());
    }
    return std::nullopt;
}

// Direct debit or cash; nullopt for anything else. An empty text chooses nothing, as an empty
// table cell does.
std::optional<bool> cashOf(std::string_view text) {
    if (text == ui::cashCaption) {
        return true;
    }
    if (text.empty() || text == ui::directDebitCaption) {
        return false;
    }
    return std::nullopt;
}

// A figure of the query: plain decimal digits with at most one point ("3500", "3500.50"), as a
// shop's page writes a price. Signs, exponents and blanks are refused rather than guessed.
bool isPlainNumber(std::string_view text) {
    if (text.empty() || text.size() > 32) {
        return false;
    }
    int points = 0;
    int digits = 0;
    for (const char c : text) {
        if (c == '.') {
            ++points;
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            return false;
        }
    }
    return points <= 1 && digits > 0;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

Read<offer::TableRow> readForm(std::string_view body, const std::vector<std::string>& items) {
    // Keys are checked as the parser meets them, so that a key given twice is refused (a table
    // cannot name a column twice either) and nothing nested is kept in memory.
    std::set<std::string, std::less<>> seen;
    std::string repeated;
    json::parser_callback_t keep = [&](int depth, json::parse_event_t event, json& parsed) {
        if (depth == 1 && event == json::parse_event_t::key) {
            const auto& key = parsed.get_ref<const std::string&>();
            if (!seen.insert(key).second && repeated.empty()) {
                repeated = key;
            }
        }
        return true;
    };
    json form;
    try {
        form = json::parse(body.begin(), body.end(), keep);
    } catch (const json::parse_error& e) {
        return bad<offer::TableRow>("malformed JSON at byte " + std::to_string(e.byte), "");
    } catch (const json::out_of_range&) {
        // A number beyond a double ("9e600") is the client's fault like any malformed JSON; the
        // reader names no byte for it.
        return bad<offer::TableRow>("malformed JSON: a number out of range", "");
    }
    if (!form.is_object()) {
        return bad<offer::TableRow>("a form must be a JSON object (got " + kindOf(form) + ")", "");
    }
    if (!repeated.empty()) {
        return bad<offer::TableRow>("key given twice", pointerTo(repeated));
    }
    offer::TableRow row;
    for (const auto& [key, v] : form.items()) {
        std::size_t k = 0;
        while (k < formKeys.size() && key != formKeys[k]) {
            ++k;
        }
        if (k == formKeys.size()) {
            return bad<offer::TableRow>("unknown key", pointerTo(key));
        }
        if (key == "cbasig") {
            if (!v.is_string() && !v.is_number()) {
                return bad<offer::TableRow>("must be an item's text or its position (got " +
                                                kindOf(v) + ")",
                                            pointerTo(key));
            }
            const std::optional<int> item = insuranceOf(v, items);
            if (!item) {
                return bad<offer::TableRow>("unknown insurance item", pointerTo(key));
            }
            row.insurance = *item;
            continue;
        }
        if (!v.is_string()) {
            return bad<offer::TableRow>("must be a string (got " + kindOf(v) + ")", pointerTo(key));
        }
        const auto& text = v.get_ref<const std::string&>();
        if (key == "plata") {
            const std::optional<bool> cash = cashOf(text);
            if (!cash) {
                return bad<offer::TableRow>("unknown payment method", pointerTo(key));
            }
            row.cash = *cash;
            continue;
        }
        row.boxes[k] = text; // the boxes come first among the keys, in reading order
    }
    return {std::move(row), {}};
}

std::optional<std::string> percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%') {
            if (i + 2 >= text.size()) {
                return std::nullopt;
            }
            const int hi = hexValue(text[i + 1]);
            const int lo = hexValue(text[i + 2]);
            if (hi < 0 || lo < 0) {
                return std::nullopt;
            }
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

Read<RateQuery> readRateQuery(std::string_view query, const std::vector<std::string>& items) {
    RateQuery q;
    q.row.boxes[offer::boxSlot(core::Control::tbavans)] = "0";
    std::set<std::string, std::less<>> seen;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view part = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
        if (part.empty()) {
            continue;
        }
        const std::size_t eq = part.find('=');
        const std::optional<std::string> name = percentDecode(part.substr(0, eq));
        const std::optional<std::string> value =
            percentDecode(eq == std::string_view::npos ? std::string_view{} : part.substr(eq + 1));
        if (!name || !value) {
            return bad<RateQuery>("broken percent escape", name ? pointerTo(*name) : "");
        }
        const std::string at = pointerTo(*name);
        if (!seen.insert(*name).second) {
            return bad<RateQuery>("parameter given twice", at);
        }
        if (*name == "valoare" || *name == "avans") {
            if (!isPlainNumber(*value)) {
                return bad<RateQuery>("must be a number such as 3500 or 3500.50", at);
            }
            const core::Control box =
                *name == "valoare" ? core::Control::tbvp : core::Control::tbavans;
            q.row.boxes[offer::boxSlot(box)] = *value;
        } else if (*name == "asigurare") {
            std::size_t position = 0;
            const auto [end, ec] =
                std::from_chars(value->data(), value->data() + value->size(), position);
            if (ec != std::errc{} || end != value->data() + value->size()) {
                return bad<RateQuery>("must be an insurance item's position, a whole number", at);
            }
            if (position >= items.size()) {
                return bad<RateQuery>("unknown insurance item", at);
            }
            q.row.insurance = static_cast<int>(position);
        } else if (*name == "plata") {
            const std::optional<bool> cash = cashOf(*value);
            if (!cash || value->empty()) {
                return bad<RateQuery>("must be \"Debit Direct\" or \"Numerar\"", at);
            }
            q.row.cash = *cash;
        } else {
            return bad<RateQuery>("unknown parameter", at);
        }
    }
    if (!seen.contains("valoare")) {
        return bad<RateQuery>("missing", "/valoare");
    }
    return {std::move(q), {}};
}

} // namespace server
