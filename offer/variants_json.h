#pragma once

#include "ui/form1.h"

#include <string>

namespace offer {

// The `variants` action: every duration side by side and what would be accepted, as one line of
// JSON, computed on copies of the form; the form is not touched.
std::string variantsJson(const ui::Form1& form);

} // namespace offer
