// The counters and histograms the /metrics endpoint shows: which status a request is counted
// under, and which latency bucket holds it.

#include "server/metrics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono_literals;

bool shows(const std::string& text, const std::string& line) {
    return text.find("\n" + line + "\n") != std::string::npos;
}

TEST(Metrics, StatusesCountedOneByOneOrWithFiveHundred) {
    server::Metrics metrics;
    metrics.record(server::Route::rate, 200, 10us);
    metrics.record(server::Route::rate, 503, 10us); // the last status counted by itself
    metrics.record(server::Route::rate, 418, 10us); // not counted by itself: with 500
    metrics.record(server::Route::rate, 500, 10us);
    metrics.record(server::Route::other, 404, 10us);
    const std::string text = metrics.text();
    const std::string total = "simulator_credit_requests_total";
    EXPECT_TRUE(shows(text, total + "{route=\"/v1/rate\",code=\"200\"} 1")) << text;
    EXPECT_TRUE(shows(text, total + "{route=\"/v1/rate\",code=\"503\"} 1")) << text;
    EXPECT_TRUE(shows(text, total + "{route=\"/v1/rate\",code=\"500\"} 2")) << text;
    EXPECT_TRUE(shows(text, total + "{route=\"other\",code=\"404\"} 1")) << text;
    EXPECT_EQ(text.find("code=\"418\""), std::string::npos);
    EXPECT_EQ(text.find("route=\"/v1/tarif\",code"), std::string::npos); // nothing counted
}

// A bound holds the requests that took exactly that long; a time past the last bound is only in
// +Inf; a negative time (a clock set back) counts as none.
TEST(Metrics, LatencyBucketsAreCumulativeWithInclusiveBounds) {
    server::Metrics metrics;
    for (const auto took : {-5us, 100us, 101us, 1000000us, 2000000us}) {
        metrics.record(server::Route::healthz, 200, took);
    }
    const std::string text = metrics.text();
    const std::string bucket =
        "simulator_credit_request_duration_seconds_bucket{route=\"/healthz\",";
    const struct {
        const char* le;
        int count;
    } cases[] = {{"0.000100", 2}, {"0.000250", 3}, {"0.500000", 3} /* no such bound */,
                 {"0.250000", 3}, {"1.000000", 4}, {"+Inf", 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.le);
        const bool bound = std::string(c.le) != "0.500000";
        EXPECT_EQ(shows(text, bucket + "le=\"" + c.le + "\"} " + std::to_string(c.count)), bound)
            << text;
    }
    EXPECT_TRUE(shows(text, "simulator_credit_request_duration_seconds_sum{route=\"/healthz\"} "
                            "3.000201"))
        << text;
    EXPECT_TRUE(
        shows(text, "simulator_credit_request_duration_seconds_count{route=\"/healthz\"} 5"))
        << text;
}

} // namespace
