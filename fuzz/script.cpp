#include "batch/batch.h"
#include "fuzz/check.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

// The batch tool's script mode on an arbitrary script: it ends with status 0 or 2, a malformed
// line is reported with its number, and every snapshot written is one valid JSON object.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::require;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
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
        const nlohmann::json snapshot = nlohmann::json::parse(line, nullptr, false);
        require(!snapshot.is_discarded(), "script: a snapshot is not valid JSON");
        require(snapshot.is_object() && snapshot.contains("controls") &&
                    snapshot.contains("state") && snapshot.contains("recalculations"),
                "script: a snapshot lacks its parts");
    }
    return 0;
}
