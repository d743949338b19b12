#include "schedule/dae_scan.h"

#include "runtime/numeric.h"
#include "schedule/cash_flows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <limits>

namespace schedule::detail {
namespace {

// Why the fast scan selects what the plain one selects; docs/dae-scan.md gives the argument as
// numbered lemmas (L1 to L10), which the comments below cite.
//
// The plain scan takes, for each trial rate r_j, the distance D_j = |NPV| computed in doubles
// with b_j = 1 + r_j (rounded) and a power per term. Write x = 1 / b_j and w_i = -v_i for the
// payments (i >= 1). With v_0 > 0 and every w_i >= 0 the exact NPV is F = x * G(x), where
// G(x) = v_0 - H(x) and H(x) = sum of w_i x^i:
//  - H grows with x and b_j never decreases along the trials, so G_j never decreases with j:
//    trials with G < 0 come first, then the others;
//  - where G < 0, |F| = x * (H - v_0) is a product of two positive factors that shrink as j
//    grows, so |F| only shrinks on the way to the root;
//  - the slope of F in x is v_0 - K(x), K(x) = sum of (i + 1) w_i x^i, and K grows with x: once
//    K >= v_0 at the last trial, F never decreases with j, so |F| only grows past the root.
// The fast scan evaluates H by Horner's rule (no power) at a few trials, with a bound on its
// rounding error (L4, L5); the plain scan's rounding error is bounded too (L3: a power within
// 4 ulp, the one assumption made of the platform (L2), one division and n additions per trial). A
// trial is selected only when its distance, error bars included, lies strictly below the bars of
// its neighbours and below a bound on every trial beyond them. When two neighbours' bars overlap,
// their distances are computed exactly as the plain scan computes them and compared bit for bit.
// Anything else goes to the plain scan.

constexpr double unitRoundoff = 0x1p-53;
// Flows up to 2^900, powers within 2^+-90 and at most 2^15 months keep every term, sum and
// product of both scans finite (L6); underflowSlack covers the terms that fall into the
// subnormal range, which are tiny anyway (L7).
constexpr double largestFlow = 0x1p900;
constexpr double exponentRoom = 90.0;
constexpr std::size_t mostMonths = std::size_t{1} << 15;
constexpr double underflowSlack = 0x1p-900;
constexpr std::size_t lastTrial = trialCount - 1;

// How far apart the last trial below the root and the first above it may be for the fast scan to
// decide; the capacities below follow from it (L10) and are checked here, because a smaller one
// would drop a candidate or write past an array.
constexpr int widestBracket = 3;
constexpr std::size_t mostCandidates = widestBracket + 1;     // lo .. hi
constexpr std::size_t mostWanted = widestBracket + 3;         // lo - 1 .. hi + 1
constexpr std::size_t nearGuess = 4;                          // guess - 1 .. guess + 2
constexpr std::size_t mostKnown = 2 + nearGuess + mostWanted; // and both ends
static_assert(mostWanted >= nearGuess, "the evaluation list sized for one holds the other");

// H(x) = sum of w_i x^i and, WithK, K(x) = sum of (i + 1) w_i x^i, at N points at once. Each
// sum is split into its even and odd powers, two Horner chains in y = x * x, so that the 2N or
// 4N chains run side by side at half the length. A term w_i x^i (i >= 1) is rounded at most
// 2.5 i + 1.5 times (2.5 i + 2.5 for K, whose coefficient is rounded too), x's own rounding
// included; all terms are >= 0, so each sum is within (2.5 n + 2.5) u of its exact value (L4).
template <std::size_t N, bool WithK>
void sums(std::span<const double> v, const std::array<double, N>& x, std::array<double, N>& h,
          std::array<double, N>& k) {
    const std::size_t n = v.size() - 1;
    std::array<double, N> y{};
    std::array<double, N> evenH{};
    std::array<double, N> oddH{};
    std::array<double, N> evenK{};
    std::array<double, N> oddK{};
    for (std::size_t p = 0; p < N; ++p) {
        y[p] = x[p] * x[p];
    }
    // w_i for i = 2q (even chains, i >= 2) and i = 2q + 1 (odd chains); 0 past month n.
    for (std::size_t q = n / 2 + 1; q-- > 0;) {
        const std::size_t i = 2 * q;
        const double we = i >= 2 && i <= n ? -v[i] : 0.0;
        const double wo = i + 1 <= n ? -v[i + 1] : 0.0;
        const double ke = static_cast<double>(i + 1) * we;
        const double ko = static_cast<double>(i + 2) * wo;
        for (std::size_t p = 0; p < N; ++p) {
            evenH[p] = evenH[p] * y[p] + we;
            oddH[p] = oddH[p] * y[p] + wo;
            if constexpr (WithK) {
                evenK[p] = evenK[p] * y[p] + ke;
                oddK[p] = oddK[p] * y[p] + ko;
            }
        }
    }
    for (std::size_t p = 0; p < N; ++p) {
        h[p] = evenH[p] + x[p] * oddH[p];
        if constexpr (WithK) {
            k[p] = evenK[p] + x[p] * oddK[p];
        }
    }
}

// One trial evaluated by Horner's rule, with its error bars.
struct Trial {
    int j = 0;
    double G = 0;           // v_0 - H
    double distance = 0;    // |F|
    double F = 0;           // x * G, the NPV
    double marginG = 0;     // bounds |G - exact G|
    double marginPlain = 0; // bounds |plain scan's distance - exact |F||
    double margin = 0;      // bounds |plain scan's distance - distance|
    int sign = 0;           // of the exact G: -1, +1, or 0 when the bars straddle 0
};

class FastScan {
public:
    FastScan(std::span<const double> flows, double r0) : v_(flows), r0_(r0) {}
    std::optional<double> run();
    std::optional<Trial> figures(int j);

private:
    bool admissible();
    const Trial* find(int j) const;
    void add(int j, double x, double h);
    bool evaluate(std::span<const int> wanted);
    bool evaluate(std::initializer_list<int> wanted) {
        return evaluate(std::span<const int>(wanted.begin(), wanted.size()));
    }
    void newtonGuess(double x, double h, double k, int& guess) const;
    bool bracket(int& lo, int& hi) const;
    std::optional<double> select(int lo, int hi) const;

    std::span<const double> v_;
    double r0_;
    std::size_t n_ = 0;
    double v0_ = 0;
    std::array<double, trialCount> trial_{};
    double approxError_ = 0; // relative error bound of the Horner figures
    double plainError_ = 0;  // relative error bound of the plain scan's figures
    double slopeError_ = 0;  // relative error bound of K
    bool growsPastRoot_ = false;
    double xLastBelow_ = 0; // below 1 / b_600 (L8)

    static constexpr std::size_t capacity = 16;
    static_assert(capacity >= mostKnown, "every trial the scan evaluates must have a place");
    std::array<Trial, capacity> known_{};
    std::size_t knownCount_ = 0;
};

// One positive amount then payments only, every figure finite and within the covered range.
bool FastScan::admissible() {
    if (v_.size() < 2 || v_.size() > mostMonths + 1) {
        return false;
    }
    n_ = v_.size() - 1;
    v0_ = v_[0];
    if (!(v0_ > 0.0 && v0_ <= largestFlow)) {
        return false;
    }
    bool paying = false;
    for (std::size_t i = 1; i <= n_; ++i) {
        const double value = v_[i];
        if (!(value <= 0.0 && value >= -largestFlow)) { // NaN fails too
            return false;
        }
        paying = paying || value < 0.0;
    }
    if (!paying) {
        return false;
    }

    trial_[0] = r0_;
    for (std::size_t j = 1; j < trialCount; ++j) {
        trial_[j] = trial_[j - 1] + trialStep; // as the plain scan builds them
    }
    const double bFirst = 1.0 + trial_[0];
    const double bLast = 1.0 + trial_[lastTrial];
    const double room = exponentRoom / static_cast<double>(n_ + 1);
    if (!(bFirst > 0.0 && std::fabs(std::log2(bFirst)) <= room &&
          std::fabs(std::log2(bLast)) <= room)) {
        return false;
    }
    const double n = static_cast<double>(n_);
    // Twice the first-order bounds, which leaves room for every second-order term: L5 derives
    // the Horner figures' 2.5 n + 5 (rounded up to 3 n + 6), L3 the plain scan's, L5 K's.
    approxError_ = 2.0 * (3.0 * n + 6.0) * unitRoundoff;
    plainError_ = 2.0 * ((n + 2.0) * unitRoundoff + powerError);
    slopeError_ = 2.0 * (6.0 * n + 10.0) * unitRoundoff;
    xLastBelow_ = (1.0 / bLast) * (1.0 - 0x1p-50);
    return true;
}

std::optional<Trial> FastScan::figures(int j) {
    if (!admissible() || !evaluate({j}) || find(j) == nullptr) {
        return std::nullopt;
    }
    return *find(j);
}

const Trial* FastScan::find(int j) const {
    for (std::size_t k = 0; k < knownCount_; ++k) {
        if (known_[k].j == j) {
            return &known_[k];
        }
    }
    return nullptr;
}

void FastScan::add(int j, double x, double h) {
    Trial t;
    t.j = j;
    t.G = v0_ - h;
    t.F = x * t.G;
    t.distance = std::fabs(t.F);
    const double total = v0_ + h;                    // sum of the terms' sizes, over x
    const double size = x * total * (1.0 + 0x1p-30); // above the exact sum of |terms| (L8)
    t.marginG = approxError_ * total + underflowSlack;
    t.marginPlain = plainError_ * size + underflowSlack;
    t.margin = approxError_ * size + t.marginPlain + underflowSlack;
    t.sign = t.G < -t.marginG ? -1 : (t.G > t.marginG ? 1 : 0);
    known_[knownCount_++] = t;
}

// Evaluates the wanted trials not known yet, four chains at a time. False when out of room.
bool FastScan::evaluate(std::span<const int> wanted) {
    std::array<int, 8> todo{};
    static_assert(todo.size() >= mostWanted, "the largest list asked for must fit");
    std::size_t count = 0;
    for (int j : wanted) {
        if (j < 0 || j > static_cast<int>(lastTrial) || find(j) != nullptr ||
            std::find(todo.begin(), todo.begin() + count, j) != todo.begin() + count) {
            continue;
        }
        if (count == todo.size()) {
            return false;
        }
        todo[count++] = j;
    }
    if (knownCount_ + count > capacity) {
        return false;
    }
    for (std::size_t start = 0; start < count; start += 4) {
        std::array<double, 4> x{};
        std::array<double, 4> h{};
        std::array<double, 4> unused{};
        for (std::size_t k = 0; k < 4; ++k) {
            const int j = todo[std::min(start + k, count - 1)];
            x[k] = 1.0 / (1.0 + trial_[static_cast<std::size_t>(j)]);
        }
        sums<4, false>(v_, x, h, unused);
        for (std::size_t k = 0; k < 4 && start + k < count; ++k) {
            add(todo[start + k], x[k], h[k]);
        }
    }
    return true;
}

// Newton's method on G, from the first trial: only a guess of the trial index next to the root,
// checked afterwards. G is concave and falling in x, so from a point where G < 0 the steps
// approach the root from one side without overshooting.
void FastScan::newtonGuess(double x, double h, double k, int& guess) const {
    double estimate = std::numeric_limits<double>::quiet_NaN();
    for (int iteration = 0; iteration < 30; ++iteration) {
        const double slope = (k - h) / x; // H'(x): K - H = sum of i w_i x^i
        if (!(slope > 0.0)) {
            break;
        }
        const double dx = (v0_ - h) / slope;
        x += dx;
        if (!(x > 0.0 && std::isfinite(x))) {
            break;
        }
        estimate = ((1.0 / x - 1.0) - r0_) / trialStep;
        // Far outside the trials, or a step below 1.5 trials: Newton's error is then about
        // the square of the step, far below one trial.
        if (!(std::fabs(estimate) < 1e6) || std::fabs(dx) < 1.5 * trialStep * x * x) {
            break;
        }
        std::array<double, 1> at{x};
        std::array<double, 1> value{};
        std::array<double, 1> sumK{};
        sums<1, true>(v_, at, value, sumK);
        h = value[0];
        k = sumK[0];
    }
    if (std::isfinite(estimate)) {
        guess = static_cast<int>(std::clamp(std::floor(estimate), 0.0, 599.0));
    }
}

// The last trial known to lie below the root and the first known to lie above it (-1 and 601
// when there is none). False when the known signs contradict each other.
bool FastScan::bracket(int& lo, int& hi) const {
    lo = -1;
    hi = static_cast<int>(trialCount);
    for (std::size_t k = 0; k < knownCount_; ++k) {
        const Trial& t = known_[k];
        if (t.sign < 0) {
            lo = std::max(lo, t.j);
        } else if (t.sign > 0) {
            hi = std::min(hi, t.j);
        }
    }
    return lo < hi;
}

std::optional<double> FastScan::run() {
    if (!admissible()) {
        return std::nullopt;
    }

    // Both ends, with K: the first for Newton, the last for the growth past the root.
    const double bLast = 1.0 + trial_[lastTrial];
    std::array<double, 2> ends{1.0 / (1.0 + trial_[0]), 1.0 / bLast};
    std::array<double, 2> h{};
    std::array<double, 2> k{};
    sums<2, true>(v_, ends, h, k);
    add(0, ends[0], h[0]);
    add(static_cast<int>(lastTrial), ends[1], h[1]);
    growsPastRoot_ = k[1] - slopeError_ * k[1] - underflowSlack > v0_;

    int lo = -1;
    int hi = 0;
    if (!bracket(lo, hi)) {
        return std::nullopt;
    }
    if (hi - lo > widestBracket) {
        int guess = -1;
        newtonGuess(ends[0], h[0], k[0], guess);
        if (guess >= 0 && !evaluate({guess - 1, guess, guess + 1, guess + 2})) {
            return std::nullopt;
        }
        if (!bracket(lo, hi)) {
            return std::nullopt;
        }
    }
    if (hi - lo > widestBracket) {
        return std::nullopt; // the guess missed the root, or trials near it are undecided
    }
    // Every candidate, and the trials just outside them that bound the rest.
    std::array<int, mostWanted> wanted{};
    std::size_t count = 0;
    for (int j = lo - 1; j <= hi + 1; ++j) {
        wanted[count++] = j;
    }
    if (!evaluate(std::span<const int>(wanted.data(), count))) {
        return std::nullopt;
    }
    return select(lo, hi);
}

std::optional<double> FastScan::select(int lo, int hi) const {
    const int first = std::max(lo, 0);
    const int last = std::min(hi, static_cast<int>(lastTrial));

    // A bound below the plain scan's distance of every trial outside first..last (L9).
    double outside = std::numeric_limits<double>::infinity();
    if (lo >= 1) {
        const Trial& t = *find(lo - 1); // below the root: |F| falls up to lo
        outside = std::min(outside, t.distance - t.margin);
    }
    if (hi + 1 <= static_cast<int>(lastTrial)) {
        const Trial& t = *find(hi + 1);
        // G grows and x falls from hi + 1 on, so |F| >= x_600 * G(hi + 1).
        double bound = xLastBelow_ * (t.G - t.marginG) - t.marginPlain;
        if (growsPastRoot_) {
            bound = std::max(bound, t.F - t.margin); // F itself grows from hi + 1 on
        }
        outside = std::min(outside, bound);
    }

    const Trial* best = nullptr;
    for (int j = first; j <= last; ++j) {
        const Trial* t = find(j);
        if (best == nullptr || t->distance < best->distance) {
            best = t;
        }
    }
    const double bestAbove = best->distance + best->margin;
    bool clear = bestAbove < outside;
    for (int j = first; j <= last && clear; ++j) {
        const Trial* t = find(j);
        clear = t == best || bestAbove < t->distance - t->margin;
    }
    if (clear) {
        // The only smallest distance; trial 0 only sets the bar (L9).
        return best->j == 0 ? 0.0 : trial_[static_cast<std::size_t>(best->j)];
    }

    // Too close to call from the bars: the plain scan's own figures for the candidates, added as
    // the plain scan adds them, trial 0 left out (L9).
    std::array<double, mostCandidates> exact{};
    if (last - first >= static_cast<int>(exact.size())) {
        return std::nullopt; // not reached: run() decides only narrower brackets
    }
    double smallest = std::numeric_limits<double>::infinity();
    for (int j = first; j <= last; ++j) {
        const double d = std::fabs(runtime::NPV(trial_[static_cast<std::size_t>(j)], v_));
        if (!std::isfinite(d)) {
            return std::nullopt;
        }
        exact[static_cast<std::size_t>(j - first)] = d;
        smallest = std::min(smallest, d);
    }
    if (!(smallest < outside)) {
        return std::nullopt;
    }
    double m = 0.0;
    for (int j = std::max(first, 1); j <= last; ++j) {
        if (exact[static_cast<std::size_t>(j - first)] == smallest) {
            m += trial_[static_cast<std::size_t>(j)];
        }
    }
    return m;
}

} // namespace

std::optional<double> scanFast(std::span<const double> flows, double r0) {
    return FastScan(flows, r0).run();
}

std::optional<TrialFigures> trialFigures(std::span<const double> flows, double r0, int j) {
    const std::optional<Trial> t = FastScan(flows, r0).figures(j);
    if (!t) {
        return std::nullopt;
    }
    return TrialFigures{t->G, t->distance, t->marginG, t->marginPlain, t->margin};
}

double scanFastOrReference(std::span<const double> flows, double r0) {
    const std::optional<double> fast = scanFast(flows, r0);
    return fast ? *fast : scanReference(flows, r0);
}

} // namespace schedule::detail
