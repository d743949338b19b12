#pragma once

#include "ui/form1.h"

#include <string>

namespace ui {

// The simulation as the window shows it, as plain text to paste elsewhere: one "Name: value"
// line per input and figure, in the window's order, with the unit shown beside it; the payment
// method; then the text of the error or indebtedness panel when one is shown. Lines end in "\n".
std::string summaryText(const Form1& form);

} // namespace ui
