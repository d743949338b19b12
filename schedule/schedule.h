#pragma once

#include "runtime/units.h"
#include "runtime/variant.h"

#include <array>
#include <cstddef>

// Repayment schedule, effective annual rate and the credit the customer's income supports.
namespace schedule {

using runtime::Amount;
using runtime::Months;
using runtime::Rate;

// The five monthly schedules. Index m holds month m, so index 0 is never written; the last is
// runtime::scheduleMonths. They are never cleared: a shorter schedule leaves the tail of an
// earlier, longer one in place, and the effective rate may read it back (a fractional duration
// rounds up past the last month written).
struct MonthlySchedule {
    static constexpr std::size_t size = runtime::scheduleMonths + 1;
    std::array<double, size> adobanda{};   // interest of month m
    std::array<double, size> acomgest{};   // management commission of month m
    std::array<double, size> aasig{};      // insurance of month m
    std::array<double, size> aprincipal{}; // principal repaid in month m
    std::array<double, size> asold{};      // balance after month m
};

// Level instalment of a credit whose interest, management commission and insurance are all
// charged on the balance; writes months 1 to the whole part of DURCRED (month 1 always).
// Nothing when DURCRED or valcr is 0.
runtime::Variant calcratacomsold(const Amount& valcr, const Rate& DOB, const Months& DURCRED,
                                 Rate comgestluna, Rate procasig, MonthlySchedule& months);

// mem multiplied ex times (ex rounded to a 16-bit integer), starting from 1.0.
double putere(const double& mem, const double& ex);

// Effective annual rate of the cash flows: cs received, then each month's commission, interest
// and principal paid. IRR for 1 < per < 12, otherwise the scan of 601 trial monthly rates.
double dae_ok(const Amount& cs, const Rate& DOB, const Rate& comision, const Months& per,
              Rate comgestluna, const MonthlySchedule& months);

// The plain scan: a power for every term of every trial rate. The reference the fast scan
// is proven against; dae_ok gives the same result to the last bit.
double dae_ok_reference(const Amount& cs, const Rate& DOB, const Rate& comision, const Months& per,
                        Rate comgestluna, const MonthlySchedule& months);

// Largest financed amount the income supports, the instalments taking at most `limit` of the
// income left after other debts (0.35 in the built-in tariff); the ceiling
// plafoncredit / (comision + 1) when that is lower; -1 when the customer is refused (ibnr above
// the limit); nothing when ibnr equals the limit.
runtime::Variant sumacccomsold(const Amount& sal, const Rate& DOB, const Rate& comision,
                               const Months& per, const double& ibnr, const Rate& asi,
                               const Amount& arate, const Amount& adat, const Rate& cl,
                               Amount plafoncredit, Rate limit);

} // namespace schedule
