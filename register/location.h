#pragma once

#include "ui/tariff_choice.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace reg {

// A libpq connection parameter: its keyword and value.
using ConnParam = std::pair<std::string, std::string>;

// Where the register lives: a SQLite file, or a PostgreSQL database given by its connection
// parameters.
struct Location {
    std::filesystem::path file;    // SQLite; empty for PostgreSQL
    std::vector<ConnParam> params; // PostgreSQL: the connection string's parameters

    bool postgres() const { return file.empty(); }
    std::string param(std::string_view keyword) const;
    // The register as a message names it; never the password.
    std::string describe() const;
};

// A libpq connection string, as a URI (postgresql://user@host:port/db?sslmode=require) or as
// keyword=value pairs, read into its parameters; nothing and `error` set when it cannot be read.
std::optional<std::vector<ConnParam>> parseConnectionString(std::string_view text,
                                                            std::string& error);

// The parameters as Qt's PostgreSQL driver passes them on to libpq.
std::string connectOptions(const std::vector<ConnParam>& params);

// $XDG_DATA_HOME/simulator-credit (default ~/.local/share/simulator-credit); empty without a home.
std::filesystem::path dataFolder(const ui::Environment& environment = ui::processEnvironment);
// The register when nothing is configured, and the outbox of records waiting to be sent.
std::filesystem::path
defaultRegisterFile(const ui::Environment& environment = ui::processEnvironment);
std::filesystem::path outboxFile(const ui::Environment& environment = ui::processEnvironment);

struct LocationChoice {
    std::optional<Location> location; // none when `error` says why
    std::filesystem::path configFile; // the registru.conf read, when one was
    std::string error;
};

// The connection string given on the command line; otherwise the first line of
// simulator-credit/registru.conf in the configuration folders, searched as for the tariff;
// otherwise the local SQLite register.
LocationChoice chooseLocation(const std::optional<std::string>& given,
                              const ui::Environment& environment = ui::processEnvironment);

} // namespace reg
