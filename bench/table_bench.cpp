#include "batch/batch.h"
#include "ui/window_facts.h"

#include <benchmark/benchmark.h>

#include <random>
#include <sstream>
#include <string>

// Table mode on a generated table: one fresh window per row, its six boxes set, an insurance
// chosen and, for some rows, cash payment clicked.
namespace {

constexpr int tableRows = 10000;

std::string generatedTable() {
    std::mt19937 engine(42);
    auto between = [&engine](int lo, int hi) {
        return std::uniform_int_distribution(lo, hi)(engine);
    };
    auto insurance = [&between]() -> std::string {
        const auto& items = tariff::builtIn()->insurance;
        const int k = between(0, static_cast<int>(items.size()));
        return k == static_cast<int>(items.size()) ? std::string()
                                                   : items[static_cast<std::size_t>(k)].name;
    };
    std::string csv = "vn,ar,ad,tbvp,tbavans,tbdurcred,cbasig,plata\r\n";
    for (int row = 0; row < tableRows; ++row) {
        csv += std::to_string(between(0, 12000)) + ',' + std::to_string(between(0, 800)) + ',' +
               std::to_string(between(0, 300)) + ',' + std::to_string(between(300, 40000)) + ',' +
               std::to_string(between(0, 500)) + ',' + std::to_string(between(3, 72)) + ',' +
               insurance() + ',' +
               std::string(between(0, 3) == 0 ? ui::cashCaption : ui::directDebitCaption) + "\r\n";
    }
    return csv;
}

void tableMode(benchmark::State& state) {
    const std::string table = generatedTable();
    for (auto iteration : state) {
        static_cast<void>(iteration);
        std::istringstream in(table);
        std::ostringstream out;
        std::ostringstream err;
        const int status = batch::runTable(in, out, err);
        if (status != batch::ok) {
            state.SkipWithError(("table mode failed: " + err.str()).c_str());
            break;
        }
        benchmark::DoNotOptimize(out.str().size());
    }
    state.SetItemsProcessed(state.iterations() * tableRows);
}

BENCHMARK(tableMode)->Name("table_mode")->Unit(benchmark::kMillisecond);

} // namespace
