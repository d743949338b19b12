#pragma once

#include "tariff/checker.h"

namespace tariff {

// Checks the law's blocks of a second-version file (the creditor, the late-payment costs, the
// early-repayment terms, how long the information holds, the legal limits) and fills the terms.
void checkLegalTerms(Checker& c, const json& root, Terms& t);

} // namespace tariff
