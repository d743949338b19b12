#pragma once

#include <benchmark/benchmark.h>

#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

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
