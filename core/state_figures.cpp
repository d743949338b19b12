#include "core/state_figures.h"

#include <array>

namespace core {
namespace {

using S = SimulationState;

constexpr std::array<StateFigure, 25> figures = {{
    {"venitnet", &S::venitnet},
    {"ratealte", &S::ratealte},
    {"datoriialte", &S::datoriialte},
    {"valoareprodus", &S::valoareprodus},
    {"valavans", &S::valavans},
    {"durata", &S::durata},
    {"procasig", &S::procasig},
    {"comgestluna", &S::comgestluna},
    {"comacord", &S::comacord},
    {"comacordmin", &S::comacordmin},
    {"plafoncredit", &S::plafoncredit},
    {"creditmin", &S::creditmin},
    {"durmax", &S::durmax},
    {"durmin", &S::durmin},
    {"comgestdd", &S::comgestdd},
    {"comgestnum", &S::comgestnum},
    {"procasigstd", &S::procasigstd},
    {"procasigoptim", &S::procasigoptim},
    {"procasigsenior", &S::procasigsenior},
    {"valoarecredit", &S::valoarecredit},
    {"dobanda", &S::dobanda},
    {"rataluna", &S::rataluna},
    {"ratatotala", &S::ratatotala},
    {"sumamax", &S::sumamax},
    {"daeval", &S::daeval},
}};

} // namespace

std::span<const StateFigure> stateFigures() {
    return figures;
}

} // namespace core
