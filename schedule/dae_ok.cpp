#include "schedule/cash_flows.h"
#include "schedule/dae_scan.h"
#include "schedule/schedule.h"

#include "runtime/numeric.h"

#include <array>
#include <cmath>

namespace schedule {

double putere(const double& mem, const double& ex) {
    const int k = runtime::toInt16(ex);
    double result = 1.0;
    for (int i = 0; i < k; ++i) {
        result *= mem;
    }
    return result;
}

namespace detail {

double scanReference(std::span<const double> flows, double r0) {
    std::array<double, detail::trialCount> trial{};
    std::array<double, detail::trialCount> distance{};
    trial[0] = r0;
    for (int j = 1; j < detail::trialCount; ++j) {
        trial[j] = trial[j - 1] + detail::trialStep;
    }
    for (int j = 0; j < detail::trialCount; ++j) {
        distance[j] = std::fabs(runtime::NPV(trial[j], flows));
    }
    double smallest = distance[0];
    for (int j = 1; j < detail::trialCount; ++j) {
        if (distance[j] < smallest) {
            smallest = distance[j];
        }
    }
    double m = 0.0;
    for (int j = 1; j < detail::trialCount; ++j) {
        m += distance[j] == smallest ? trial[j] : 0.0;
    }
    return m;
}

} // namespace detail

namespace {

// The effective rate with the given scan of the trial rates; dae_ok and dae_ok_reference differ
// only in it.
double effectiveRate(const Amount& cs, const Rate& DOB, const Rate& comision, const Months& per,
                     Rate comgestluna, const MonthlySchedule& months,
                     double (*scan)(std::span<const double>, double)) {
    const std::vector<double> flows = detail::cashFlows(cs, per, months);
    double m = 0.0;
    if (per > 1.0 && per < 12.0) {
        m = detail::shortDurationRate(flows);
    } else {
        m = scan(flows, detail::firstTrialRate(DOB, comision, per, comgestluna));
    }
    return putere(m + 1.0, 12.0) - 1.0;
}

} // namespace

double dae_ok(const Amount& cs, const Rate& DOB, const Rate& comision, const Months& per,
              Rate comgestluna, const MonthlySchedule& months) {
    return effectiveRate(cs, DOB, comision, per, comgestluna, months, detail::scanFastOrReference);
}

double dae_ok_reference(const Amount& cs, const Rate& DOB, const Rate& comision, const Months& per,
                        Rate comgestluna, const MonthlySchedule& months) {
    return effectiveRate(cs, DOB, comision, per, comgestluna, months, detail::scanReference);
}

} // namespace schedule
