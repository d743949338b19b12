#include "schedule/dae_exact.h"

#include "schedule/cash_flows.h"

#include <cmath>
#include <vector>

namespace schedule {
namespace {

DaeExact failed(DaeExactFailure why) {
    DaeExact out;
    out.failure = why;
    return out;
}

} // namespace

DaeExact dae_exact(std::span<const double> flows, const runtime::RootSettings& accuracy) {
    if (flows.empty() || !std::isfinite(flows[0])) {
        return failed(DaeExactFailure::NotFinite);
    }
    if (!(flows[0] > 0.0)) {
        return failed(DaeExactFailure::NothingReceived);
    }
    long double paid = 0.0L;
    std::size_t last = 0;
    for (std::size_t i = 1; i < flows.size(); ++i) {
        if (!std::isfinite(flows[i])) {
            return failed(DaeExactFailure::NotFinite);
        }
        if (flows[i] > 0.0) {
            return failed(DaeExactFailure::NotUnique);
        }
        if (flows[i] < 0.0) {
            paid -= flows[i];
            last = i;
        }
    }
    if (last == 0) {
        return failed(DaeExactFailure::NoPayments);
    }

    // The present value at m and its slope, summed in long double by Horner's rule in
    // v = 1 / (1 + m), so that rounding stays far below the accuracy asked for.
    const std::span<const double> series = flows.first(last + 1);
    auto presentValue = [series](double m) {
        const long double v = 1.0L / (1.0L + static_cast<long double>(m));
        long double value = 0.0L;
        long double slope = 0.0L; // d value / d v
        for (std::size_t i = series.size() - 1; i > 0; --i) {
            slope = slope * v + value;
            value = value * v + static_cast<long double>(series[i]);
        }
        slope = slope * v + value;
        value = value * v + static_cast<long double>(series[0]);
        // d v / d m = -v^2
        return runtime::ValueSlope{static_cast<double>(value), static_cast<double>(-slope * v * v)};
    };

    const long double ratio = paid / static_cast<long double>(flows[0]);
    const double outer = static_cast<double>(ratio - 1.0L);
    const double inner =
        static_cast<double>(std::pow(ratio, 1.0L / static_cast<long double>(last)) - 1.0L);
    const double lo = std::min(inner, outer);
    const double hi = std::max(inner, outer);
    // Rounding can put a bracket end a hair on the wrong side of a root that sits on it: widen by
    // a few units in the last place until the ends differ in sign.
    double a = lo;
    double b = hi;
    for (int widen = 0; widen < 4; ++widen) {
        const double fa = presentValue(a).value;
        const double fb = presentValue(b).value;
        if (fa == 0.0 || fb == 0.0 || (fa < 0.0) != (fb < 0.0)) {
            break;
        }
        const double margin = 4.0 * (std::fabs(hi - lo) + 1e-15 * (1.0 + std::fabs(hi)));
        a = std::max(lo - margin * (widen + 1), -0.5 * (1.0 + lo) + lo);
        b = hi + margin * (widen + 1);
    }

    const runtime::RootResult root = runtime::findRoot(presentValue, a, b, accuracy);
    if (root.status == runtime::RootStatus::NotFinite) {
        return failed(DaeExactFailure::NotFinite);
    }
    if (!root.root) {
        return failed(DaeExactFailure::NoConvergence); // out of iterations, or an unproven bracket
    }
    const double m = *root.root;
    // (1 + m)^12 - 1 without losing the digits of a small m to the subtraction.
    const double annual = std::expm1(12.0 * std::log1p(m));
    if (!std::isfinite(annual)) {
        return failed(DaeExactFailure::NotFinite);
    }
    DaeExact out;
    out.monthly = m;
    out.annual = annual;
    return out;
}

DaeExact dae_exact(Amount cs, Months per, const MonthlySchedule& months) {
    if (!std::isfinite(per) || per < 0.0 || per > 32767.0) {
        return failed(DaeExactFailure::NotFinite);
    }
    const std::vector<double> flows = detail::cashFlows(cs, per, months);
    return dae_exact(flows);
}

} // namespace schedule
