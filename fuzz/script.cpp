#include "batch/batch.h"
#include "fuzz/check.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

// The batch tool's script mode on an arbitrary script: it ends with status 0 or 2, a malformed
// line is reported with its number, and every line written is one valid JSON object: a snapshot
// or the report of an action such as schedule; an early-repayment answer has figures only when
// it is valid.
namespace {

// Writing a snapshot costs about a millisecond under the sanitizers, and the variants report runs
// the recalculation hundreds of times: scripts that write more than a few reports explore nothing
// new and would hold the fuzzer below a thousand inputs a second.
constexpr int mostReports = 3;

int reportsIn(const std::string& script) {
    int reports = 0;
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        for (const char* action : {"snapshot", "schedule", "variants"}) {
            reports += line.rfind(action, 0) == 0 ? 1 : 0;
        }
    }
    return reports;
}

// An early-repayment answer gives its figures, or a reason and none of them.
void checkEarly(const nlohmann::json& early) {
    using fuzz::require;
    const auto at = [&early](const char* key) { return early.value(key, nlohmann::json()); };
    require(at("valid").is_boolean(), "script: early without its verdict");
    const bool valid = at("valid").get<bool>();
    require(at("reason").is_null() == valid, "script: early's reason disagrees with its verdict");
    for (const char* figure : {"balance", "compensation", "pay_today", "future_total", "saving"}) {
        require(at(figure).is_number() == valid, "script: early's figures disagree with it");
    }
    require(at("months").is_array() && (valid || at("months").empty()),
            "script: months after an early answer refused");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::require;
    const std::string script(reinterpret_cast<const char*>(data), size);
    if (reportsIn(script) > mostReports) {
        return -1; // not kept in the corpus
    }
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const int status = batch::runScript(in, out, err);
    require(status == batch::ok || status == batch::malformed, "script: unexpected status");
    require((status == batch::ok) == err.str().empty(), "script: status and errors disagree");
    if (status == batch::malformed) {
        require(err.str().rfind("line ", 0) == 0, "script: error without its line number");
    }

    std::istringstream lines(out.str());
    std::string line;
    while (std::getline(lines, line)) {
        const nlohmann::json written = nlohmann::json::parse(line, nullptr, false);
        require(!written.is_discarded(), "script: a line written is not valid JSON");
        require(written.is_object(), "script: a line written is not an object");
        // The actions that report on the window write one object under their name.
        if (written.size() == 1 && (written.contains("schedule") || written.contains("variants") ||
                                    written.contains("legal") || written.contains("early"))) {
            require(written.begin()->is_object(), "script: an action's report is not an object");
            if (written.contains("early")) {
                checkEarly(written["early"]);
            }
            continue;
        }
        require(written.contains("controls") && written.contains("state") &&
                    written.contains("recalculations"),
                "script: a snapshot lacks its parts");
    }
    return 0;
}
