#pragma once

#include "schedule/schedule.h"

#include <vector>

namespace schedule::detail {

// Months 0 to n of the credit's cash flows, n the duration rounded to a whole month: the amount
// received, then each month's commission, interest and principal paid, negated. Insurance is
// left out. The series is as long as the duration needs, so durations beyond ten years are
// scanned like the others; months past the end of the schedule arrays count as 0.
std::vector<double> cashFlows(Amount cs, Months per, const MonthlySchedule& months);

// The monthly rate that balances short durations (1 < per < 12): IRR of months 0 to 11 and a
// closing 0.
double shortDurationRate(const std::vector<double>& flows);

// Starting trial rate of the scan: comision / per + DOB / 12 + comgestluna, 0 when per is 0.
double firstTrialRate(Rate DOB, Rate comision, Months per, Rate comgestluna);

// Step between trial rates, added repeatedly (not multiplied) so each trial is the previous plus
// it.
inline constexpr double trialStep = 0.00003;
inline constexpr int trialCount = 601;

} // namespace schedule::detail
