#include "runtime/find_root.h"

#include <algorithm>
#include <cmath>

namespace runtime {
namespace {

bool finite(const ValueSlope& v) {
    return std::isfinite(v.value);
}

} // namespace

RootResult findRoot(const std::function<ValueSlope(double)>& f, double lo, double hi,
                    const RootSettings& settings) {
    RootResult result;
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        result.status = RootStatus::NotFinite;
        return result;
    }
    const ValueSlope flo = f(lo);
    const ValueSlope fhi = f(hi);
    if (!finite(flo) || !finite(fhi)) {
        result.status = RootStatus::NotFinite;
        return result;
    }
    if (flo.value == 0.0 || fhi.value == 0.0) {
        result.root = flo.value == 0.0 ? lo : hi;
        result.status = RootStatus::Found;
        return result;
    }
    if ((flo.value < 0.0) == (fhi.value < 0.0)) {
        return result; // no sign change: nothing proves a root is inside
    }

    // The bracket [neg, pos] by the sign of f at each end (neg may lie right of pos).
    double neg = flo.value < 0.0 ? lo : hi;
    double pos = flo.value < 0.0 ? hi : lo;
    auto tolerance = [&](double x) {
        return std::max(settings.relativeAccuracy * std::fabs(x), settings.absoluteAccuracy);
    };
    auto settle = [&](double x, ValueSlope fx) {
        if (fx.value < 0.0) {
            neg = x;
        } else {
            pos = x;
        }
    };

    double x = std::fabs(flo.value) < std::fabs(fhi.value) ? lo : hi;
    ValueSlope fx = x == lo ? flo : fhi;
    double previousWidth = std::fabs(pos - neg);
    for (result.iterations = 1; result.iterations <= settings.maxIterations; ++result.iterations) {
        const double left = std::min(neg, pos);
        const double right = std::max(neg, pos);
        double next = x - fx.value / fx.slope;
        const bool newton = std::isfinite(next) && next > left && next < right &&
                            std::fabs(next - x) * 2.0 <= previousWidth;
        if (!newton) {
            next = left + (right - left) / 2.0;
        }
        previousWidth = right - left;
        const double step = next - x;
        x = next;
        fx = f(x);
        if (!finite(fx)) {
            result.status = RootStatus::NotFinite;
            return result;
        }
        if (fx.value == 0.0) {
            break;
        }
        settle(x, fx);

        // A Newton step below the accuracy: one look just beyond it, on the root's side, proves
        // the root lies within the accuracy of x.
        const double tol = tolerance(x);
        if (newton && std::fabs(step) <= tol) {
            const double beyond = x - std::copysign(tol, fx.value / fx.slope);
            if (beyond > std::min(neg, pos) && beyond < std::max(neg, pos)) {
                const ValueSlope fb = f(beyond);
                if (!finite(fb)) {
                    result.status = RootStatus::NotFinite;
                    return result;
                }
                settle(beyond, fb);
                if ((fb.value < 0.0) == (fx.value < 0.0)) {
                    x = beyond; // still short of the root: go on from the nearer point
                    fx = fb;
                }
            }
        }
        const double width = std::fabs(pos - neg);
        if (width <= tol || std::nextafter(neg, pos) == pos) {
            break;
        }
    }
    if (result.iterations > settings.maxIterations) {
        result.status = RootStatus::IterationLimit;
        return result;
    }
    // A last Newton step from x costs nothing and, while it stays inside the proven bracket,
    // only brings the answer nearer the root.
    if (fx.value != 0.0) {
        const double polished = x - fx.value / fx.slope;
        if (std::isfinite(polished) && polished >= std::min(neg, pos) &&
            polished <= std::max(neg, pos)) {
            x = polished;
        }
    }
    result.root = x;
    result.status = RootStatus::Found;
    return result;
}

} // namespace runtime
