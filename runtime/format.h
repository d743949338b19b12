#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Formats a number with one of the display patterns of the window:
//   "0.00"       at least one integer digit, two decimals       1234.5  -> "1234.50"
//   " 0.00"      the same after a leading blank                 16.7    -> " 16.70"
//   "## ###.00"  a blank before the last three integer digits   27598.9 -> "27 598.90"
// The decimal separator is always '.', the one Val reads, whatever the desktop's locale.
// A value exactly halfway between two displayed values rounds away from zero; a value that
// displays as zero never carries a minus sign. Infinities and NaN show as "Infinity",
// "-Infinity" and "NaN". Any other pattern is a RuntimeError.
std::string Format(double value, std::string_view pattern);

// The shortest general form of a number, up to 15 significant digits, no grouping: 8.60904,
// 60, 0.0001, 1E-05, 1E+15. A negative zero is shown "0".
std::string NumberToText(double value);

} // namespace runtime
