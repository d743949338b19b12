#include "server_process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

// Every endpoint of the running service, over real HTTP.
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using servertest::request;
using servertest::ServerProcess;

class Endpoints : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new ServerProcess(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static int port() { return server->port(); }
    static ServerProcess* server;
};
ServerProcess* Endpoints::server = nullptr;

const std::string offerExample = R"({"vn":"4200","ar":"350","ad":"100","tbvp":"3500",)"
                                 R"("tbavans":"500","tbdurcred":"24","cbasig":"Standard"})";

TEST_F(Endpoints, SimulationHoldsTheSnapshotAndTheSchedule) {
    const auto r = request(port(), "POST", "/v1/simulare", offerExample);
    ASSERT_EQ(r.status, 200) << r.body;
    EXPECT_EQ(r.headers.at("content-type"), "application/json");
    EXPECT_EQ(r.headers.at("access-control-allow-origin"), "*");
    const json answer = json::parse(r.body);
    EXPECT_EQ(answer["snapshot"]["controls"]["tbvp"]["text"], "3500");
    EXPECT_EQ(answer["snapshot"]["controls"]["cbasig"]["index"], 1);
    EXPECT_EQ(answer["schedule"]["valid"], true);
    EXPECT_EQ(answer["schedule"]["months"].size(), 24U);
    EXPECT_NEAR(answer["schedule"]["months"][0]["instalment"].get<double>(), 189.08, 0.005);
    EXPECT_EQ(answer["legal"]["valid"], true);
    EXPECT_EQ(answer["legal"]["total_credit"], 3000);
    EXPECT_EQ(answer.size(), 3U);
}

TEST_F(Endpoints, CashPaymentAndInsuranceByPosition) {
    const auto r =
        request(port(), "POST", "/v1/simulare", R"({"tbvp":"2000","cbasig":2,"plata":"Numerar"})");
    ASSERT_EQ(r.status, 200) << r.body;
    const json s = json::parse(r.body)["snapshot"]["controls"];
    EXPECT_EQ(s["cbasig"]["text"], "Optim");
    EXPECT_EQ(s["Check2"]["value"], 1);
    EXPECT_EQ(s["Check1"]["value"], 0);
}

TEST_F(Endpoints, VariantsOfTheForm) {
    const auto r = request(port(), "POST", "/v1/variante", offerExample);
    ASSERT_EQ(r.status, 200) << r.body;
    const json v = json::parse(r.body);
    ASSERT_EQ(v.size(), 1U);
    EXPECT_EQ(v["variants"]["rows"].size(), 11U);
    EXPECT_TRUE(v["variants"].contains("max_product_value"));
}

TEST_F(Endpoints, RatesFromTheSmallestInstalmentWithTheLongestAsExample) {
    const auto r = request(port(), "GET", "/v1/rate?valoare=3500");
    ASSERT_EQ(r.status, 200) << r.body;
    EXPECT_EQ(r.headers.at("cache-control"), "public, max-age=300");
    ASSERT_TRUE(r.headers.contains("etag"));
    const json a = json::parse(r.body);
    ASSERT_FALSE(a["rows"].empty());
    double smallest = 1e300;
    for (const json& row : a["rows"]) {
        for (const char* key :
             {"duration", "rataluna", "rate", "dae", "total_credit", "total_cost", "payable"}) {
            EXPECT_TRUE(row.contains(key)) << key;
        }
        EXPECT_DOUBLE_EQ(row["total_credit"].get<double>(), 3500);
        EXPECT_NEAR(row["payable"].get<double>(),
                    row["total_credit"].get<double>() + row["total_cost"].get<double>(), 1e-9);
        smallest = std::min(smallest, row["rataluna"].get<double>());
    }
    EXPECT_EQ(a["from"].get<double>(), smallest);
    EXPECT_EQ(a["example"]["duration"], a["rows"].back()["duration"]);
    const std::string text = a["example"]["text"];
    for (const char* assumption :
         {"3500,00 lei", "dobanda fixa", "comision de acordare", "comision de gestiune",
          "fara asigurare", "debit direct", "DAE", "12 luni egale"}) {
        EXPECT_NE(text.find(assumption), std::string::npos) << assumption << " in " << text;
    }

    // The same tag: nothing to send again.
    const auto again = request(port(), "GET", "/v1/rate?valoare=3500", {},
                               "If-None-Match: " + r.headers.at("etag") + "\r\n");
    EXPECT_EQ(again.status, 304);
    EXPECT_TRUE(again.body.empty());
}

TEST_F(Endpoints, RatesWithNothingAcceptedAreEmpty) {
    // No product, a down payment above it, and a product above the ceiling.
    for (const char* query :
         {"/v1/rate?valoare=0", "/v1/rate?valoare=1000&avans=2000", "/v1/rate?valoare=900000000"}) {
        const auto r = request(port(), "GET", query);
        ASSERT_EQ(r.status, 200) << query;
        EXPECT_EQ(r.body, R"({"rows":[],"from":null,"example":null})") << query;
    }
}

TEST_F(Endpoints, RatesFollowDownPaymentInsuranceAndPayment) {
    const json plain = json::parse(request(port(), "GET", "/v1/rate?valoare=3500").body);
    const json other = json::parse(
        request(port(), "GET", "/v1/rate?valoare=3500&avans=500&asigurare=1&plata=Numerar").body);
    ASSERT_FALSE(other["rows"].empty());
    EXPECT_DOUBLE_EQ(other["rows"][0]["total_credit"].get<double>(), 3000);
    const std::string text = other["example"]["text"];
    EXPECT_NE(text.find("asigurarea Standard, optionala"), std::string::npos) << text;
    EXPECT_NE(text.find("in numerar"), std::string::npos) << text;
    EXPECT_NE(plain["from"], other["from"]);
}

TEST_F(Endpoints, TariffHealthMetricsAndWidget) {
    const auto tarif = request(port(), "GET", "/v1/tarif");
    ASSERT_EQ(tarif.status, 200);
    EXPECT_EQ(json::parse(tarif.body)["format"], "simulator-credit-tarif");

    const auto health = request(port(), "GET", "/healthz");
    EXPECT_EQ(health.status, 200);
    EXPECT_EQ(health.body, "ok");

    const auto widget = request(port(), "GET", "/widget/rate.js");
    EXPECT_EQ(widget.status, 200);
    EXPECT_EQ(widget.headers.at("content-type"), "text/javascript; charset=utf-8");
    EXPECT_NE(widget.body.find("data-simulator-credit"), std::string::npos);

    servertest::Connection head(port());
    head.send("HEAD /widget/rate.js HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const std::string headers = head.receive([](const std::string&) { return false; }, 5s);
    EXPECT_NE(headers.find("Content-Length: " + std::to_string(widget.body.size()) + "\r\n"),
              std::string::npos);
    EXPECT_TRUE(headers.ends_with("\r\n\r\n")) << "a HEAD answer has no body";

    ASSERT_TRUE(server->waitForLog("GET /widget/rate.js 200 "));
    const auto metrics = request(port(), "GET", "/metrics");
    EXPECT_EQ(metrics.status, 200);
    EXPECT_NE(
        metrics.body.find("simulator_credit_requests_total{route=\"/healthz\",code=\"200\"} 1"),
        std::string::npos)
        << metrics.body;
    EXPECT_NE(metrics.body.find("simulator_credit_request_duration_seconds_bucket{route=\"/widget\""
                                ",le=\"+Inf\"}"),
              std::string::npos);
}

TEST_F(Endpoints, EveryRequestIsLoggedWithStatusAndMicroseconds) {
    request(port(), "GET", "/nowhere?secret=1");
    ASSERT_TRUE(server->waitForLog("GET /nowhere 404 "));
    EXPECT_EQ(server->log().find("secret"), std::string::npos); // the query is not logged
}

TEST_F(Endpoints, PreflightAndWrongMethods) {
    const auto pre = request(port(), "OPTIONS", "/v1/simulare", {},
                             "Origin: https://shop.example\r\nAccess-Control-Request-Method: "
                             "POST\r\n");
    EXPECT_EQ(pre.status, 204);
    EXPECT_EQ(pre.headers.at("access-control-allow-methods"), "POST, OPTIONS");
    EXPECT_EQ(pre.headers.at("access-control-allow-headers"), "Content-Type");

    const auto get = request(port(), "GET", "/v1/simulare");
    EXPECT_EQ(get.status, 405);
    EXPECT_EQ(get.headers.at("allow"), "POST, OPTIONS");
    const auto post = request(port(), "POST", "/v1/rate", "{}");
    EXPECT_EQ(post.status, 405);
    EXPECT_EQ(post.headers.at("allow"), "GET, HEAD, OPTIONS");
    const auto missing = request(port(), "GET", "/v2/rate");
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(json::parse(missing.body)["pointer"], "");
}

TEST(LegalLimits, RatesNeverAdvertiseACreditOverALimit) {
    ServerProcess server({"--tarif", SIMCREDIT_SOURCE "/batch/tests/tariffs/limits.json"});
    const json all = json::parse(request(server.port(), "GET", "/v1/rate?valoare=3500").body);
    ASSERT_FALSE(all["rows"].empty());
    EXPECT_LT(all["rows"].size(), 11U) << "the DAE ceiling of 50 % leaves the short credits out";
    for (const json& row : all["rows"]) {
        SCOPED_TRACE(row.dump());
        const double t = row["total_credit"];
        EXPECT_LE(row["dae"].get<double>(), 0.5);
        EXPECT_LE(row["total_cost"].get<double>() / t / (row["duration"].get<double>() * 365 / 12),
                  0.001);
        EXPECT_LE(row["payable"].get<double>() / t, 2);
    }
    // A compulsory insurance is a cost of the credit, and the example says so.
    const json compulsory =
        json::parse(request(server.port(), "GET", "/v1/rate?valoare=3500&asigurare=2").body);
    ASSERT_FALSE(compulsory["rows"].empty());
    const std::string text = compulsory["example"]["text"];
    EXPECT_NE(text.find("asigurarea Optim, obligatorie"), std::string::npos) << text;
}

TEST(Origins, OnlyTheAllowedOriginsMayRead) {
    ServerProcess server(
        {"--allow-origin", "https://shop.example", "--allow-origin", "https://other.example"});
    const auto allowed =
        request(server.port(), "GET", "/healthz", {}, "Origin: https://other.example\r\n");
    EXPECT_EQ(allowed.headers.at("access-control-allow-origin"), "https://other.example");
    EXPECT_EQ(allowed.headers.at("vary"), "Origin");
    const auto refused =
        request(server.port(), "GET", "/healthz", {}, "Origin: https://evil.example\r\n");
    EXPECT_FALSE(refused.headers.contains("access-control-allow-origin"));
}

} // namespace
