#include "loan/loan.h"

namespace loan {

// In the built-in grid rule 3 comes before rules 4 and 5, so they decide only durations above
// 47 months, and the band between 3999.99 and 4000 belongs to no rule.
Rate dobgrila(const Months& per, Amount valoarecredit, std::span<const tariff::InterestRule> grid) {
    for (const tariff::InterestRule& rule : grid) {
        if (rule.holds(per, valoarecredit)) {
            return rule.rate;
        }
    }
    return 0.0;
}

} // namespace loan
