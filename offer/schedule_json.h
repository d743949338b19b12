#pragma once

#include "ui/form1.h"

#include <string>

namespace offer {

// The `schedule` action: the repayment schedule behind the offer as one line of JSON, read from
// the window without changing it.
std::string scheduleJson(const ui::Form1& form);

} // namespace offer
