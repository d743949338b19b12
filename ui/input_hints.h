#pragma once

#include "ui/control_model.h"

#include <string>

namespace ui {

// What the agent should know when a box the recalculation reads is not read as typed: the
// number reader stops at the first character it does not know ("3,500" reads 3), a negative
// amount is taken as it is, thousands written with dots ("3.500") are read as decimals (3.5),
// and a typed insurance that matches no item means none. Empty when
// the text is read as typed. Only the inputs have hints; for any other control it is empty.
std::string inputHint(const ControlModel& m, Control c);

} // namespace ui
