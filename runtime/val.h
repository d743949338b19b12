#pragma once

#include <string_view>

namespace runtime {

// Reads the leading number of a text the way the input boxes are read: blanks are ignored
// anywhere, one optional leading sign, digits with at most one '.', reading stops at the first
// other character. Text without digits reads as 0. Never throws.
double Val(std::string_view text);

} // namespace runtime
