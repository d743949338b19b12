#pragma once

#include <optional>
#include <string>
#include <string_view>

// The one JSON writer of the program: every snapshot, answer, tariff and shop file is made of
// these pieces, so that one text is escaped one way wherever it goes.
namespace runtime {

// The shortest text that reads back to the same double ("0.087", "30000", "1e+21"); non-finite
// values as the JSON strings "Infinity", "-Infinity" and "NaN".
// The length of the well-formed UTF-8 character at `i`, or, when there is none, how many bytes
// a reader skips before trying again: the lead and the continuation bytes that were still
// possible, never fewer than one (negative to tell the two apart). Overlong forms, surrogates and
// code points above U+10FFFF are not well-formed.
int utf8CharacterAt(std::string_view s, std::size_t i);

std::string jsonNumber(double value);
void appendJsonNumber(std::string& out, double value);

// A text as a JSON string: quote, backslash and C0 controls escaped (\b \t \n \f \r, the rest
// as \u00xx), everything else as it is; each byte sequence that is not well-formed UTF-8 is
// replaced by U+FFFD, so that whatever was typed the document stays valid.
std::string jsonString(std::string_view text);
void appendJsonString(std::string& out, std::string_view text);

// {"key":value,...} on one line, in the order the members are added.
class JsonObject {
public:
    // A value already written as JSON (an object, an array, a literal).
    JsonObject& raw(std::string_view key, std::string_view json);
    JsonObject& text(std::string_view key, std::string_view value);
    JsonObject& number(std::string_view key, double value);
    JsonObject& integer(std::string_view key, long long value);
    JsonObject& boolean(std::string_view key, bool value);
    // null when there is no value.
    JsonObject& numberOrNull(std::string_view key, const std::optional<double>& value);
    JsonObject& textOrNull(std::string_view key, const std::optional<std::string>& value);
    JsonObject& numberIf(std::string_view key, bool present, double value);
    JsonObject& textIf(std::string_view key, bool present, std::string_view value);

    std::string str() const { return out_ + '}'; }

private:
    std::string& member(std::string_view key);

    std::string out_ = "{";
};

// [value,...] on one line.
class JsonArray {
public:
    JsonArray& raw(std::string_view json);
    JsonArray& text(std::string_view value) { return raw(jsonString(value)); }
    JsonArray& number(double value) { return raw(jsonNumber(value)); }

    bool empty() const { return out_.size() == 1; }
    std::string str() const { return out_ + ']'; }

private:
    std::string out_ = "[";
};

} // namespace runtime
