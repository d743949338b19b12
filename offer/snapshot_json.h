#pragma once

#include "core/window.h"
#include "ui/form1.h"

#include <string>
#include <string_view>
#include <vector>

namespace offer {

// The window's state as one line of JSON: the controls, every Double of the simulation state,
// the message boxes shown since the previous snapshot, the count of recalculations and the
// runtime errors met so far (the latest ones kept by `faults`, with their count when some were
// dropped; none without a log).
std::string snapshotJson(const ui::Form1& form, const std::vector<core::Message>& messages,
                         const ui::FaultLog* faults = nullptr);

// A Double as the shortest text that reads back to the same value; non-finite values as the
// JSON strings "Infinity", "-Infinity" and "NaN".
std::string jsonNumber(double value);

// A text as a JSON string; bytes that are not UTF-8 are replaced, as in snapshots.
std::string jsonString(std::string_view text);

} // namespace offer
