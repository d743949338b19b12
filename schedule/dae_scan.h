#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace schedule {

// Which scan of trial rates dae_ok runs. Both select the same trial rate to the last bit; the
// plain one stays for the tests and for timing the fast one against it side by side. The choice
// is process-wide; everything but those benchmarks leaves it at Fast.
enum class DaeScan : std::uint8_t { Fast, Reference };
void useDaeScan(DaeScan scan) noexcept;
DaeScan daeScan() noexcept;

} // namespace schedule

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

} // namespace schedule::detail
