#pragma once

#include "offer/schedule_offer.h"
#include "ui/form1.h"

#include <string>
#include <vector>

namespace offer {

// The `schedule` action: the repayment schedule behind the offer as one line of JSON, read from
// the window without changing it.
std::string scheduleJson(const ui::Form1& form);

// Months of a schedule as a JSON array, each row's figures as computed.
std::string monthsJson(const std::vector<MonthRow>& months);

} // namespace offer
