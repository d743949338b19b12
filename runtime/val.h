#pragma once

#include <cstddef>
#include <string_view>

namespace runtime {

// Reads the leading number of a text the way the input boxes are read: blanks are ignored
// anywhere, one optional leading sign, digits with at most one '.', reading stops at the first
// other character. Text without digits reads as 0. Never throws.
double Val(std::string_view text);

// How much of `text` Val reads: the length of its leading part up to the last character the
// reading takes (a sign, digits, one '.', blanks between them). Zero when Val finds no digit.
// Whatever follows it that is not a blank is ignored by Val.
std::size_t ValExtent(std::string_view text);

// Whether Val reads all of `text`: nothing but blanks follows what it takes.
bool ValReadsWhole(std::string_view text);

} // namespace runtime
