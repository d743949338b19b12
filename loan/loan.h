#pragma once

#include "runtime/units.h"
#include "runtime/variant.h"
#include "tariff/tariff.h"

#include <span>

// Credit value, interest-rate grid, management commission, period interest, indebtedness index.
// Each formula reads only its operands (by reference, never modified) and the state values the
// caller hands it explicitly.
namespace loan {

using runtime::Amount;
using runtime::Months;
using runtime::Rate;

// Product value less down payment, plus the granting commission; `comacordmin` is charged
// instead of the rate when the rate gives less. The integer 0 when `cs1` is 0.
runtime::Variant valcredit(const Amount& cs1, const Rate& comision, const Amount& avans,
                           Amount comacordmin);

// Annual interest rate of the grid for a duration and the current credit value: the first rule
// that holds; 0 when none does.
Rate dobgrila(const Months& per, Amount valoarecredit, std::span<const tariff::InterestRule> grid);

// Management commission of one month on a balance.
runtime::Variant calccomgestsold(const Amount& valcr, Rate comgestluna);

// What the instalments pay beyond the credit value: r * per - vc.
runtime::Variant DOBAFERENTA(const Amount& r, const Amount& vc, const Months& per);

// Indebtedness index: |(Td + rtlx) / (vn - tad)|, 0 when vn is 0 or equals tad.
double INDBNR(const Amount& vn, const Amount& Td, const Amount& rtlx, const Amount& tad);

} // namespace loan
