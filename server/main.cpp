#include "server/http_server.h"
#include "server/options.h"
#include "server/service.h"
#include "tariff/read.h"

#include <sys/resource.h>

#include <csignal>
#include <iostream>
#include <optional>
#include <thread>

namespace {

// Every connection holds a descriptor: take all the system allows this process.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    const server::Options options =
        server::parseOptions(words, std::thread::hardware_concurrency());
    switch (options.request) {
    case server::Options::Request::help:
        std::cout << server::helpText();
        return 0;
    case server::Options::Request::version:
        std::cout << server::versionText();
        return 0;
    case server::Options::Request::misuse:
        std::cerr << "simulator-credit-server: " << options.error << "\n"
                  << "Try 'simulator-credit-server --help'.\n";
        return 2;
    case server::Options::Request::run:
        break;
    }
    std::optional<tariff::Tariff> fromFile;
    if (!options.tarif.empty()) {
        tariff::ReadResult read = tariff::readFile(options.tarif);
        if (!read.tariff) {
            for (const tariff::Problem& problem : read.problems) {
                std::cerr << "tarif: " << problem.text() << '\n';
            }
            return 2;
        }
        fromFile = std::move(read.tariff);
    }
    std::signal(SIGPIPE, SIG_IGN); // a client gone while it is answered is not the service's end
    raiseDescriptorLimit();
    server::Service service(fromFile ? *fromFile : tariff::builtIn(), options.allowedOrigins);
    const server::Handler handler = [&service](const server::Request& request) {
        return service.handle(request);
    };
    return server::serve(options.listen, handler, &service.metrics());
}
