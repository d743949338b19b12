#include "schedule/cash_flows.h"

#include "runtime/numeric.h"

#include <algorithm>
#include <array>

namespace schedule::detail {

std::vector<double> cashFlows(Amount cs, Months per, const MonthlySchedule& months) {
    const int n = runtime::toInt16(per);
    std::vector<double> flows(static_cast<std::size_t>(std::max(n, 0)) + 1, 0.0);
    flows[0] = cs;
    for (int i = 1; i <= n; ++i) {
        const auto m = static_cast<std::size_t>(i);
        if (m < MonthlySchedule::size) {
            flows[m] = -(months.acomgest[m] + months.adobanda[m] + months.aprincipal[m]);
        }
    }
    return flows;
}

double shortDurationRate(const std::vector<double>& flows) {
    std::array<double, 13> series{};
    const std::size_t count = std::min<std::size_t>(flows.size(), 12);
    std::copy_n(flows.begin(), count, series.begin());
    return runtime::IRR(series);
}

double firstTrialRate(Rate DOB, Rate comision, Months per, Rate comgestluna) {
    if (per == 0.0) {
        return 0.0;
    }
    return comision / per + DOB / 12.0 + comgestluna;
}

} // namespace schedule::detail
