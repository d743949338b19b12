#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace server {

// What a request was for, as the metrics count it: every endpoint, and the rest together.
enum class Route : std::uint8_t {
    simulare,
    variante,
    rate,
    tarif,
    healthz,
    metrics,
    widget,
    other
};
inline constexpr std::size_t routeCount = 8;

std::string_view routeName(Route route);

// Request counts by endpoint and status, and latency histograms by endpoint, in Prometheus' text
// format. Lock-free: every thread adds to the same counters.
class Metrics {
public:
    void record(Route route, int status, std::chrono::microseconds took);
    std::string text() const;

    // Upper bounds of the latency buckets, in microseconds (the last one is +Inf).
    static constexpr std::array<std::int64_t, 12> bucketBounds = {
        100, 250, 500, 1000, 2500, 5000, 10000, 25000, 50000, 100000, 250000, 1000000};
    // The statuses counted one by one; any other is counted with 500.
    static constexpr std::array<int, 11> statuses = {200, 204, 304, 400, 404, 405,
                                                     408, 413, 431, 500, 503};

private:
    struct PerRoute {
        std::array<std::atomic<std::uint64_t>, statuses.size()> byStatus{};
        std::array<std::atomic<std::uint64_t>, bucketBounds.size() + 1> buckets{};
        std::atomic<std::uint64_t> sumMicros{0};
    };
    std::array<PerRoute, routeCount> routes_{};
};

} // namespace server
