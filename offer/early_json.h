#pragma once

#include "offer/early.h"

#include <string>

namespace offer {

// The `early` action: the early-repayment figures as one line of JSON. `month`, `mode` and
// `amount` are echoed as asked, also when no figure can be given.
std::string earlyJson(const EarlyRequest& request, const Early& early);

// The mode as the action writes it: "total", "rata" or "durata".
const char* earlyModeName(EarlyMode mode);

} // namespace offer
