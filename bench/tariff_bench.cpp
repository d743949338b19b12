#include "tariff/read.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

// Reading and checking the example tariff (the built-in one written out), as both programs do
// once at start.
void tariffRead(benchmark::State& state) {
    std::ifstream in(SIMCREDIT_EXAMPLE_TARIFF, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (auto iteration : state) {
        static_cast<void>(iteration);
        tariff::ReadResult r = tariff::read(text);
        if (!r.tariff) {
            state.SkipWithError("the example tariff does not read");
            break;
        }
        benchmark::DoNotOptimize(r);
    }
}

BENCHMARK(tariffRead)->Name("tariff_read")->Unit(benchmark::kMicrosecond);

} // namespace
