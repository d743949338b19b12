#include "server/service.h"

#include "runtime/json_text.h"
#include "server/answers.h"
#include "server/request_form.h"
#include "server/widget.h"
#include "tariff/write.h"
#include "ui/form1.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>

namespace server {
namespace {

constexpr std::string_view jsonType = "application/json";
constexpr std::string_view postMethods = "POST, OPTIONS";
constexpr std::string_view getMethods = "GET, HEAD, OPTIONS";

struct Endpoint {
    std::string_view path;
    Route route;
    bool post; // else GET and HEAD
};

constexpr std::array<Endpoint, 8> endpoints = {{
    {"/v1/simulare", Route::simulare, true},
    {"/v1/variante", Route::variante, true},
    {"/v1/rate", Route::rate, false},
    {"/v1/tarif", Route::tarif, false},
    {"/healthz", Route::healthz, false},
    {"/metrics", Route::metrics, false},
    {"/widget/rate.js", Route::widget, false},
    {"/widget/demo.html", Route::widget, false},
}};

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325;
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3;
    }
    return hash;
}

std::string hex(std::uint64_t value) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = digits[value & 15];
        value >>= 4;
    }
    return out;
}

std::vector<std::string> insuranceItems(const tariff::Tariff& tarif) {
    ui::MessageLog log;
    ui::Form1 form(log, tarif);
    form.Form_Load();
    return form.controls().data(core::Control::cbasig).items;
}

Response json(std::string body) {
    Response r;
    r.contentType = jsonType;
    r.body = std::move(body);
    return r;
}

// Whether an If-None-Match header names the tag (a list, or "*"). Only a "*" standing alone
// matches any tag: one inside another tag ("x*y") must not turn a changed answer into a 304.
bool matches(std::string_view header, std::string_view tag) {
    const std::size_t first = header.find_first_not_of(" \t");
    if (first != std::string_view::npos &&
        header.substr(first, header.find_last_not_of(" \t") - first + 1) == "*") {
        return true;
    }
    return header.find(tag) != std::string_view::npos;
}

} // namespace

Response errorResponse(int status, std::string_view error, std::string_view pointer) {
    Response r = json(runtime::JsonObject().text("error", error).text("pointer", pointer).str());
    r.status = status;
    return r;
}

Service::Service(const tariff::Tariff& tarif, std::vector<std::string> allowedOrigins)
    : tarif_(tarif), allowedOrigins_(std::move(allowedOrigins)), items_(insuranceItems(tarif)),
      tarifJson_(tariff::write(tarif)) {
    // The answers of a query depend on the tariff and on this program: both go into the tag.
    etag_ = "\"" + hex(fnv1a(tarifJson_ + "\n" + SIMCREDIT_VERSION)) + "\"";
}

Response Service::handle(const Request& request) const {
    Response response;
    try {
        response = route(request);
    } catch (const std::exception&) {
        // Nothing a request holds should get here; if it does, that one request fails alone.
        response = errorResponse(500, "internal error", "");
    }
    allowOrigin(request, response);
    return response;
}

void Service::allowOrigin(const Request& request, Response& response) const {
    if (allowedOrigins_.empty()) {
        response.headers.emplace_back("Access-Control-Allow-Origin", "*");
        return;
    }
    response.headers.emplace_back("Vary", "Origin");
    if (std::find(allowedOrigins_.begin(), allowedOrigins_.end(), request.origin) !=
        allowedOrigins_.end()) {
        response.headers.emplace_back("Access-Control-Allow-Origin", std::string(request.origin));
    }
}

template <typename Compute>
std::string Service::answer(char endpoint, const offer::TableRow& row, Compute compute) const {
    const std::string key = AnswerCache::key(endpoint, row);
    if (std::optional<std::string> known = cache_.find(key)) {
        return std::move(*known);
    }
    std::string computed = compute(row, tarif_);
    cache_.store(key, computed);
    return computed;
}

Response Service::route(const Request& request) const {
    const std::size_t mark = request.target.find('?');
    const std::string_view path = request.target.substr(0, mark);
    const std::string_view query =
        mark == std::string_view::npos ? std::string_view{} : request.target.substr(mark + 1);
    const auto found = std::find_if(endpoints.begin(), endpoints.end(),
                                    [&](const Endpoint& e) { return e.path == path; });
    if (found == endpoints.end()) {
        return errorResponse(404, "no such resource", "");
    }
    const Endpoint& endpoint = *found;
    const std::string_view allowed = endpoint.post ? postMethods : getMethods;
    Response r;
    if (request.method == "OPTIONS") {
        // A browser asks before it posts JSON from a shop's page.
        r.status = 204;
        r.headers.emplace_back("Allow", std::string(allowed));
        r.headers.emplace_back("Access-Control-Allow-Methods", std::string(allowed));
        r.headers.emplace_back("Access-Control-Allow-Headers", "Content-Type");
        r.headers.emplace_back("Access-Control-Max-Age", "86400");
        r.route = endpoint.route;
        return r;
    }
    const bool methodFits = endpoint.post ? request.method == "POST"
                                          : request.method == "GET" || request.method == "HEAD";
    if (!methodFits) {
        r = errorResponse(405, "method not allowed", "");
        r.headers.emplace_back("Allow", std::string(allowed));
        r.route = endpoint.route;
        return r;
    }
    switch (endpoint.route) {
    case Route::simulare:
    case Route::variante: {
        const Read<offer::TableRow> form = readForm(request.body, items_);
        if (!form.value) {
            r = errorResponse(400, form.bad.error, form.bad.pointer);
        } else {
            r = json(endpoint.route == Route::simulare ? answer('S', *form.value, simulationAnswer)
                                                       : answer('V', *form.value, variantsAnswer));
        }
        break;
    }
    case Route::rate: {
        const Read<RateQuery> q = readRateQuery(query, items_);
        if (!q.value) {
            r = errorResponse(400, q.bad.error, q.bad.pointer);
            break;
        }
        r.headers.emplace_back("Cache-Control", "public, max-age=300");
        r.headers.emplace_back("ETag", etag_);
        // Checked before the rows are computed: a revalidation costs nothing.
        if (!matches(request.ifNoneMatch, etag_)) {
            r.contentType = jsonType;
            r.body = answer('R', q.value->row, rateAnswer);
        }
        break;
    }
    case Route::tarif:
        r = json(tarifJson_);
        r.headers.emplace_back("ETag", etag_);
        break;
    case Route::healthz:
        r.contentType = "text/plain; charset=utf-8";
        r.body = "ok";
        break;
    case Route::metrics:
        r.contentType = "text/plain; version=0.0.4; charset=utf-8";
        r.body = metrics_.text();
        break;
    case Route::widget:
        r.contentType =
            path.ends_with(".js") ? "text/javascript; charset=utf-8" : "text/html; charset=utf-8";
        r.body = path.ends_with(".js") ? widgetScript() : widgetDemoPage();
        r.headers.emplace_back("Cache-Control", "public, max-age=300");
        r.headers.emplace_back("ETag", "\"" + hex(fnv1a(r.body)) + "\"");
        break;
    case Route::other:
        break;
    }
    // Every tagged answer (the rows, the tariff, the widget) is revalidated alike: the tag
    // named by the client is still the answer's, so nothing is sent again.
    for (const auto& [name, value] : r.headers) {
        if (r.status == 200 && name == "ETag" && matches(request.ifNoneMatch, value)) {
            r.status = 304;
            r.contentType.clear();
            r.body.clear();
        }
    }
    r.route = endpoint.route;
    return r;
}

} // namespace server
