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

} // namespace offer
