#pragma once

#include "offer/legal.h"
#include "ui/form1.h"

#include <string>
#include <string_view>

namespace offer {

// "dae", "daily_cost", "payable_ratio".
std::string_view measureName(tariff::LegalLimit::Measure m);

// The `legal` action: the legal figures of the offer as one line of JSON, read from the window
// without changing it.
std::string legalJson(const LegalFigures& figures);
std::string legalJson(const ui::Form1& form);

} // namespace offer
