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

// The fast scan where it answers, the plain one where it does not: always the plain one's bits.
double scanFastOrReference(std::span<const double> flows, double r0);

} // namespace schedule::detail
