#pragma once

#include "tariff/tariff.h"

#include <string>

namespace tariff {

// The tariff in the file format, normalised: keys in a fixed order, one insurance item, band or
// rule per line, numbers in their shortest form. Reading it back gives the same tariff. A tariff
// without any of the law's blocks is written as a first-version file, as it always was.
std::string write(const Tariff& tariff);

} // namespace tariff
