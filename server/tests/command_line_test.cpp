#include "server_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// The service's command line, from outside: what it prints, and the exit status a script or a
// service manager reads (0 help or version, 2 a bad command line or tariff, 1 cannot listen).
namespace {

struct Outcome {
    int status = -1;
    std::string output; // standard output and standard error together
};

// The arguments are fixed words of these tests, given to the shell as they are.
Outcome run(const std::string& args) {
    const std::string command = std::string(SIMCREDIT_SERVER) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    Outcome out;
    if (pipe == nullptr) {
        return out;
    }
    char chunk[4096];
    std::size_t n = 0;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        out.output.append(chunk, n);
    }
    const int status = pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

TEST(ServerCommandLine, HelpAndVersion) {
    for (const char* help : {"--help", "-h", "--threads 2 --help"}) {
        const Outcome o = run(help);
        EXPECT_EQ(o.status, 0) << help;
        EXPECT_EQ(o.output.rfind("usage: simulator-credit-server [--tarif FILE]", 0), 0U)
            << help << ": " << o.output;
    }
    for (const char* version : {"--version", "-v"}) {
        const Outcome o = run(version);
        EXPECT_EQ(o.status, 0) << version;
        EXPECT_EQ(o.output.rfind("simulator-credit-server ", 0), 0U) << o.output;
        EXPECT_EQ(o.output.find('\n'), o.output.size() - 1) << o.output;
    }
}

TEST(ServerCommandLine, MisuseNamedWithStatusTwo) {
    const struct {
        const char* args;
        const char* error;
    } cases[] = {
        {"--bogus", "unknown option '--bogus'"},
        {"--tarif", "--tarif needs a value"},
        {"--tarif=", "--tarif needs a file"},
        {"--listen 127.0.0.1", "--listen needs ADDRESS:PORT, got '127.0.0.1'"},
        {"--listen :8080", "--listen needs ADDRESS:PORT, got ':8080'"},
        {"--listen '[]:8080'", "--listen needs ADDRESS:PORT, got '[]:8080'"},
        {"--listen 127.0.0.1:65536", "--listen needs ADDRESS:PORT, got '127.0.0.1:65536'"},
        {"--listen 127.0.0.1:80x", "--listen needs ADDRESS:PORT, got '127.0.0.1:80x'"},
        {"--listen 127.0.0.1:", "--listen needs ADDRESS:PORT, got '127.0.0.1:'"},
        {"--threads 0", "--threads needs a whole number from 1 to 256"},
        {"--threads=", "--threads needs a whole number from 1 to 256"},
        {"--threads 2x", "--threads needs a whole number from 1 to 256"},
        {"--threads 256 --threads=257", "--threads needs a whole number from 1 to 256"},
        {"--threads=257", "--threads needs a whole number from 1 to 256"},
        {"--threads -1", "--threads needs a whole number from 1 to 256"},
        {"--allow-origin=", "--allow-origin needs an origin such as https://shop.example"},
        {"--allow-origin https://a.example --allow-origin", "--allow-origin needs a value"},
    };
    for (const auto& c : cases) {
        const Outcome o = run(c.args);
        EXPECT_EQ(o.status, 2) << c.args;
        EXPECT_EQ(o.output, std::string("simulator-credit-server: ") + c.error +
                                "\nTry 'simulator-credit-server --help'.\n")
            << c.args;
    }
}

TEST(ServerCommandLine, TariffThatFailsItsChecksStopsTheStart) {
    const Outcome missing = run("--tarif /nonexistent/tarif.json");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.output.rfind("tarif: ", 0), 0U) << missing.output;
    const Outcome broken = run(std::string("--tarif ") + SIMCREDIT_SOURCE + "/README.md");
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.output.rfind("tarif: ", 0), 0U) << broken.output;
}

// What is not an address (a host name, an unclosed bracket) cannot be listened on: status 1 and
// one line saying what was asked for, as for a port that is taken.
TEST(ServerCommandLine, NotAnAddressCannotBeListenedOn) {
    for (const char* listen : {"localhost:0", "[::1:0", "999.1.1.1:0"}) {
        const Outcome o = run(std::string("--listen '") + listen + "'");
        EXPECT_EQ(o.status, 1) << listen;
        const std::string head = std::string("simulator-credit-server: cannot listen on ") +
                                 std::string(listen).substr(0, std::string(listen).size() - 2) +
                                 ":0: ";
        EXPECT_EQ(o.output.rfind(head, 0), 0U) << o.output;
        EXPECT_EQ(o.output.find('\n'), o.output.size() - 1) << o.output;
    }
}

TEST(ServerCommandLine, StartsWithEveryOptionAndCannotShareItsPort) {
    servertest::ServerProcess first({"--threads=2", "--allow-origin", "https://shop.example",
                                     "--tarif",
                                     std::string(SIMCREDIT_SOURCE) + "/docs/tarif.json"});
    ASSERT_NE(first.port(), 0);
    // The port taken: the second program says so and leaves with status 1.
    const Outcome second = run("--listen 127.0.0.1:" + std::to_string(first.port()));
    EXPECT_EQ(second.status, 1) << second.output;
    EXPECT_EQ(first.stop(std::chrono::seconds(10)), 0) << first.log();
}

} // namespace
