#include "bench/run_with_summary.h"

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

// Runs the benchmarks as usual, then prints the figures the project tracks, each against its
// goal, as a Markdown table (also written to --summary=FILE).
namespace {

std::string fixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

// The console output as usual; the medians (or the single runs) kept by name.
class SummaryReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                failed = true;
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single) {
                Figure& f = figures[run.run_name.str()];
                f.time = run.GetAdjustedCPUTime();
                f.wall = run.GetAdjustedRealTime();
                const auto items = run.counters.find("items_per_second");
                if (items != run.counters.end()) {
                    f.perSecond = items->second.value;
                }
            }
        }
    }

    struct Figure {
        double time = -1;      // CPU time, in the benchmark's unit
        double wall = -1;      // elapsed time
        double perSecond = -1; // items per second, where counted
    };
    std::map<std::string, Figure> figures;
    bool failed = false;
};

// One row of a Markdown table.
void row(std::string& out, std::initializer_list<std::string> cells) {
    for (const std::string& cell : cells) {
        out += "| ";
        out += cell;
        out += ' ';
    }
    out += "|\n";
}

std::string summary(const SummaryReporter& r) {
    auto find = [&r](const std::string& name) {
        const auto it = r.figures.find(name);
        return it == r.figures.end() ? SummaryReporter::Figure{} : it->second;
    };
    std::string out;
    row(out, {"Figure (median of the repetitions, CPU time)", "Fast DAE", "Plain DAE", "Speed-up",
              "Goal", "Met", "Elapsed, fast / plain"});
    out += "|---|---:|---:|---:|---|---|---:|\n";
    for (int months : {6, 11, 24, 60, 120, 550}) {
        const std::string name = "keystroke/months:" + std::to_string(months);
        const auto fast = find(name + "/plain:0");
        const auto plain = find(name + "/plain:1");
        if (fast.time < 0 || plain.time < 0) {
            continue;
        }
        const double speedup = plain.time / fast.time;
        std::string goal;
        std::string met;
        const double limit = months == 60 ? 10.0 : (months == 550 ? 25.0 : 0.0);
        if (limit > 0) {
            goal = "≤ " + fixed(limit, 0) + " µs, ≥ 50×";
            met = fast.time <= limit && speedup >= 50.0 ? "yes" : "**no**";
        }
        row(out,
            {"Keystroke in `tbvp`, " + std::to_string(months) + " months",
             fixed(fast.time, 2) + " µs", fixed(plain.time, 1) + " µs", fixed(speedup, 0) + "×",
             goal, met, fixed(fast.wall, 2) + " / " + fixed(plain.wall, 1) + " µs"});
    }
    for (int months : {24, 60, 120, 550}) {
        const std::string name = "dae_ok/months:" + std::to_string(months);
        const auto fast = find(name + "/plain:0");
        const auto plain = find(name + "/plain:1");
        if (fast.time >= 0 && plain.time >= 0) {
            row(out, {"`dae_ok` alone, " + std::to_string(months) + " months",
                      fixed(fast.time, 2) + " µs", fixed(plain.time, 1) + " µs",
                      fixed(plain.time / fast.time, 0) + "×", "", "",
                      fixed(fast.wall, 2) + " / " + fixed(plain.wall, 1) + " µs"});
        }
    }
    const auto load = find("Form_Load");
    if (load.time >= 0) {
        row(out, {"`Form_Load` on a fresh model", fixed(load.time, 2) + " µs", "", "", "", "",
                  fixed(load.wall, 2) + " µs"});
    }
    const auto tariffRead = find("tariff_read");
    if (tariffRead.time >= 0) {
        row(out, {"Reading and checking the example tariff", fixed(tariffRead.time, 2) + " µs", "",
                  "", "≤ 1000 µs", tariffRead.time <= 1000 ? "yes" : "**no**",
                  fixed(tariffRead.wall, 2) + " µs"});
    }
    // The legal figures and the variants' rows under the lender's limits, each without the
    // keystroke that precedes it.
    const auto alone = find("legal_keystroke/with:0");
    const auto legal = find("legal_keystroke/with:1");
    const auto rows = find("legal_keystroke/with:2");
    if (alone.time >= 0 && legal.time >= 0) {
        const double own = legal.time - alone.time;
        row(out, {"Legal figures after a keystroke (60 months, a DAE ceiling), keystroke excluded",
                  fixed(own, 2) + " µs", "", "", "≤ 20 µs", own <= 20 ? "yes" : "**no**",
                  fixed(legal.wall - alone.wall, 2) + " µs"});
    }
    if (alone.time >= 0 && rows.time >= 0) {
        const double own = rows.time - alone.time;
        row(out, {"Variants' rows with a DAE ceiling in force (60 months), keystroke excluded",
                  fixed(own, 2) + " µs", "", "", "≤ 200 µs", own <= 200 ? "yes" : "**no**",
                  fixed(rows.wall - alone.wall, 2) + " µs"});
    }
    const auto table = find("table_mode");
    if (table.perSecond >= 0) {
        row(out,
            {"Table mode, 10,000 generated rows, one core", fixed(table.perSecond, 0) + " rows/s",
             "", "", "≥ 20000 rows/s", table.perSecond >= 20000 ? "yes" : "**no**",
             fixed(table.wall, 0) + " ms per table"});
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    SummaryReporter reporter;
    return bench::runWithSummary(argc, argv, reporter, summary);
}
