#include "server_process.h"

// The batch tests' generators, wherever the shared test helpers stand.
#if __has_include("tests/support/sessions.h")
#include "tests/support/sessions.h"
namespace sessions = testsupport;
#else
#include "sessions.h"
#endif

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

// Random forms sent to the service and played by the batch tool as a script (the boxes set in
// reading order, the insurance chosen, cash clicked): the answers must be the batch tool's lines,
// byte for byte.
namespace {

using nlohmann::json;
using servertest::request;
using servertest::ServerProcess;

struct Form {
    json body = json::object();
    std::string script;
};

Form randomForm(std::mt19937& rng) {
    static const std::vector<std::string> boxes = {"vn",   "ar",      "ad",
                                                   "tbvp", "tbavans", "tbdurcred"};
    static const std::vector<std::string> items = {"Fara Asigurare", "Standard", "Optim", "Senior"};
    Form f;
    std::uniform_int_distribution<int> four(0, 3);
    for (const std::string& box : boxes) {
        if (four(rng) == 0) {
            continue; // left as start-up leaves it
        }
        const std::string text =
            box == "tbdurcred" ? sessions::durationText(rng) : sessions::amountText(rng);
        f.body[box] = text;
        f.script += "set " + box + (text.empty() ? "" : " " + text) + "\n";
    }
    if (const int k = four(rng); k > 0) {
        const int item = four(rng);
        if (k == 1) {
            f.body["cbasig"] = items[static_cast<std::size_t>(item)];
        } else {
            f.body["cbasig"] = item;
        }
        f.script += "select cbasig " + std::to_string(item) + "\n";
    }
    if (const int k = four(rng); k == 1) {
        f.body["plata"] = "Debit Direct";
    } else if (k == 2) {
        f.body["plata"] = "Numerar";
        f.script += "click Check2\n";
    }
    f.script += "snapshot\nschedule\nlegal\nvariants\n";
    return f;
}

// The batch tool's output lines for a script.
std::vector<std::string> batchLines(const std::string& script) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("server-differential-" + std::to_string(getpid()) + ".script");
    std::ofstream(file, std::ios::binary) << script;
    const std::string command = std::string(SIMCREDIT_BATCH) + " script " + file.string();
    std::FILE* out = popen(command.c_str(), "r");
    std::string text;
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, out)) > 0;) {
        text.append(chunk, n);
    }
    pclose(out);
    std::filesystem::remove(file);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::string inner(const std::string& line) {
    const std::size_t colon = line.find(':');
    return line.substr(colon + 1, line.size() - colon - 2);
}

TEST(Differential, RandomFormsAnswerAsTheBatchTool) {
    ServerProcess server;
    std::mt19937 rng(20261208);
    for (int i = 0; i < 40; ++i) {
        const Form form = randomForm(rng);
        SCOPED_TRACE(form.body.dump());
        const std::vector<std::string> lines = batchLines(form.script);
        ASSERT_EQ(lines.size(), 4U);
        const auto simulation = request(server.port(), "POST", "/v1/simulare", form.body.dump());
        ASSERT_EQ(simulation.status, 200) << simulation.body;
        EXPECT_EQ(simulation.body, "{\"snapshot\":" + lines[0] + ",\"schedule\":" +
                                       inner(lines[1]) + ",\"legal\":" + inner(lines[2]) + "}");
        const auto variants = request(server.port(), "POST", "/v1/variante", form.body.dump());
        ASSERT_EQ(variants.status, 200) << variants.body;
        EXPECT_EQ(variants.body, lines[3]);
    }
}

} // namespace
