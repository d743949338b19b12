#pragma once

#include "runtime/find_root.h"
#include "schedule/schedule.h"

#include <optional>
#include <span>

namespace schedule {

// Why a schedule has no exact effective rate.
enum class DaeExactFailure {
    None,
    NothingReceived, // the amount received at the start is not above 0
    NoPayments,      // no month pays anything back
    NotUnique,       // a month receives money: the flows change sign more than once
    NotFinite,       // a flow, the monthly rate or the annual rate is not a finite number
    NoConvergence,   // the search did not reach the accuracy within its iteration limit
};

struct DaeExact {
    std::optional<Rate> annual;  // (1 + monthly)^12 - 1
    std::optional<Rate> monthly; // m with flows[0] + sum of flows[i] / (1 + m)^i = 0
    DaeExactFailure failure = DaeExactFailure::None;
};

// The accuracy the exact rate is found to: relative, on the monthly rate.
inline constexpr runtime::RootSettings daeExactAccuracy{1e-12, 0.0, 200};

// The effective annual rate that balances the flows exactly, months counted as 1/12 of a year:
// flows[0] received at the start, flows[i] (paid, so not above 0) at the end of month i.
//
// With flows[0] > 0 and every later flow at or below 0, some below, the present value is strictly
// monotonic in m and has exactly one root above -1; it lies between (S / flows[0])^(1/n) - 1 and
// S / flows[0] - 1, S the sum paid back and n the last month that pays. Any other series is
// refused with its reason instead of a rate: a series that also receives money later may balance
// at several rates or at none, and the offer never prints a rate that may be wrong.
DaeExact dae_exact(std::span<const double> flows,
                   const runtime::RootSettings& accuracy = daeExactAccuracy);

// The same cash flows as dae_ok: cs received, then each month's commission, interest and
// principal for months 1 to per rounded to a whole month.
DaeExact dae_exact(Amount cs, Months per, const MonthlySchedule& months);

} // namespace schedule
