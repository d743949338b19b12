#include "register/location.h"

#include <fstream>
#include <iterator>

namespace reg {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::string> percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = hexDigit(text[i + 1]);
        const int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::optional<std::vector<ConnParam>> parseUri(std::string_view text, std::string& error) {
    const std::size_t scheme = text.find("://");
    std::string_view rest = text.substr(scheme + 3);
    std::vector<ConnParam> params;
    auto add = [&](std::string key, std::string_view raw) {
        std::optional<std::string> value = percentDecoded(raw);
        if (!value) {
            error = "codare % gresita in \"" + std::string(raw) + "\"";
            return false;
        }
        if (!value->empty()) {
            params.emplace_back(std::move(key), std::move(*value));
        }
        return true;
    };
    std::string_view query;
    if (const std::size_t q = rest.find('?'); q != std::string_view::npos) {
        query = rest.substr(q + 1);
        rest = rest.substr(0, q);
    }
    std::string_view path;
    if (const std::size_t slash = rest.find('/'); slash != std::string_view::npos) {
        path = rest.substr(slash + 1);
        rest = rest.substr(0, slash);
    }
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos) {
        std::string_view user = rest.substr(0, at);
        rest = rest.substr(at + 1);
        if (const std::size_t colon = user.find(':'); colon != std::string_view::npos) {
            if (!add("password", user.substr(colon + 1))) {
                return std::nullopt;
            }
            user = user.substr(0, colon);
        }
        if (!add("user", user)) {
            return std::nullopt;
        }
    }
    // Hosts, each with an optional port; an IPv6 address in brackets.
    std::string hosts, ports;
    bool anyHost = false, anyPort = false;
    for (bool first = true; !rest.empty(); first = false) {
        std::string_view one = rest.substr(0, rest.find(','));
        rest.remove_prefix(std::min(rest.size(), one.size() + 1));
        std::string_view host = one, port;
        if (one.starts_with('[')) {
            const std::size_t close = one.find(']');
            if (close == std::string_view::npos) {
                error = "adresa IPv6 fara ']'";
                return std::nullopt;
            }
            host = one.substr(1, close - 1);
            if (close + 1 < one.size()) {
                // "[::1]5432" is a port typed without its colon, not one to drop silently.
                if (one[close + 1] != ':') {
                    error = "dupa adresa IPv6 se asteapta \":\" si portul";
                    return std::nullopt;
                }
                port = one.substr(close + 2);
            }
        } else if (const std::size_t colon = one.find(':'); colon != std::string_view::npos) {
            host = one.substr(0, colon);
            port = one.substr(colon + 1);
        }
        std::optional<std::string> h = percentDecoded(host);
        if (!h) {
            error = "codare % gresita in \"" + std::string(host) + "\"";
            return std::nullopt;
        }
        hosts += (first ? "" : ",") + *h;
        ports += (first ? "" : ",") + std::string(port);
        anyHost = anyHost || !h->empty();
        anyPort = anyPort || !port.empty();
    }
    if (anyHost) {
        params.emplace_back("host", hosts);
    }
    if (anyPort) {
        params.emplace_back("port", ports);
    }
    if (!path.empty() && !add("dbname", path)) {
        return std::nullopt;
    }
    while (!query.empty()) {
        std::string_view pair = query.substr(0, query.find('&'));
        query.remove_prefix(std::min(query.size(), pair.size() + 1));
        const std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos) {
            error = "parametrul \"" + std::string(pair) + "\" nu are valoare";
            return std::nullopt;
        }
        std::optional<std::string> key = percentDecoded(pair.substr(0, eq));
        if (!key) {
            error = "codare % gresita in \"" + std::string(pair.substr(0, eq)) + "\"";
            return std::nullopt;
        }
        if (!add(*key, pair.substr(eq + 1))) {
            return std::nullopt;
        }
    }
    return params;
}

std::optional<std::vector<ConnParam>> parsePairs(std::string_view text, std::string& error) {
    std::vector<ConnParam> params;
    std::size_t i = 0;
    auto skipSpaces = [&] {
        while (i < text.size() && isSpace(text[i])) {
            ++i;
        }
    };
    while (true) {
        skipSpaces();
        if (i == text.size()) {
            return params;
        }
        const std::size_t start = i;
        while (i < text.size() && text[i] != '=' && !isSpace(text[i])) {
            ++i;
        }
        std::string key(text.substr(start, i - start));
        skipSpaces();
        if (i == text.size() || text[i] != '=') {
            error = "\"" + key + "\" nu este urmat de \"=\"";
            return std::nullopt;
        }
        ++i;
        skipSpaces();
        std::string value;
        if (i < text.size() && text[i] == '\'') {
            ++i;
            while (i < text.size() && text[i] != '\'') {
                if (text[i] == '\\' && i + 1 < text.size()) {
                    ++i;
                }
                value += text[i++];
            }
            if (i == text.size()) {
                error = "valoarea lui \"" + key + "\" nu are ghilimeaua de inchidere";
                return std::nullopt;
            }
            ++i;
        } else {
            while (i < text.size() && !isSpace(text[i])) {
                if (text[i] == '\\' && i + 1 < text.size()) {
                    ++i;
                }
                value += text[i++];
            }
        }
        params.emplace_back(std::move(key), std::move(value));
    }
}

std::string quoted(const std::string& value) {
    std::string out = "'";
    for (const char c : value) {
        if (c == '\'' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "'";
}

} // namespace

std::string Location::param(std::string_view keyword) const {
    std::string value;
    for (const auto& [key, v] : params) {
        if (key == keyword) {
            value = v; // the last one holds, as in libpq
        }
    }
    return value;
}

std::string Location::describe() const {
    if (!postgres()) {
        return "registrul " + file.string();
    }
    std::string db = param("dbname");
    std::string host = param("host");
    const std::string port = param("port");
    std::string out = "baza de date PostgreSQL \"" + (db.empty() ? param("user") : db) + "\"";
    out += host.empty() ? std::string(" (socketul local)") : " de pe " + host;
    if (!port.empty()) {
        out += ", portul " + port;
    }
    return out;
}

std::optional<std::vector<ConnParam>> parseConnectionString(std::string_view text,
                                                            std::string& error) {
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    std::optional<std::vector<ConnParam>> params;
    if (text.starts_with("postgresql://") || text.starts_with("postgres://")) {
        params = parseUri(text, error);
    } else if (text.find('=') != std::string_view::npos) {
        params = parsePairs(text, error);
    } else {
        error = "nu este un sir de conectare PostgreSQL (postgresql://... sau cheie=valoare)";
        return std::nullopt;
    }
    if (!params) {
        return std::nullopt;
    }
    for (const auto& [key, value] : *params) {
        // Qt's driver turns every ';' of its options into a blank before libpq reads them.
        if (value.find(';') != std::string::npos || key.find(';') != std::string::npos) {
            error = "valoarea lui \"" + key + "\" contine \";\", pe care driverul nu o transmite";
            return std::nullopt;
        }
    }
    return params;
}

std::string connectOptions(const std::vector<ConnParam>& params) {
    std::string out;
    bool timeout = false;
    for (const auto& [key, value] : params) {
        timeout = timeout || key == "connect_timeout";
        out += (out.empty() ? "" : " ") + key + "=" + quoted(value);
    }
    // Without a limit, a server that does not answer would hold the agent's document for minutes
    // before its record goes to the outbox.
    if (!timeout) {
        out += (out.empty() ? "" : " ") + std::string("connect_timeout=5");
    }
    return out;
}

std::filesystem::path dataFolder(const ui::Environment& environment) {
    const std::optional<std::string> data = environment("XDG_DATA_HOME");
    if (data && !data->empty() && std::filesystem::path(*data).is_absolute()) {
        return std::filesystem::path(*data) / "simulator-credit";
    }
    const std::optional<std::string> home = environment("HOME");
    if (!home || home->empty()) {
        return {};
    }
    return std::filesystem::path(*home) / ".local" / "share" / "simulator-credit";
}

std::filesystem::path defaultRegisterFile(const ui::Environment& environment) {
    const std::filesystem::path folder = dataFolder(environment);
    return folder.empty() ? folder : folder / "registru.sqlite";
}

std::filesystem::path outboxFile(const ui::Environment& environment) {
    const std::filesystem::path folder = dataFolder(environment);
    return folder.empty() ? folder : folder / "registru-netrimise.sqlite";
}

LocationChoice chooseLocation(const std::optional<std::string>& given,
                              const ui::Environment& environment) {
    LocationChoice choice;
    std::string text;
    if (given) {
        text = *given;
    } else {
        for (const std::filesystem::path& folder : ui::configFolders(environment)) {
            const std::filesystem::path file = folder / "simulator-credit" / "registru.conf";
            std::error_code ec;
            if (!std::filesystem::exists(file, ec)) {
                continue;
            }
            choice.configFile = file;
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                choice.error = "Fisierul " + file.string() + " nu poate fi citit.";
                return choice;
            }
            std::string line;
            while (std::getline(in, line)) {
                // A comment may be indented like the line it stands for.
                const std::size_t first = line.find_first_not_of(" \t\r");
                if (first != std::string::npos && line[first] != '#') {
                    break;
                }
                line.clear();
            }
            text = line;
            if (text.empty()) {
                choice.error = "Fisierul " + file.string() + " nu contine un sir de conectare.";
                return choice;
            }
            break;
        }
    }
    if (text.empty()) {
        const std::filesystem::path file = defaultRegisterFile(environment);
        if (file.empty()) {
            choice.error =
                "Registrul local nu are loc: nici XDG_DATA_HOME, nici HOME nu sunt date.";
            return choice;
        }
        choice.location = Location{file, {}};
        return choice;
    }
    std::string why;
    std::optional<std::vector<ConnParam>> params = parseConnectionString(text, why);
    if (!params) {
        choice.error =
            "Sirul de conectare al registrului" +
            (choice.configFile.empty() ? std::string() : " din " + choice.configFile.string()) +
            " nu poate fi folosit: " + why + ".";
        return choice;
    }
    choice.location = Location{{}, std::move(*params)};
    return choice;
}

} // namespace reg
