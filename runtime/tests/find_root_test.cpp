// The bracketed root search: Newton steps kept inside the bracket, bisection otherwise.

#include "runtime/find_root.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

using runtime::RootStatus;
using runtime::ValueSlope;

TEST(FindRoot, BracketedSearch) {
    // x^3 - 2x - 5, the classic test cubic; its real root to 17 digits.
    auto cubic = [](double x) { return runtime::ValueSlope{x * x * x - 2 * x - 5, 3 * x * x - 2}; };
    const auto r = runtime::findRoot(cubic, 2.0, 3.0);
    ASSERT_TRUE(r.root);
    EXPECT_NEAR(*r.root, 2.0945514815423265, 2.0945514815423265 * 1e-12);

    // A zero slope at the start and a flat region: Newton must fall back to bisection.
    auto flat = [](double x) { return runtime::ValueSlope{std::tanh(x - 1.5), 0.0}; };
    const auto f = runtime::findRoot(flat, -20.0, 40.0);
    ASSERT_TRUE(f.root);
    EXPECT_NEAR(*f.root, 1.5, 1.5e-12);

    // Newton from either end would overshoot far outside: arctan's tangent lines.
    auto atan = [](double x) {
        return runtime::ValueSlope{std::atan(x - 0.3), 1 / (1 + (x - 0.3) * (x - 0.3))};
    };
    const auto a = runtime::findRoot(atan, -50.0, 1000.0);
    ASSERT_TRUE(a.root);
    EXPECT_NEAR(*a.root, 0.3, 0.3e-12);
}

TEST(FindRoot, SaysWhenItCannot) {
    auto square = [](double x) { return runtime::ValueSlope{x * x + 1, 2 * x}; };
    const auto none = runtime::findRoot(square, -1.0, 1.0);
    EXPECT_FALSE(none.root);
    EXPECT_EQ(none.status, runtime::RootStatus::NoSignChange);

    auto nan = [](double x) { return runtime::ValueSlope{x < 0.5 ? -1.0 : std::nan(""), 0.0}; };
    EXPECT_EQ(runtime::findRoot(nan, 0.0, 1.0).status, runtime::RootStatus::NotFinite);

    auto line = [](double x) { return runtime::ValueSlope{x - 1e-3, 0.0}; };
    const auto capped = runtime::findRoot(line, -1e6, 1e6, {1e-15, 0.0, 5});
    EXPECT_FALSE(capped.root);
    EXPECT_EQ(capped.status, runtime::RootStatus::IterationLimit);
}

// An end of the bracket that is itself a root is the answer at once, whichever end it is.
TEST(FindRoot, AnEndThatIsTheRoot) {
    auto line = [](double x) { return ValueSlope{x - 1.0, 1.0}; };
    for (const auto& [lo, hi] : {std::pair{1.0, 5.0}, std::pair{-3.0, 1.0}, std::pair{5.0, 1.0}}) {
        SCOPED_TRACE(::testing::Message() << "[" << lo << ", " << hi << "]");
        const auto r = runtime::findRoot(line, lo, hi);
        EXPECT_EQ(r.status, RootStatus::Found);
        ASSERT_TRUE(r.root);
        EXPECT_EQ(*r.root, 1.0);
    }
}

// x^2 - 4 has a root on each side of 0. From the better end of [-1, 3] a Newton step lands on
// -2.5, and from the better end of [-3, 1] on 2.5: both outside, where the other root lies.
// The search must find the root inside and never look outside the bracket.
TEST(FindRoot, NewtonStepsStayInsideTheBracket) {
    struct Case {
        double lo, hi, root;
    };
    for (const Case c : {Case{-1.0, 3.0, 2.0}, Case{-3.0, 1.0, -2.0}}) {
        SCOPED_TRACE(::testing::Message() << "[" << c.lo << ", " << c.hi << "]");
        std::vector<double> looked;
        auto parabola = [&](double x) {
            looked.push_back(x);
            return ValueSlope{x * x - 4.0, 2.0 * x};
        };
        const auto r = runtime::findRoot(parabola, c.lo, c.hi);
        ASSERT_TRUE(r.root);
        EXPECT_NEAR(*r.root, c.root, 1e-11);
        for (const double x : looked) {
            EXPECT_TRUE(x >= c.lo && x <= c.hi) << "f evaluated at " << x;
        }
    }
}

// With no usable slope every step halves [0, 1]; an absolute accuracy of 2^-10 is met by the
// tenth step exactly. The limit allows that many steps, not one fewer.
TEST(FindRoot, IterationLimitCountsEveryStep) {
    auto flat = [](double x) { return ValueSlope{x - 0.3, 0.0}; };
    const double accuracy = std::ldexp(1.0, -10);
    const auto enough = runtime::findRoot(flat, 0.0, 1.0, {0.0, accuracy, 10});
    EXPECT_EQ(enough.status, RootStatus::Found);
    EXPECT_EQ(enough.iterations, 10);
    ASSERT_TRUE(enough.root);
    EXPECT_NEAR(*enough.root, 0.3, accuracy);
    const auto short1 = runtime::findRoot(flat, 0.0, 1.0, {0.0, accuracy, 9});
    EXPECT_EQ(short1.status, RootStatus::IterationLimit);
    EXPECT_FALSE(short1.root);
}

// A value that is not a number, at an end, inside the bracket or at the look beyond a Newton
// step, stops the search: no root is claimed from a function that cannot be trusted there.
TEST(FindRoot, NotANumberAnywhereStopsTheSearch) {
    const double inf = std::numeric_limits<double>::infinity();
    auto line = [](double x) { return ValueSlope{x - 0.3, 1.0}; };
    EXPECT_EQ(runtime::findRoot(line, 0.0, inf).status, RootStatus::NotFinite);
    EXPECT_EQ(runtime::findRoot(line, -inf, 1.0).status, RootStatus::NotFinite);
    auto nanAtZero = [](double x) { return ValueSlope{x == 0.0 ? std::nan("") : x - 0.3, 0.0}; };
    EXPECT_EQ(runtime::findRoot(nanAtZero, 0.0, 1.0).status, RootStatus::NotFinite);
    // Bisection's first step lands on 0.5.
    auto nanInside = [](double x) {
        return ValueSlope{x > 0.4 && x < 0.6 ? std::nan("") : x - 0.3, 0.0};
    };
    const auto inside = runtime::findRoot(nanInside, 0.0, 1.0);
    EXPECT_EQ(inside.status, RootStatus::NotFinite);
    EXPECT_FALSE(inside.root);
    // Newton on x^2 - 2 steps from 1 to 1.5, then stays above the root (f is convex); only the
    // look beyond the last small step falls just below it, where f is not a number.
    const double root2 = std::sqrt(2.0);
    auto nanBelow = [&](double x) {
        return ValueSlope{x < root2 && x > 1.4142 ? std::nan("") : x * x - 2.0, 2.0 * x};
    };
    const auto beyond = runtime::findRoot(nanBelow, 1.0, 2.0);
    EXPECT_EQ(beyond.status, RootStatus::NotFinite);
    EXPECT_FALSE(beyond.root);
}

// Slopes that are too small, too large or of the wrong sign cost steps but never move the answer
// away from the root or out of the bracket the search has proven.
TEST(FindRoot, MisleadingSlopesStillFindTheRoot) {
    const struct {
        const char* what;
        double sign; // of f: rising or falling through the root
        double slope;
    } cases[] = {
        {"too small: the step would not halve the bracket", 1.0, 0.5},
        {"too large: the steps fall short of the root", 1.0, 2.5},
        {"wrong sign: every step points away", 1.0, -1.0},
        {"wrong sign, f falling", -1.0, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<double> looked;
        auto f = [&](double x) {
            looked.push_back(x);
            return ValueSlope{c.sign * (x - 0.3), c.slope};
        };
        const auto r = runtime::findRoot(f, 0.0, 1.0);
        EXPECT_EQ(r.status, RootStatus::Found);
        ASSERT_TRUE(r.root);
        EXPECT_NEAR(*r.root, 0.3, 0.3e-12);
        for (const double x : looked) {
            EXPECT_TRUE(x >= 0.0 && x <= 1.0) << "f evaluated at " << x;
        }
    }
}

// With no accuracy asked for, the search ends when the bracket's ends are neighbouring doubles,
// well before the iteration limit.
TEST(FindRoot, StopsAtNeighbouringDoubles) {
    // No double is the root of x^2 - 2, so f is never exactly 0 on the way.
    auto flat = [](double x) { return ValueSlope{x * x - 2.0, 0.0}; };
    const auto r = runtime::findRoot(flat, 1.0, 2.0, {0.0, 0.0, 200});
    EXPECT_EQ(r.status, RootStatus::Found);
    ASSERT_TRUE(r.root);
    const double root2 = std::sqrt(2.0);
    EXPECT_LE(std::fabs(*r.root - root2), std::nextafter(root2, 2.0) - root2);
    EXPECT_LT(r.iterations, 70);
}

} // namespace
