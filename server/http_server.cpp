#include "server/http_server.h"

#include <boost/asio/signal_set.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace server {
namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

// One line per request on standard error, written at once so that threads do not mix lines.
// Bytes a client chose that are not printable are written as '?', so a line stays one line.
void logLine(std::string_view method, std::string_view target, int status,
             std::chrono::microseconds took) {
    std::string line;
    line.reserve(64 + target.size());
    const std::string_view path = target.substr(0, target.find('?'));
    for (const std::string_view part : {method, std::string_view(" "), path}) {
        for (const char c : part) {
            line += (c > ' ' && c < 127) || (part.size() == 1 && c == ' ') ? c : '?';
        }
    }
    line += ' ' + std::to_string(status) + ' ' + std::to_string(took.count()) + '\n';
    [[maybe_unused]] const ssize_t written = ::write(2, line.data(), line.size());
}

class Session;

// What every connection shares: the handler, the metrics and, for the stop, the open ones.
struct Shared {
    Shared(const Handler& h, Metrics* m, net::io_context& i) : handler(h), metrics(m), ioc(i) {}
    const Handler& handler;
    Metrics* metrics;
    net::io_context& ioc;
    std::atomic<bool> stopping{false};
    std::atomic<bool> running{true}; // false once the threads have left the event loop
    std::mutex mutex;
    std::unordered_map<Session*, std::weak_ptr<Session>> open;
};

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(tcp::socket&& socket, std::shared_ptr<Shared> shared)
        : stream_(std::move(socket)), sharedOwner_(std::move(shared)), shared_(*sharedOwner_) {}

    ~Session() {
        const std::lock_guard lock(shared_.mutex);
        shared_.open.erase(this);
        if (shared_.stopping && shared_.open.empty() && shared_.running) {
            shared_.ioc.stop(); // the last connection under way is done
        }
    }

    void start() {
        {
            const std::lock_guard lock(shared_.mutex);
            shared_.open.emplace(this, weak_from_this());
        }
        net::dispatch(stream_.get_executor(),
                      [self = shared_from_this()] { self->waitForRequest(); });
    }

    auto executor() { return stream_.get_executor(); }

    // At the stop: a connection waiting for a request is closed now, one under way after it.
    void stop() {
        if (waiting_) {
            beast::error_code ignored;
            stream_.socket().close(ignored);
        }
    }

private:
    void waitForRequest() {
        if (shared_.stopping) {
            return close();
        }
        if (buffer_.size() > 0) {
            return readRequest(); // the next request came with the last one
        }
        // Nothing is held for a connection that waits: no parser, a small buffer.
        waiting_ = true;
        stream_.expires_after(std::chrono::seconds(first_ ? requestSeconds : idleSeconds));
        stream_.async_read_some(buffer_.prepare(4096),
                                [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                                    self->waiting_ = false;
                                    if (ec) {
                                        return self->close();
                                    }
                                    self->buffer_.commit(n);
                                    self->readRequest();
                                });
    }

    void readRequest() {
        parser_.emplace();
        parser_->header_limit(static_cast<std::uint32_t>(maxHeader));
        parser_->body_limit(static_cast<std::uint64_t>(maxBody));
        // The whole request within the time from its first byte: a client sending a byte now and
        // then cannot hold the connection for longer.
        stream_.expires_after(std::chrono::seconds(requestSeconds));
        http::async_read(stream_, buffer_, *parser_,
                         [self = shared_from_this()](beast::error_code ec, std::size_t) {
                             self->onRequest(ec);
                         });
    }

    void onRequest(beast::error_code ec) {
        started_ = Clock::now();
        if (ec == http::error::end_of_stream || ec == beast::error::timeout ||
            ec == net::error::operation_aborted || ec == net::error::connection_reset ||
            ec == net::error::eof) {
            return close();
        }
        if (ec) {
            // The request cannot be read whole: answer why and end the connection, since
            // what follows in it cannot be told apart from the rest of this one.
            Response r;
            if (ec == http::error::body_limit) {
                r = errorResponse(413, "body over 65536 bytes", "");
            } else if (ec == http::error::header_limit) {
                r = errorResponse(431, "headers over 16384 bytes", "");
            } else {
                r = errorResponse(400, "malformed HTTP request", "");
            }
            // The request line is kept as soon as it is read, before the headers: a body
            // refused by its announced length still names its request in the log.
            const auto& header = parser_->get();
            method_ = header.method_string().empty() ? "-" : std::string(header.method_string());
            target_ = header.target().empty() ? "-" : std::string(header.target());
            unread_ = true;
            return reply(std::move(r), false);
        }
        const http::request<http::string_body>& req = parser_->get();
        method_ = std::string(req.method_string());
        target_ = std::string(req.target());
        const auto header = [&](http::field f) {
            const auto it = req.find(f);
            return it == req.end() ? std::string_view{}
                                   : std::string_view(it->value().data(), it->value().size());
        };
        const Request request{method_, target_, req.body(), header(http::field::origin),
                              header(http::field::if_none_match)};
        Response r = shared_.handler(request);
        head_ = req.method() == http::verb::head;
        reply(std::move(r), req.keep_alive() && !shared_.stopping);
    }

    void reply(Response r, bool keepAlive) {
        status_ = r.status;
        route_ = r.route;
        res_ = {};
        res_.result(static_cast<unsigned>(r.status));
        res_.version(11);
        if (!r.contentType.empty()) {
            res_.set(http::field::content_type, r.contentType);
        }
        for (auto& [name, value] : r.headers) {
            res_.set(name, value);
        }
        res_.keep_alive(keepAlive);
        if (r.status == 204 || r.status == 304) {
            res_.body().clear();
        } else if (head_) {
            res_.content_length(r.body.size()); // the length a GET would get, no body
        } else {
            res_.body() = std::move(r.body);
            res_.prepare_payload();
        }
        stream_.expires_after(std::chrono::seconds(requestSeconds));
        http::async_write(stream_, res_,
                          [self = shared_from_this()](beast::error_code ec, std::size_t) {
                              self->onWritten(ec);
                          });
    }

    void onWritten(beast::error_code ec) {
        const auto took =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started_);
        logLine(method_, target_, status_, took);
        if (shared_.metrics != nullptr) {
            shared_.metrics->record(route_, status_, took);
        }
        head_ = false;
        if (ec || !res_.keep_alive()) {
            return unread_ ? drainAndClose() : close();
        }
        first_ = false;
        waitForRequest();
    }

    // Ends the connection without losing the answer just written: closing a socket with unread
    // bytes would reset it, and the client could lose the answer. What the client still sends
    // is read and dropped, up to a bound in bytes and time.
    void drainAndClose() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        buffer_.clear();
        stream_.expires_after(std::chrono::seconds(2));
        drain(0);
    }

    void drain(std::size_t dropped) {
        if (dropped > (1U << 20)) {
            return close();
        }
        stream_.async_read_some(buffer_.prepare(16384), [self = shared_from_this(), dropped](
                                                            beast::error_code ec, std::size_t n) {
            if (ec) {
                return self->close();
            }
            self->buffer_.clear();
            self->drain(dropped + n);
        });
    }

    void close() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream_.socket().close(ignored);
    }

    beast::tcp_stream stream_;
    std::shared_ptr<Shared> sharedOwner_; // sessions may outlive the loop that ran them
    Shared& shared_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    http::response<http::string_body> res_;
    std::string method_, target_;
    Clock::time_point started_;
    int status_ = 0;
    Route route_ = Route::other;
    bool first_ = true;
    bool head_ = false;
    bool waiting_ = false;
    bool unread_ = false; // the client's request was not read to its end
};

class Listener {
public:
    Listener(net::io_context& ioc, tcp::acceptor& acceptor, std::shared_ptr<Shared> shared)
        : ioc_(ioc), acceptor_(acceptor), shared_(std::move(shared)), retry_(ioc) {}

    void accept() {
        acceptor_.async_accept(
            net::make_strand(ioc_), [this](beast::error_code ec, tcp::socket socket) {
                if (ec == net::error::operation_aborted || !acceptor_.is_open()) {
                    return;
                }
                if (ec) {
                    // Out of file descriptors or the like: wait a little rather than spin.
                    retry_.expires_after(std::chrono::milliseconds(50));
                    retry_.async_wait([this](beast::error_code) { accept(); });
                    return;
                }
                beast::error_code ignored;
                socket.set_option(tcp::no_delay(true), ignored);
                std::make_shared<Session>(std::move(socket), shared_)->start();
                accept();
            });
    }

private:
    net::io_context& ioc_;
    tcp::acceptor& acceptor_;
    std::shared_ptr<Shared> shared_;
    net::steady_timer retry_;
};

} // namespace

int serve(const ListenOptions& options, const Handler& handler, Metrics* metrics) {
    net::io_context ioc(static_cast<int>(options.threads));
    // An address that is not one (a host name) is told like a port that is taken: the same line
    // naming what was asked for and why, not a request log line.
    const auto cannotListen = [&options](const beast::error_code& why) {
        const std::string text = "simulator-credit-server: cannot listen on " + options.address +
                                 ":" + std::to_string(options.port) + ": " + why.message() + "\n";
        [[maybe_unused]] const ssize_t written = ::write(2, text.data(), text.size());
        return 1;
    };
    beast::error_code ec;
    const auto address = net::ip::make_address(options.address, ec);
    if (ec) {
        return cannotListen(ec);
    }
    tcp::acceptor acceptor(ioc);
    const tcp::endpoint endpoint(address, options.port);
    acceptor.open(endpoint.protocol(), ec);
    if (!ec) {
        acceptor.set_option(net::socket_base::reuse_address(true), ec);
        acceptor.bind(endpoint, ec);
    }
    if (!ec) {
        acceptor.listen(net::socket_base::max_listen_connections, ec);
    }
    if (ec) {
        return cannotListen(ec);
    }
    const auto sharedOwner = std::make_shared<Shared>(handler, metrics, ioc);
    Shared& shared = *sharedOwner;
    Listener listener(ioc, acceptor, sharedOwner);
    listener.accept();

    net::steady_timer deadline(ioc);
    net::signal_set signals(ioc, SIGINT, SIGTERM);
    signals.async_wait([&](beast::error_code, int) {
        shared.stopping = true;
        beast::error_code ignored;
        acceptor.close(ignored);
        std::vector<std::shared_ptr<Session>> sessions;
        {
            const std::lock_guard lock(shared.mutex);
            if (shared.open.empty()) {
                ioc.stop();
                return;
            }
            for (const auto& entry : shared.open) {
                if (auto s = entry.second.lock()) {
                    sessions.push_back(std::move(s));
                }
            }
        }
        for (const auto& s : sessions) {
            net::post(s->executor(), [s] { s->stop(); });
        }
        // Requests still under way after this are dropped: the exit comes within 5 s.
        deadline.expires_after(std::chrono::seconds(stopSeconds));
        deadline.async_wait([&](beast::error_code e) {
            if (!e) {
                ioc.stop();
            }
        });
    });

    // Told only once a stop signal is handled, so that whoever waits for this line may stop it.
    const tcp::endpoint bound = acceptor.local_endpoint();
    const std::string listening = "simulator-credit-server: listening on " +
                                  bound.address().to_string() + ":" + std::to_string(bound.port()) +
                                  "\n";
    [[maybe_unused]] const ssize_t written = ::write(2, listening.data(), listening.size());

    std::vector<std::thread> threads;
    for (unsigned k = 1; k < options.threads; ++k) {
        threads.emplace_back([&ioc] { ioc.run(); });
    }
    ioc.run();
    for (std::thread& t : threads) {
        t.join();
    }
    shared.running = false;
    return 0;
}

} // namespace server
