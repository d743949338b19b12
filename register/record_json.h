#pragma once

#include "register/record.h"

#include <string>

namespace reg {

// One record as one line of JSON (no line end), the fields by their names: `inputs` keyed by
// the boxes' names, `figures` holding `snapshot`, `schedule` and `legal` as the batch tool
// writes them (the action's own wrapper taken off), `tariff` its name, date and SHA-256.
std::string recordJson(const Record& record);

// The CSV header and one record as a CSV line (no line end): every field but the figures, which
// the JSON form carries.
std::string csvHeader();
std::string recordCsv(const Record& record);

} // namespace reg
