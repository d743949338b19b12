#pragma once

#include "server/http_server.h"

#include <string>
#include <string_view>
#include <vector>

namespace server {

// What the command line asks of the program.
struct Options {
    enum class Request { run, help, version, misuse };
    Request request = Request::misuse;
    std::string error; // when misused: why
    std::string tarif; // empty: the built-in tariff
    ListenOptions listen;
    std::vector<std::string> allowedOrigins; // empty: any
};

// Reads the arguments after the program's name. `defaultThreads`: when --threads is not given.
Options parseOptions(const std::vector<std::string_view>& args, unsigned defaultThreads);

std::string helpText();
std::string versionText();

} // namespace server
