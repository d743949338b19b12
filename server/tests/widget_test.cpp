#include "server_process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <filesystem>

// The product page's script in a real browser: a headless Chromium loads the demonstration page
// served by the service, and the page it rendered is read back.
namespace {

using servertest::request;
using servertest::ServerProcess;

// The page as the browser left it, with a fresh profile so nothing is remembered between runs.
std::string renderedOnce(const std::string& url) {
    const auto profile =
        std::filesystem::temp_directory_path() / ("server-widget-" + std::to_string(getpid()));
    std::filesystem::create_directories(profile);
    const std::string command =
        "timeout 90 " + std::string(CHROMIUM) +
        " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
        " --disable-background-networking --disable-component-update --disable-sync"
        " --disable-dev-shm-usage --virtual-time-budget=20000 --user-data-dir=" +
        profile.string() + " --dump-dom '" + url + "' 2>/dev/null";
    std::FILE* out = popen(command.c_str(), "r");
    std::string page;
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, out)) > 0;) {
        page.append(chunk, n);
    }
    pclose(out);
    std::filesystem::remove_all(profile);
    return page;
}

// On a loaded machine the browser may give up on its time budget before the page is ready: up
// to three tries, so that only a page that never gets ready fails.
std::string renderedPage(const std::string& url) {
    std::string page;
    for (int attempt = 0; attempt < 3 && page.find("data-gata") == std::string::npos; ++attempt) {
        page = renderedOnce(url);
    }
    return page;
}

// What the script shows for an amount: two decimals after a comma, half up from nine decimals.
std::string lei(double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 9);
    std::string s(text, end.ptr);
    const std::size_t point = s.find('.');
    long long cents = std::stoll(s.substr(0, point)) * 100 + std::stoll(s.substr(point + 1, 2));
    if (s[point + 3] >= '5') {
        ++cents;
    }
    const std::string rest = std::to_string(cents % 100);
    return std::to_string(cents / 100) + "," + (rest.size() < 2 ? "0" : "") + rest;
}

TEST(Widget, ShowsTheInstalmentsAndTheTableAfterAClick) {
    ServerProcess server;
    const std::string origin = "http://127.0.0.1:" + std::to_string(server.port());
    const auto rate = nlohmann::json::parse(
        request(server.port(), "GET", "/v1/rate?valoare=4999&avans=500").body);
    ASSERT_FALSE(rate["rows"].empty());

    const std::string page =
        renderedPage(origin + "/widget/demo.html?valoare=4999&avans=500&deschis");
    ASSERT_NE(page.find("data-gata"), std::string::npos) << page;

    // The button with the smallest instalment, opened by the page's click.
    const std::string button = "Rate de la " + lei(rate["from"].get<double>()) + " lei/luna";
    EXPECT_NE(page.find(button), std::string::npos) << button << "\n" << page;
    EXPECT_NE(page.find("<button type=\"button\" aria-expanded=\"true\""), std::string::npos);
    EXPECT_EQ(page.find(" hidden=\"\""), std::string::npos) << "the table is shown";

    // A table with its headers, one row per duration, and the representative example.
    EXPECT_NE(page.find("<th scope=\"col\">Durata (luni)</th>"), std::string::npos);
    std::size_t rows = 0;
    for (std::size_t at = 0; (at = page.find("<th scope=\"row\">", at)) != std::string::npos;
         ++at) {
        ++rows;
    }
    EXPECT_EQ(rows, rate["rows"].size());
    EXPECT_NE(page.find(rate["example"]["text"].get<std::string>()), std::string::npos);

    // Every request the page made went to the service: the page's own list of what it loaded,
    // and the service's log of what it answered.
    const std::size_t list = page.find("<ul id=\"cereri\">");
    ASSERT_NE(list, std::string::npos);
    const std::string requests = page.substr(list, page.find("</ul>", list) - list);
    std::size_t entries = 0;
    for (std::size_t at = 0; (at = requests.find("<li>", at)) != std::string::npos; ++at) {
        ++entries;
        EXPECT_EQ(requests.compare(at + 4, origin.size() + 1, origin + "/"), 0)
            << requests.substr(at, 120);
    }
    EXPECT_EQ(entries, 2U) << requests; // the script and the instalments
    EXPECT_TRUE(server.waitForLog("GET /widget/rate.js 200"));
    EXPECT_TRUE(server.waitForLog("GET /v1/rate 200"));
}

TEST(Widget, ShowsNothingWhenNoCreditCanBeOffered) {
    ServerProcess server;
    const std::string origin = "http://127.0.0.1:" + std::to_string(server.port());
    const std::string page = renderedPage(origin + "/widget/demo.html?valoare=0");
    ASSERT_NE(page.find("data-gata"), std::string::npos) << page;
    EXPECT_EQ(page.find("Rate de la"), std::string::npos);
    EXPECT_EQ(page.find("<button"), std::string::npos);
}

} // namespace

int main(int argc, char** argv) {
    if (std::string_view(CHROMIUM).empty() || !std::filesystem::exists(CHROMIUM)) {
        std::puts("chromium is not installed: the widget is not tested in a browser");
        return 77; // skipped
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
