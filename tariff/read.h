#pragma once

#include "tariff/tariff.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tariff {

// Files larger than this are refused unread.
inline constexpr std::size_t maxFileSize = std::size_t{1024} * 1024;

// One thing wrong with a tariff file: where (a JSON pointer, "/" for the whole file) and why.
struct Problem {
    std::string pointer;
    std::string reason;

    std::string text() const { return pointer + ": " + reason; }
    bool operator==(const Problem&) const = default;
};

// A checked tariff, or every problem found; never both, never a tariff half read.
struct ReadResult {
    std::optional<Tariff> tariff;
    std::vector<Problem> problems;
    int systemError = 0; // why the system could not read the file (an errno value); 0: none
};

// Reads and checks the text of a tariff file. Any bytes are safe to give.
ReadResult read(std::string_view bytes);

// Reads a file through read(); a file that cannot be opened or is too large is one problem.
ReadResult readFile(const std::filesystem::path& file);

} // namespace tariff
