#pragma once

#include "runtime/json_text.h"
#include "tariff/read.h"
#include "tariff/text.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the reader's checks share: the walk over the parsed document that collects every problem
// with its JSON pointer. Private to the tariff library.
namespace tariff {

using nlohmann::json;

// "a string", "an object"...: what a value is, for the problems' texts.
std::string kindOf(const json& v);

// A JSON pointer's reference token for a key: '~' and '/' escaped; control characters shown as
// \uXXXX so that every problem stays on one line.
std::string token(std::string_view key);

// A text in double quotes, escaped as a token.
std::string quote(std::string_view s);

// Walks the parsed document, collects every problem and fills the terms on the way; the terms
// are used only when no problem was found.
class Checker {
public:
    std::vector<Problem> problems;

    void fail(const std::string& at, std::string reason) {
        problems.push_back({at.empty() ? "/" : at, std::move(reason)});
    }

    // The object at `at`, with unknown keys reported; nothing when it is not an object.
    const json* object(const json& v, const std::string& at,
                       std::initializer_list<std::string_view> keys) {
        if (!v.is_object()) {
            fail(at, "must be an object (got " + kindOf(v) + ")");
            return nullptr;
        }
        for (const auto& [key, value] : v.items()) {
            bool known = false;
            for (const std::string_view k : keys) {
                known = known || key == k;
            }
            if (!known) {
                fail(at + "/" + token(key), "unknown key");
            }
        }
        return &v;
    }

    // A member of an object; a missing required one is a problem.
    const json* member(const json* obj, const std::string& at, const char* key,
                       bool required = true) {
        if (obj == nullptr) {
            return nullptr;
        }
        const auto it = obj->find(key);
        if (it == obj->end()) {
            if (required) {
                fail(at + "/" + key, "missing");
            }
            return nullptr;
        }
        return &*it;
    }

    std::optional<double> number(const json* v, const std::string& at) {
        if (v == nullptr) {
            return std::nullopt;
        }
        if (!v->is_number()) {
            fail(at, "must be a number (got " + kindOf(*v) + ")");
            return std::nullopt;
        }
        const double x = v->get<double>();
        if (!std::isfinite(x)) {
            fail(at, "must be a finite number");
            return std::nullopt;
        }
        return x;
    }

    // A finite amount, not negative.
    std::optional<double> amount(const json* obj, const std::string& at, const char* key,
                                 bool required = true) {
        const std::string where = at + "/" + key;
        const std::optional<double> x = number(member(obj, at, key, required), where);
        if (x && *x < 0) {
            fail(where, "must not be negative (got " + runtime::jsonNumber(*x) + ")");
            return std::nullopt;
        }
        return x;
    }

    // A rate: from 0 up to but not including 1.
    std::optional<double> rate(const json* obj, const std::string& at, const char* key) {
        const std::optional<double> x = amount(obj, at, key);
        if (x && *x >= 1) {
            fail(at + "/" + key, "must be below 1 (got " + runtime::jsonNumber(*x) + ")");
            return std::nullopt;
        }
        return x;
    }

    // A string of at most `maxChars` characters (and at least `minChars`).
    std::optional<std::string> text(const json* obj, const std::string& at, const char* key,
                                    std::size_t minChars, std::size_t maxChars,
                                    bool required = true) {
        const std::string where = at + "/" + key;
        const json* v = member(obj, at, key, required);
        if (v == nullptr) {
            return std::nullopt;
        }
        if (!v->is_string()) {
            fail(where, "must be a string (got " + kindOf(*v) + ")");
            return std::nullopt;
        }
        const auto& s = v->get_ref<const std::string&>();
        const std::size_t n = characterCount(s);
        if (n < minChars || n > maxChars) {
            fail(where, (minChars > 0 ? "must be " + std::to_string(minChars) + " to "
                                      : std::string("must be at most ")) +
                            std::to_string(maxChars) + " characters long (got " +
                            std::to_string(n) + ")");
            return std::nullopt;
        }
        return s;
    }

    std::optional<bool> boolean(const json* obj, const std::string& at, const char* key,
                                bool required = true) {
        const json* v = member(obj, at, key, required);
        if (v == nullptr) {
            return std::nullopt;
        }
        if (!v->is_boolean()) {
            fail(at + "/" + key, "must be true or false (got " + kindOf(*v) + ")");
            return std::nullopt;
        }
        return v->get<bool>();
    }

    // An array of at most `maxItems` entries; nothing when it is not an array.
    const json* array(const json* v, const std::string& at) {
        if (v == nullptr) {
            return nullptr;
        }
        if (!v->is_array()) {
            fail(at, "must be an array (got " + kindOf(*v) + ")");
            return nullptr;
        }
        return v;
    }

    // Reports min > max at the min's pointer.
    void ordered(const std::optional<double>& min, const std::optional<double>& max,
                 const std::string& at, const char* minKey, const char* maxKey) {
        if (min && max && *min > *max) {
            fail(at + "/" + minKey, std::string("must not be above ") + maxKey + " (got " +
                                        runtime::jsonNumber(*min) + ", " + maxKey + " " +
                                        runtime::jsonNumber(*max) + ")");
        }
    }
};

template <typename T> void take(T& into, const std::optional<T>& value) {
    if (value) {
        into = *value;
    }
}

} // namespace tariff
