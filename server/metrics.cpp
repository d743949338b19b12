#include "server/metrics.h"

namespace server {

std::string_view routeName(Route route) {
    static constexpr std::array<std::string_view, routeCount> names = {
        "/v1/simulare", "/v1/variante", "/v1/rate", "/v1/tarif",
        "/healthz",     "/metrics",     "/widget",  "other"};
    return names[static_cast<std::size_t>(route)];
}

void Metrics::record(Route route, int status, std::chrono::microseconds took) {
    PerRoute& r = routes_[static_cast<std::size_t>(route)];
    std::size_t s = 0;
    while (s + 1 < statuses.size() && statuses[s] != status) {
        ++s;
    }
    if (statuses[s] != status) {
        s = 9; // 500
    }
    r.byStatus[s].fetch_add(1, std::memory_order_relaxed);
    const std::int64_t micros = took.count() < 0 ? 0 : took.count();
    std::size_t b = 0;
    while (b < bucketBounds.size() && micros > bucketBounds[b]) {
        ++b;
    }
    r.buckets[b].fetch_add(1, std::memory_order_relaxed);
    r.sumMicros.fetch_add(static_cast<std::uint64_t>(micros), std::memory_order_relaxed);
}

namespace {

// Microseconds as seconds, exactly: "0.000250", "1.000000".
std::string seconds(std::uint64_t micros) {
    std::string fraction = std::to_string(micros % 1000000);
    return std::to_string(micros / 1000000) + "." + std::string(6 - fraction.size(), '0') +
           fraction;
}

} // namespace

std::string Metrics::text() const {
    std::string out = "# HELP simulator_credit_requests_total Requests answered, by endpoint and "
                      "status.\n# TYPE simulator_credit_requests_total counter\n";
    for (std::size_t k = 0; k < routeCount; ++k) {
        const std::string route(routeName(static_cast<Route>(k)));
        for (std::size_t s = 0; s < statuses.size(); ++s) {
            const std::uint64_t n = routes_[k].byStatus[s].load(std::memory_order_relaxed);
            if (n > 0) {
                out += "simulator_credit_requests_total{route=\"" + route + "\",code=\"" +
                       std::to_string(statuses[s]) + "\"} " + std::to_string(n) + "\n";
            }
        }
    }
    out += "# HELP simulator_credit_request_duration_seconds Time from a request read to its "
           "answer written.\n# TYPE simulator_credit_request_duration_seconds histogram\n";
    for (std::size_t k = 0; k < routeCount; ++k) {
        const std::string route(routeName(static_cast<Route>(k)));
        const std::string name = "simulator_credit_request_duration_seconds";
        std::uint64_t cumulative = 0;
        for (std::size_t b = 0; b <= bucketBounds.size(); ++b) {
            cumulative += routes_[k].buckets[b].load(std::memory_order_relaxed);
            const std::string le = b < bucketBounds.size()
                                       ? seconds(static_cast<std::uint64_t>(bucketBounds[b]))
                                       : "+Inf";
            out.append(name).append("_bucket{route=\"").append(route).append("\",le=\"");
            out.append(le).append("\"} ").append(std::to_string(cumulative)).append("\n");
        }
        out.append(name).append("_sum{route=\"").append(route).append("\"} ");
        out.append(seconds(routes_[k].sumMicros.load(std::memory_order_relaxed))).append("\n");
        out.append(name).append("_count{route=\"").append(route).append("\"} ");
        out.append(std::to_string(cumulative)).append("\n");
    }
    return out;
}

} // namespace server
