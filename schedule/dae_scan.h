#pragma once

#include <optional>
#include <span>

namespace schedule::detail {

// The plain scan of the 601 trial rates starting at r0: the trial whose |NPV| of `flows` is
// smallest, never trial 0 (its distance only sets the bar); several exactly equal smallest
// distances add their rates. Throws what NPV throws.
double scanReference(std::span<const double> flows, double r0);

// The same selection, found from a handful of trial rates near the root instead of all 601.
// Nothing when the series is not one positive amount followed by payments, when its figures are
// out of the range the error bounds cover, or when the neighbouring distances are too close to
// tell apart without computing them exactly as the plain scan does; the caller then runs
// scanReference. When it gives a value, that value is the plain scan's, bit for bit.
std::optional<double> scanFast(std::span<const double> flows, double r0);

// The relative error both scans' bounds assume of std::pow for the powers they take: 4 ulp.
inline constexpr double powerError = 0x1p-50;

// One trial's figures as the fast scan computes them by Horner's rule, x = 1 / (1 + trial rate),
// with the bounds on their errors that its decisions rest on; nothing when it does not take the
// series. For the tests that pin those bounds down.
struct TrialFigures {
    double G = 0;           // v_0 - H(x)
    double distance = 0;    // |x G|
    double marginG = 0;     // bounds |G - exact G|
    double marginPlain = 0; // bounds |plain scan's distance - exact |x G||
    double margin = 0;      // bounds |plain scan's distance - distance|
};
std::optional<TrialFigures> trialFigures(std::span<const double> flows, double r0, int j);

// The fast scan where it answers, the plain one where it does not: always the plain one's bits.
double scanFastOrReference(std::span<const double> flows, double r0);

} // namespace schedule::detail
