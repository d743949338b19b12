#pragma once

#include "core/simulation_state.h"

#include <span>
#include <string_view>

namespace core {

// One Double of the simulation state, by the name the maintainers know it by.
struct StateFigure {
    std::string_view name;
    double SimulationState::*member;
};

// Every Double of the state except the monthly schedules: inputs, product parameters, results,
// in that order. The batch tool's snapshots, the tests' comparisons and the offer read this list,
// so a new figure is added here once.
std::span<const StateFigure> stateFigures();

} // namespace core
