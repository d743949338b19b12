#pragma once

#include <span>
#include <string>
#include <string_view>

// The one CSV writer of every table the program hands out (RFC 4180).
namespace runtime {

// One field as written: inside double quotes, its quotes doubled, when it holds a comma, a
// quote, a carriage return or a line feed; as it is otherwise.
std::string csvField(std::string_view field);

// One record: the fields joined by commas, ended by CRLF.
std::string csvRecord(std::span<const std::string> fields);

} // namespace runtime
