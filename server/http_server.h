#pragma once

#include "server/service.h"

#include <functional>
#include <string>

namespace server {

// Where and how the service listens.
struct ListenOptions {
    std::string address = "127.0.0.1";
    unsigned short port = 8080; // 0: any free port
    unsigned threads = 1;
};

// What the connections answer: the service's handler, or any other for measurements.
using Handler = std::function<Response(const Request&)>;

// Serves HTTP/1.1 until SIGTERM or SIGINT, then stops accepting, closes idle connections,
// finishes the requests under way (for at most a few seconds) and returns 0; returns 1 when the
// address cannot be listened on. Each request is logged on standard error (method, path, status,
// microseconds) and counted in `metrics` when given. Once listening, one line on standard error
// names the address and port.
int serve(const ListenOptions& options, const Handler& handler, Metrics* metrics);

// Limits on what a client may send or hold. A request's headers over `maxHeader` bytes or its
// body over the service's body limit end the connection after an error answer; a new connection
// that has not sent a whole request within `requestTime`, a request begun and not finished
// within `requestTime`, and a connection idle for `idleTime` between requests are closed.
inline constexpr std::size_t maxHeader = std::size_t{16} * 1024;
inline constexpr int requestSeconds = 10;
inline constexpr int idleSeconds = 60;
inline constexpr int stopSeconds = 4; // the longest wait for requests under way at the end

} // namespace server
