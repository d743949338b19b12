// simulator-credit-registru: the register of issued documents for the back office, no display
// needed: the records listed as CSV or JSON, a document checked against the register, the
// outbox sent.

#include "register/record_json.h"
#include "register/record_of_form.h"
#include "register/register.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Exit statuses.
constexpr int done = 0;
constexpr int notIssued = 1; // verify: the register holds no record of the file
constexpr int badCommandLine = 2;
constexpr int unusable = 3; // the register, the outbox or the file cannot be read or written

const char* helpText =
    "Usage: simulator-credit-registru [--registru URL] COMMAND\n"
    "The register of the documents issued by simulator-credit.\n"
    "\n"
    "Commands:\n"
    "  list [--from DATE] [--to DATE] [--format csv|json]\n"
    "                 the records issued between the two days (UTC, YYYY-MM-DD, both\n"
    "                 included), newest first; csv (the default) one line each without the\n"
    "                 figures, json one object per line with every field\n"
    "  verify FILE    whether the register issued this file (its SHA-256), and when, where\n"
    "                 and for whom\n"
    "  sync           send the records waiting in the local outbox to the register and print\n"
    "                 how many were sent\n"
    "\n"
    "Options:\n"
    "  --registru URL  the PostgreSQL database of the register, as a libpq connection string\n"
    "                  (postgresql://host/db?sslmode=require); without it the first line of\n"
    "                  simulator-credit/registru.conf in the configuration folders, else the\n"
    "                  local register $XDG_DATA_HOME/simulator-credit/registru.sqlite. The\n"
    "                  password comes from ~/.pgpass or PGPASSWORD.\n"
    "  -h, --help      print this help and exit\n"
    "  -v, --version   print the version and exit\n"
    "\n"
    "Exit status: 0 done (verify: issued by the register), 1 verify: not issued by the\n"
    "register, 2 a malformed command line, 3 the register or the file cannot be used.\n";

void out(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}
void err(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

int usageError(const std::string& why) {
    err("simulator-credit-registru: " + why + "\nTry 'simulator-credit-registru --help'.\n");
    return badCommandLine;
}

bool isDay(const std::string& text) {
    return text.size() == 10 &&
           QDate::fromString(QString::fromStdString(text), Qt::ISODate).isValid();
}

std::string describeRecord(const reg::Record& r) {
    std::string text = "Emis de registru: " + r.kind + ", la " + r.issued_at + ", de " + r.agent;
    text += r.shop ? ", magazinul " + *r.shop : std::string(", magazin necompletat");
    text += r.customer ? ", clientul " + *r.customer : std::string(", client necompletat");
    text += ", tariful " + r.tariff.name +
            (r.tariff.valid_from ? " (" + *r.tariff.valid_from + ")" : "");
    return text + ".\n";
}

struct CommandLine {
    std::optional<std::string> url;
    std::string command;
    std::vector<std::string> operands;
    reg::Period period;
    std::string format = "csv";
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // Qt's SQL drivers are plugins, loaded through it
    CommandLine cl;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 == args.size() || args[i + 1].empty()) {
                return false;
            }
            into = args[++i];
            return true;
        };
        if (a == "-h" || a == "--help") {
            out(helpText);
            return done;
        }
        if (a == "-v" || a == "--version") {
            out("simulator-credit-registru " + reg::programVersion() + "\n");
            return done;
        }
        if (a == "--registru") {
            std::string url;
            if (!value(url)) {
                return usageError("--registru needs a connection string");
            }
            cl.url = url;
        } else if (a == "--from" || a == "--to") {
            std::string& day = a == "--from" ? cl.period.from : cl.period.to;
            if (!value(day) || !isDay(day)) {
                return usageError(a + " needs a day written YYYY-MM-DD");
            }
        } else if (a == "--format") {
            if (!value(cl.format) || (cl.format != "csv" && cl.format != "json")) {
                return usageError("--format is csv or json");
            }
        } else if (a.starts_with("-") && a.size() > 1) {
            return usageError("unknown option " + a);
        } else if (cl.command.empty()) {
            cl.command = a;
        } else {
            cl.operands.push_back(a);
        }
    }
    const bool listing = cl.command == "list";
    if (cl.command.empty()) {
        return usageError("no command given (list, verify or sync)");
    }
    if (!listing && cl.command != "verify" && cl.command != "sync") {
        return usageError("unknown command " + cl.command);
    }
    if (!listing && (!cl.period.from.empty() || !cl.period.to.empty() || cl.format != "csv")) {
        return usageError("--from, --to and --format go with list only");
    }
    if (cl.operands.size() != (cl.command == "verify" ? 1u : 0u)) {
        return usageError(cl.command == "verify" ? "verify takes one file"
                                                 : cl.command + " takes no file");
    }

    reg::LocationChoice where = reg::chooseLocation(cl.url);
    if (!where.location) {
        err(where.error + "\n");
        return unusable;
    }
    reg::Register registru(*where.location, reg::outboxFile());

    if (cl.command == "sync") {
        long long sent = 0;
        const reg::Outcome o = registru.sync(sent);
        out("Trimise: " + std::to_string(sent) + "\n");
        if (!o.ok) {
            err(o.error + "\n");
            return unusable;
        }
        return done;
    }

    reg::Outcome o;
    reg::Database* db = registru.database(o);
    if (!db) {
        err(o.error + "\n");
        return unusable;
    }
    if (listing) {
        std::vector<reg::Record> records;
        const bool json = cl.format == "json";
        if (o = db->list(cl.period, json, records); !o.ok) {
            err(o.error + "\n");
            return unusable;
        }
        if (!json) {
            out(reg::csvHeader() + "\r\n"); // CSV lines end as RFC 4180 writes them
        }
        for (const reg::Record& r : records) {
            out((json ? reg::recordJson(r) + "\n" : reg::recordCsv(r) + "\r\n"));
        }
        return done;
    }

    const std::optional<std::string> sha = reg::sha256OfFile(cl.operands[0]);
    if (!sha) {
        err("Fisierul " + cl.operands[0] + " nu poate fi citit.\n");
        return unusable;
    }
    std::vector<reg::Record> records;
    if (o = db->findDocument(*sha, records); !o.ok) {
        err(o.error + "\n");
        return unusable;
    }
    for (const reg::Record& r : records) {
        out(describeRecord(r));
    }
    if (records.empty()) {
        // Issued here while the register could not be reached: waiting in the outbox.
        reg::Outcome local;
        std::error_code ec;
        if (std::filesystem::exists(registru.outboxPath(), ec)) {
            // An outbox that cannot be read may hold the record: no answer rather than a wrong one.
            if (auto box = reg::Database::open(reg::Location{registru.outboxPath(), {}}, local)) {
                local = box->findDocument(*sha, records);
            }
            if (!local.ok) {
                err(local.error + "\n");
                return unusable;
            }
        }
        for (const reg::Record& r : records) {
            out(describeRecord(r).insert(0, "(netrimis inca) "));
        }
    }
    if (records.empty()) {
        out("Registrul nu a emis acest fisier (SHA-256 " + *sha + ").\n");
        return notIssued;
    }
    return done;
}
