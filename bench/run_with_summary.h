#pragma once

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

inline std::string fixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::fixed, decimals);
    return {buffer.data(), r.ptr};
}

// The console output as usual; the medians (or the single runs) kept by name, CPU time and
// elapsed, and whether a benchmark stopped with an error.
class Medians final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            failed = failed || run.error_occurred;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!run.error_occurred && (median || single)) {
                cpu[run.run_name.str()] = run.GetAdjustedCPUTime();
                wall[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
    }
    static double at(const std::map<std::string, double>& figures, const std::string& name) {
        const auto it = figures.find(name);
        return it == figures.end() ? -1 : it->second;
    }
    std::map<std::string, double> cpu;
    std::map<std::string, double> wall;
    bool failed = false;
};

// Runs the benchmarks with `reporter` (the console output as usual), then prints the table
// `summary` makes of what it kept, and writes it to the file named by --summary=FILE too.
// The reporter's `failed` says whether a benchmark stopped with an error.
template <class Reporter, class Summary>
int runWithSummary(int argc, char** argv, Reporter& reporter, Summary summary) {
    std::string summaryPath;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--summary=")) {
            summaryPath = arg.substr(10);
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const std::string table = summary(reporter);
    std::cout << '\n' << table;
    if (!summaryPath.empty()) {
        std::ofstream(summaryPath) << table;
    }
    return reporter.failed ? 1 : 0;
}

} // namespace bench
