#pragma once

// Names that say what a double holds, as documentation; the arithmetic is plain double.
//
// The formula procedures (credit value, rate grid, schedule, DAE, largest credit) take their
// operands as const references on purpose: their signatures mirror the procedures the
// maintainers know, whose operands are passed by reference. Everything else takes scalars by
// value.
namespace runtime {

using Rate = double;   // a fraction: 0.087 is 8.7 %
using Amount = double; // RON
using Months = double; // may hold a fraction, as typed

// The last month a schedule has room for; no duration guard may reach past it.
inline constexpr int scheduleMonths = 600;

} // namespace runtime
