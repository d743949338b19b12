#pragma once

#include "schedule/schedule.h"

#include <cstddef>
#include <vector>

namespace testsupport {

// Months 0 to n of the DAE's cash flows, built here independently of the library: cs received,
// then each month's commission, interest and principal paid.
inline std::vector<double> flowsOf(double cs, int n, const schedule::MonthlySchedule& s) {
    std::vector<double> cf(static_cast<std::size_t>(n) + 1, 0.0);
    cf[0] = cs;
    for (std::size_t i = 1; i < cf.size(); ++i) {
        cf[i] = -(s.acomgest[i] + s.adobanda[i] + s.aprincipal[i]);
    }
    return cf;
}

} // namespace testsupport
