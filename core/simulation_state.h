#pragma once

#include "runtime/variant.h"
#include "schedule/schedule.h"
#include "tariff/tariff.h"

#include <cstdint>

namespace core {

// The whole state of one simulation. Every figure is 0 when the window is created; start-up
// assigns the product parameters. Each recalculation overwrites the inputs and results, and a
// result it does not reach keeps its previous value.
struct SimulationState {
    // Inputs, read afresh by every recalculation.
    double venitnet = 0;      // customer's net monthly income
    double ratealte = 0;      // other monthly instalments
    double datoriialte = 0;   // other monthly debts
    double valoareprodus = 0; // product value
    double valavans = 0;      // down payment
    double durata = 0;        // months, as typed (may hold a fraction); never 0 once read
    double procasig = 0;      // monthly insurance rate of the chosen option
    double comgestluna = 0;   // monthly management-commission rate of the payment method

    // Product parameters.
    double comacord = 0;       // granting commission rate
    double comacordmin = 0;    // smallest granting commission in RON
    double plafoncredit = 0;   // ceiling of the credit value
    double creditmin = 0;      // smallest credit value
    double durmax = 0;         // longest duration without an error text
    double durmin = 0;         // shortest duration without an error text
    double comgestdd = 0;      // management commission, direct debit (rewritten by the bands)
    double comgestnum = 0;     // management commission, cash (rewritten by the bands)
    double procasigstd = 0;    // "Standard"
    double procasigoptim = 0;  // "Optim"
    double procasigsenior = 0; // "Senior"

    // Results of the last recalculation.
    double valoarecredit = 0; // financed amount plus granting commission
    double dobanda = 0;       // annual rate of the grid
    double rataluna = 0;      // level monthly instalment
    double ratatotala = 0;    // total monthly payment, equal to rataluna
    double sumamax = 0;       // largest credit supported; exactly -1 when refused
    double daeval = 0;        // effective annual rate

    schedule::MonthlySchedule months;

    // The tariff in force: start-up copies its parameters into the figures above; the bands,
    // the rate grid, the insurance positions, the duration guard and the indebtedness limit are
    // read from it by each recalculation. It outlives the state.
    const tariff::Tariff* tarif = &tariff::builtIn();
};

// Start-up sets these first, once the captions are set: the credit limits and the two
// management-commission rates.
void setCreditParameters(SimulationState& s);
// Then these, before it touches any control that recalculates: durations, granting commission
// and insurance rates.
void setProductParameters(SimulationState& s);

// The tariff's management-commission bands on the current credit value and duration; the first
// band that holds sets both rates. A pair outside every band keeps the rates it had: the last
// band matched in this or an earlier call decides.
void Comision_Gestiune(SimulationState& s);

// Monthly insurance rate of list position `index`: positions 1 to 3 from the state's own figures,
// the others from the tariff; nothing for a position without an insurance item.
runtime::Variant procent_asig(const SimulationState& s, const std::int16_t& index);

} // namespace core
