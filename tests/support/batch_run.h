#pragma once

// The batch tool's library run on a whole input, as its executable runs it: what it wrote on each
// stream and the status it would exit with.

#include "batch/batch.h"
#include "tariff/tariff.h"

#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

struct BatchRun {
    int status = 0;
    std::string out;
    std::string err;
};

inline BatchRun runScript(const std::string& script,
                          const tariff::Tariff& tarif = tariff::builtIn()) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const int status = batch::runScript(in, out, err, tarif);
    return {status, out.str(), err.str()};
}

inline BatchRun runTable(const std::string& table,
                         const tariff::Tariff& tarif = tariff::builtIn()) {
    std::istringstream in(table);
    std::ostringstream out;
    std::ostringstream err;
    const int status = batch::runTable(in, out, err, tarif);
    return {status, out.str(), err.str()};
}

// The lines of an output, without their line ends.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

} // namespace testsupport
