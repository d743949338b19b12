#pragma once

#include <optional>

namespace runtime {

// The result of a formula procedure: a number, or nothing. Integer results (0, -1) are held as
// doubles, since the driver converts every result to a Double before storing it.
using Variant = std::optional<double>;

// Nothing reads as 0.
inline double toDouble(const Variant& v) {
    return v.value_or(0.0);
}

} // namespace runtime
