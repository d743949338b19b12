#include "batch/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

using batch::Arguments;
using Request = batch::Arguments::Request;

std::string shown(const std::vector<std::string_view>& args) {
    std::string text;
    for (const std::string_view arg : args) {
        text += " '" + std::string(arg) + "'";
    }
    return text;
}

TEST(Arguments, ModeAndInput) {
    const struct {
        std::vector<std::string_view> args;
        std::string_view mode;
        std::string_view file;
    } cases[] = {
        {{"script"}, "script", "-"},
        {{"table"}, "table", "-"},
        {{"script", "-"}, "script", "-"},
        {{"table", "rows.csv"}, "table", "rows.csv"},
        // After the mode nothing is an option: a file may be called "--help" or "-v".
        {{"script", "--help"}, "script", "--help"},
        {{"table", "-v"}, "table", "-v"},
        // An empty name is a file that cannot be opened, not standard input.
        {{"script", ""}, "script", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(shown(c.args));
        const Arguments parsed = batch::parseArguments(c.args);
        EXPECT_EQ(parsed.request, Request::run);
        EXPECT_EQ(parsed.mode, c.mode);
        EXPECT_EQ(parsed.file, c.file);
    }
}

TEST(Arguments, HelpAndVersionBeforeTheMode) {
    const struct {
        std::vector<std::string_view> args;
        Request request;
    } cases[] = {
        {{"--help"}, Request::help},
        {{"-h"}, Request::help},
        {{"--version"}, Request::version},
        {{"-v"}, Request::version},
        // The first information request wins, whatever follows it.
        {{"--version", "--help"}, Request::version},
        {{"-h", "table", "a", "b", "c"}, Request::help},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(shown(c.args));
        EXPECT_EQ(batch::parseArguments(c.args).request, c.request);
    }
}

TEST(Arguments, Misuse) {
    const std::vector<std::vector<std::string_view>> cases = {
        {},
        {"batch"},
        {"Script"},
        {"script", "a.txt", "b.txt"},
        {"--verbose", "script"},
        {"--help-me"},
        {"-"},
        {"--", "script"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(shown(args));
        EXPECT_EQ(batch::parseArguments(args).request, Request::misuse);
    }
}

// --tarif FILE (or --tarif=FILE) before the mode; the tariff mode takes no input.
TEST(Arguments, TariffFileAndTariffMode) {
    const struct {
        std::vector<std::string_view> args;
        Request request;
        std::string_view mode;
        std::string_view tarif;
    } cases[] = {
        {{"--tarif", "t.json", "script", "s.txt"}, Request::run, "script", "t.json"},
        {{"--tarif=t.json", "table"}, Request::run, "table", "t.json"},
        {{"tarif"}, Request::run, "tarif", ""},
        {{"--tarif", "t.json", "tarif"}, Request::run, "tarif", "t.json"},
        {{"--tarif", "a.json", "--tarif", "b.json", "tarif"}, Request::run, "tarif", "b.json"},
        {{"--tarif", "t.json", "--help"}, Request::help, "", "t.json"},
        {{"tarif", "extra"}, Request::misuse, "", ""},
        {{"--tarif"}, Request::misuse, "", ""},
        {{"--tarif="}, Request::misuse, "", ""},
        {{"--tarif", ""}, Request::misuse, "", ""},
        {{"--tarif", "t.json"}, Request::misuse, "", "t.json"},
        {{"script", "--tarif", "t.json"}, Request::misuse, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(shown(c.args));
        const Arguments parsed = batch::parseArguments(c.args);
        EXPECT_EQ(parsed.request, c.request);
        if (c.request == Request::run) {
            EXPECT_EQ(parsed.mode, c.mode);
            EXPECT_EQ(parsed.tarif, c.tarif);
        }
    }
}

TEST(Arguments, HelpTextHoldsTheUsageAndBothModes) {
    const std::string help = batch::helpText();
    EXPECT_NE(help.find(batch::usage), std::string::npos) << help;
    for (const char* word : {"script", "table", "tarif", "--tarif", "--help", "--version",
                             "Exit status", "schedule", "variants", "legal", "early"}) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(batch::versionText().rfind("simulator-credit-batch ", 0), 0U);
    EXPECT_EQ(batch::versionText().back(), '\n');
}

} // namespace
