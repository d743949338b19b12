#include "batch/arguments.h"

#include "batch/batch.h"

namespace batch {

static_assert(ok == 0 && rowErrors == 1 && malformed == 2, "the help text lists the statuses");

Arguments parseArguments(const std::vector<std::string_view>& args) {
    Arguments parsed;
    std::size_t next = 0;
    for (; next < args.size(); ++next) {
        const std::string_view arg = args[next];
        if (arg == "-h" || arg == "--help") {
            parsed.request = Arguments::Request::help;
            return parsed;
        }
        if (arg == "-v" || arg == "--version") {
            parsed.request = Arguments::Request::version;
            return parsed;
        }
        if (arg == "--tarif" || arg.starts_with("--tarif=")) {
            const bool joined = arg.size() > 7;
            if (!joined && next + 1 == args.size()) {
                return parsed;
            }
            parsed.tarif = joined ? arg.substr(8) : args[++next];
            if (parsed.tarif.empty()) {
                return parsed;
            }
            continue;
        }
        if (arg.size() > 1 && arg.front() == '-') {
            return parsed; // an option this tool does not have
        }
        break;
    }
    const std::size_t left = args.size() - next;
    if (left == 1 && args[next] == "tarif") {
        parsed.request = Arguments::Request::run;
        parsed.mode = args[next];
        return parsed; // the tariff mode reads no input
    }
    if (left < 1 || left > 2 || (args[next] != "script" && args[next] != "table")) {
        return parsed;
    }
    parsed.request = Arguments::Request::run;
    parsed.mode = args[next];
    parsed.file = left == 2 ? args[next + 1] : "-";
    return parsed;
}

std::string helpText() {
    std::string text = "Runs the credit simulator's window logic without a display and prints\n"
                       "what the window would show.\n\n";
    text += usage;
    text += "\nModes:\n"
            "  script   one action per line (set, type, erase, select, click, snapshot,\n"
            "           schedule, variants, legal, early); each snapshot and each answer is\n"
            "           printed as one JSON line\n"
            "  table    a CSV table of inputs, one simulation per row; each row is written back\n"
            "           followed by the window's results\n"
            "  tarif    print the tariff in force in the tariff file format: the built-in one,\n"
            "           or that of --tarif written back normalised\n"
            "\nOptions (before the mode):\n"
            "  --tarif TARIFF run on the tariff of this file instead of the built-in one; a\n"
            "                 file that fails its checks is reported and nothing is run\n"
            "  -h, --help     print this help and exit\n"
            "  -v, --version  print the version and exit\n"
            "\nExit status: 0 done, 1 some table rows could not be read, 2 a malformed script\n"
            "line, table header, tariff file or command line.\n";
    return text;
}

std::string versionText() {
    return std::string("simulator-credit-batch ") + SIMCREDIT_VERSION + "\n";
}

} // namespace batch
