#include "fuzz/check.h"
#include "server/service.h"
#include "tariff/tariff.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

// The service's handler on an arbitrary body or query string: the first byte picks the endpoint
// (a form to simulate, a form's variants, the instalments' query, any path), the rest is what the
// client sends. Every answer is one of the statuses the service gives, with a JSON body that
// reads back; a refusal names the error and its pointer.
namespace {

using fuzz::require;
using nlohmann::json;

const server::Service& service() {
    static const server::Service s(tariff::builtIn(), {});
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string target;
    std::string body;
    std::string method = "POST";
    switch (data[0] % 8) {
    case 0:
        // The variants run the recalculation hundreds of times: one input in eight asks for them.
        target = "/v1/variante";
        body = rest;
        break;
    case 1:
    case 2:
        method = "GET";
        target = "/v1/rate?" + rest;
        break;
    case 3:
        method = "GET";
        target = rest;
        break;
    default:
        target = "/v1/simulare";
        body = rest;
        break;
    }
    const server::Response r = service().handle({method, target, body, "", ""});
    require(r.status == 200 || r.status == 304 || r.status == 400 || r.status == 404 ||
                r.status == 405,
            "request: an unexpected status");
    if (r.contentType == "application/json") {
        const json answer = json::parse(r.body, nullptr, false);
        require(!answer.is_discarded(), "request: an answer that is not JSON");
        if (r.status == 400) {
            require(answer["error"].is_string() && answer["pointer"].is_string(),
                    "request: a refusal without its error and pointer");
        }
        if (r.status == 200 && target == "/v1/simulare") {
            require(answer.contains("snapshot") && answer.contains("schedule") &&
                        answer.contains("legal"),
                    "request: a simulation without its parts");
        }
    }
    return 0;
}
