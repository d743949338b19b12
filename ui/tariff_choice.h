#pragma once

#include "tariff/read.h"
#include "tariff/tariff.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// Which tariff the window runs on and where it came from.
struct TariffChoice {
    std::filesystem::path file;             // the file given or found; empty: none
    std::optional<tariff::Tariff> fromFile; // its tariff, when it passed every check
    std::vector<tariff::Problem> problems;  // why it did not; the built-in tariff is used then
    int systemError = 0;                    // why the system could not read it (errno); 0: none

    const tariff::Tariff& tariff() const { return fromFile ? *fromFile : tariff::builtIn(); }
    bool failed() const { return !file.empty() && !fromFile; }

    // What the title bar shows after the form's caption: the file's tariff, "tarif implicit"
    // when a file failed, nothing for the built-in tariff with no file.
    std::string titleNote() const;
    // For the about box: the tariff in use and where it came from.
    std::string description() const;
    // For the message box of a file that failed: the file and its problems in Romanian, each
    // place in words with positions counted from 1.
    std::string failureText() const;
    // The same problems as the checks wrote them (JSON pointer and reason), one a line, for the
    // box's "Detalii" that the lender's IT reads.
    std::string failureDetails() const;
};

// Reads the environment: the value of a variable, nothing when it is not set.
using Environment = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> processEnvironment(const char* name);

// The configuration folders in the order they are searched: $XDG_CONFIG_HOME (default
// ~/.config), then each of $XDG_CONFIG_DIRS (default /etc/xdg); relative paths are ignored, as
// the desktop's configuration rules ask.
std::vector<std::filesystem::path> configFolders(const Environment& environment);

// The file given on the command line; otherwise simulator-credit/tarif.json under
// $XDG_CONFIG_HOME (default ~/.config), then under each folder of $XDG_CONFIG_DIRS (default
// /etc/xdg); otherwise none. The first file found is the one used: if it fails its checks the
// built-in tariff is used, not a file further down.
TariffChoice chooseTariff(const std::optional<std::filesystem::path>& given,
                          const Environment& environment = processEnvironment);

} // namespace ui
