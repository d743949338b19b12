#include "server/options.h"

#include <charconv>

namespace server {
namespace {

constexpr unsigned maxThreads = 256;

template <typename T> bool wholeNumber(std::string_view text, T& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && ec == std::errc{} && end == text.data() + text.size();
}

// ADDRESS:PORT, the address an IPv4 one or a bracketed IPv6 one ("[::1]:8080").
bool readListen(std::string_view text, ListenOptions& listen) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    std::string_view host = text.substr(0, colon);
    if (host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    unsigned short port = 0;
    if (host.empty() || !wholeNumber(text.substr(colon + 1), port)) {
        return false;
    }
    listen.address = std::string(host);
    listen.port = port;
    return true;
}

} // namespace

Options parseOptions(const std::vector<std::string_view>& args, unsigned defaultThreads) {
    Options o;
    o.listen.threads = defaultThreads == 0 ? 1 : defaultThreads;
    const auto misuse = [&](std::string why) {
        o.request = Options::Request::misuse;
        o.error = std::move(why);
        return o;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::string_view value;
        bool hasValue = false;
        if (const std::size_t eq = name.find('='); name.starts_with("--") && eq != name.npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        if (name == "-h" || name == "--help") {
            o.request = Options::Request::help;
            return o;
        }
        if (name == "-v" || name == "--version") {
            o.request = Options::Request::version;
            return o;
        }
        if (name != "--tarif" && name != "--listen" && name != "--threads" &&
            name != "--allow-origin") {
            return misuse("unknown option '" + std::string(name) + "'");
        }
        if (!hasValue) {
            if (i + 1 == args.size()) {
                return misuse(std::string(name) + " needs a value");
            }
            value = args[++i];
        }
        if (name == "--tarif") {
            if (value.empty()) {
                return misuse("--tarif needs a file");
            }
            o.tarif = std::string(value);
        } else if (name == "--listen") {
            if (!readListen(value, o.listen)) {
                return misuse("--listen needs ADDRESS:PORT, got '" + std::string(value) + "'");
            }
        } else if (name == "--threads") {
            if (!wholeNumber(value, o.listen.threads) || o.listen.threads == 0 ||
                o.listen.threads > maxThreads) {
                return misuse("--threads needs a whole number from 1 to 256");
            }
        } else {
            if (value.empty()) {
                return misuse("--allow-origin needs an origin such as https://shop.example");
            }
            o.allowedOrigins.emplace_back(value);
        }
    }
    o.request = Options::Request::run;
    return o;
}

std::string helpText() {
    return "usage: simulator-credit-server [--tarif FILE] [--listen ADDRESS:PORT] [--threads N]\n"
           "                               [--allow-origin ORIGIN]...\n"
           "Answers credit simulations over HTTP with the lender's tariff: the same figures as\n"
           "the window and the batch tool, for web shops and their product pages.\n"
           "\nOptions:\n"
           "  --tarif FILE          the lender's tariff; without it, the built-in tariff. A file\n"
           "                        that fails its checks is reported and the service does not\n"
           "                        start\n"
           "  --listen ADDR:PORT    where to listen (default 127.0.0.1:8080; port 0: any free "
           "one)\n"
           "  --threads N           threads answering requests (default: one per processor)\n"
           "  --allow-origin ORIGIN a web page's origin that may read the answers (repeatable;\n"
           "                        default: any, since the answers are public)\n"
           "  -h, --help            print this help and exit\n"
           "  -v, --version         print the version and exit\n"
           "\nEndpoints: POST /v1/simulare, POST /v1/variante, GET /v1/rate, GET /v1/tarif,\n"
           "GET /healthz, GET /metrics, GET /widget/rate.js.\n"
           "SIGTERM or SIGINT: the requests under way are finished and the program exits 0.\n"
           "Exit status: 0 stopped by a signal, 1 cannot listen, 2 bad command line or tariff.\n";
}

std::string versionText() {
    return std::string("simulator-credit-server ") + SIMCREDIT_VERSION + "\n";
}

} // namespace server
