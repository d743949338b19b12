#pragma once

#include "offer/legal.h"
#include "ui/form1.h"

#include <string>

// Whether a document may be handed to the customer for the simulation the window shows: the
// offer, the schedule export and the standard information form are issued only for a credit
// the lender may grant, to an assessed customer.
namespace offer {

struct DocumentGate {
    bool allowed = false;
    std::string reason; // when not allowed: one sentence in Romanian, for a tooltip or stderr
};

// Allowed when the offer is valid, no legal limit of the tariff is breached and a net income
// above 0 is typed (without one the indebtedness was never assessed). A breach is named with
// its figure and limit: "Depaseste limita legala: DAE maxima IFN: 45.04 % > 34.50 %".
DocumentGate documentGate(const ui::Form1& form);
DocumentGate documentGate(const ui::Form1& form, const LegalFigures& figures);

// The standard information form also needs the creditor the tariff names.
DocumentGate informationFormGate(const ui::Form1& form);

// One breach as the reason says it: "DAE maxima IFN: 45.04 % > 34.50 %".
std::string breachText(const LimitBreach& breach);

} // namespace offer
