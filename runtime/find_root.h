#pragma once

#include <functional>
#include <optional>

namespace runtime {

// When the bracketed search stops.
struct RootSettings {
    double relativeAccuracy = 1e-12; // the bracket around the root is narrower than this x |root|
    double absoluteAccuracy = 0.0;   // ... or narrower than this (for a root at or near 0)
    int maxIterations = 200;
};

// A function value and its slope at one point.
struct ValueSlope {
    double value = 0.0;
    double slope = 0.0;
};

enum class RootStatus {
    Found,
    NoSignChange,   // f(lo) and f(hi) have the same sign: the bracket holds no root it can prove
    NotFinite,      // f gave a value that is not a number
    IterationLimit, // the bracket did not shrink to the accuracy in time
};

struct RootResult {
    std::optional<double> root;
    RootStatus status = RootStatus::NoSignChange;
    int iterations = 0;
};

// A root of f inside [lo, hi], where f(lo) and f(hi) must differ in sign (or one of them be 0).
// Newton steps from the better end, kept inside the bracket; a step that leaves the bracket or
// does not halve it is replaced by bisection, so the bracket always shrinks and the search never
// diverges. It stops when the bracket meets the accuracy or cannot shrink any more (its ends are
// neighbouring doubles), and returns no root when the bracket does not hold a sign change.
RootResult findRoot(const std::function<ValueSlope(double)>& f, double lo, double hi,
                    const RootSettings& settings = {});

} // namespace runtime
