#pragma once

#include "server/answer_cache.h"
#include "server/metrics.h"
#include "tariff/tariff.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace server {

// A request as the handler needs it, whatever carried it.
struct Request {
    std::string_view method;
    std::string_view target; // the path and the query string
    std::string_view body;
    std::string_view origin;      // the Origin header; empty: none
    std::string_view ifNoneMatch; // the If-None-Match header; empty: none
};

struct Response {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    Route route = Route::other;
};

// The service's answers: every endpoint from the request and the tariff alone. Safe to call from
// any number of threads at once.
class Service {
public:
    // `allowedOrigins`: the web pages' origins that may read the answers; empty: any.
    Service(const tariff::Tariff& tarif, std::vector<std::string> allowedOrigins);

    Response handle(const Request& request) const;

    Metrics& metrics() { return metrics_; }
    const tariff::Tariff& tarif() const { return tarif_; }
    // The tariff's tag: answers that depend only on the tariff and the query carry it.
    const std::string& etag() const { return etag_; }

private:
    Response route(const Request& request) const;
    // The answer of one endpoint for a form, from the cache when it was computed before.
    template <typename Compute>
    std::string answer(char endpoint, const offer::TableRow& row, Compute compute) const;
    void allowOrigin(const Request& request, Response& response) const;

    const tariff::Tariff& tarif_;
    std::vector<std::string> allowedOrigins_;
    std::vector<std::string> items_; // the insurance list's items after start-up
    std::string tarifJson_;
    std::string etag_;
    Metrics metrics_;
    mutable AnswerCache cache_;
};

// The largest body read; a larger one is answered 413.
inline constexpr std::size_t maxBody = std::size_t{64} * 1024;

// An error answer: {"error": …, "pointer": …}.
Response errorResponse(int status, std::string_view error, std::string_view pointer);

} // namespace server
