#pragma once

#include "tariff/tariff.h"

#include <functional>
#include <iosfwd>

// The batch tool: the window's logic replayed without a display.
namespace ui {
class Form1;
}

namespace batch {

// Exit statuses of the tool.
inline constexpr int ok = 0;
inline constexpr int rowErrors = 1; // table mode: some rows could not be read
inline constexpr int malformed = 2; // a malformed script line, a bad header, bad arguments

// Script mode: actions one per line (set, type, erase, select, click, snapshot) on a window
// after start-up; each snapshot is one JSON line on `out`.
int runScript(std::istream& in, std::ostream& out, std::ostream& err,
              const tariff::Tariff& tarif = tariff::builtIn());
// The same, then `atEnd` reads the window in its final state when every line ran.
int runScript(std::istream& in, std::ostream& out, std::ostream& err, const tariff::Tariff& tarif,
              const std::function<void(const ui::Form1&)>& atEnd);

// Table mode: one simulation per CSV row in a fresh window; one output row per input row.
int runTable(std::istream& in, std::ostream& out, std::ostream& err,
             const tariff::Tariff& tarif = tariff::builtIn());

} // namespace batch
