#include "loan/loan.h"

namespace loan {

// Rules are tried in order; the first whose duration and credit bounds both hold decides.
// Rule 3 comes before rules 4 and 5, so they decide only durations above 47 months, and the
// band between 3999.99 and 4000 belongs to no rule.
Rate dobgrila(const Months& per, Amount valoarecredit) {
    const Amount c = valoarecredit;
    if (per >= 6 && per <= 12 && c > 510) {
        return 0.167;
    }
    if (per >= 13 && per <= 36 && c <= 30000) {
        return 0.107;
    }
    if (per >= 37 && per <= 47 && c <= 30000) {
        return 0.09;
    }
    if (per >= 37 && per <= 60 && c >= 510 && c <= 3999.99) {
        return 0.09;
    }
    if (per >= 37 && per <= 60 && c >= 4000 && c <= 30000) {
        return 0.07;
    }
    return 0.0;
}

} // namespace loan
