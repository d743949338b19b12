#pragma once

#include "core/simulation_state.h"
#include "core/window.h"

#include <string_view>

namespace core {

// What the largest-credit box reads when the customer's income cannot carry the credit.
inline constexpr std::string_view refusedText = "REFUZAT";

// The recalculation: reads the six input boxes, the insurance list and the payment pair afresh,
// computes every figure into the state and writes it into the window as soon as it is known.
// A duration above the tariff's guard (550) shows the message box and writes the duration that
// replaces it ("60") into the duration box, which runs a complete nested recalculation before
// this one goes on.
//
// A runtime error of the effective rate empties the DAE caption and the rest goes on; any other
// runtime error leaves what was written and passes to the caller.
void calcule(SimulationState& s, Window& w, MessageSink& messages);

} // namespace core
