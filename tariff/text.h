#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text helpers of the tariff's reader and writer.
namespace tariff {

// The value of the file's "format" key.
inline constexpr const char* formatName = "simulator-credit-tarif";

// Where the first byte that does not belong to a well-formed UTF-8 character is.
std::optional<std::size_t> firstInvalidUtf8(std::string_view bytes);

// Characters of well-formed UTF-8 text.
std::size_t characterCount(std::string_view utf8);

// Whether the text holds a C0 or C1 control character or DEL.
bool hasControlCharacter(std::string_view utf8);

// A real calendar date written YYYY-MM-DD (years 0001 to 9999).
bool isDate(std::string_view text);

} // namespace tariff
