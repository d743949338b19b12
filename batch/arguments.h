#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace batch {

// What the command line asks of the tool. Options come first, then the mode and its input, so
// that an input file named like an option can still be given after the mode.
struct Arguments {
    enum class Request { run, help, version, misuse };
    Request request = Request::misuse;
    std::string_view mode;  // "script", "table" or "tarif", when the request is to run
    std::string_view file;  // "-": standard input
    std::string_view tarif; // the tariff file of --tarif; empty: the built-in tariff
};

// Reads the arguments that follow the program's name.
Arguments parseArguments(const std::vector<std::string_view>& args);

// Written to standard error when the command line cannot be read.
inline constexpr std::string_view usage =
    "usage: simulator-credit-batch script [FILE]\n"
    "       simulator-credit-batch table [FILE]\n"
    "       simulator-credit-batch tarif\n"
    "Before the mode, --tarif TARIFF runs on the tariff of that file.\n"
    "FILE absent or '-': standard input.\n";

// Written to standard output for --help and --version.
std::string helpText();
std::string versionText();

} // namespace batch
