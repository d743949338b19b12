#pragma once

#include "ui/form1.h"
#include "ui/window_facts.h"

#include <array>
#include <optional>
#include <string>

namespace offer {

// One simulation as a row of the batch tool's table or a form sent to the service: the texts
// typed into the six boxes, the insurance item chosen and the payment method.
struct TableRow {
    std::array<std::optional<std::string>, ui::inputBoxes.size()> boxes; // in reading order
    int insurance = -1;                                                  // -1: choose nothing
    bool cash = false;
};

// Plays the row into a form just after start-up, as the agent would: the boxes set in reading
// order (each as one edit), then the insurance item chosen, then, for cash, Check2 clicked.
void playRow(ui::Form1& form, const TableRow& row);

// Where a box's text is kept in a row; the number of boxes when `box` is not an input box.
std::size_t boxSlot(core::Control box);

} // namespace offer
