#include "server_process.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

// Clients that send too much, too slowly or too many at once: each gets its status or is
// closed, within its bound, and the service keeps answering the others.
namespace {

using namespace std::chrono_literals;
using servertest::Connection;
using servertest::readReply;
using servertest::request;
using servertest::ServerProcess;

const std::string simulation = "POST /v1/simulare HTTP/1.1\r\nHost: x\r\n"
                               "Content-Type: application/json\r\nContent-Length: 16\r\n\r\n"
                               "{\"tbvp\":\"3500\"}\n";

// Whether the service still answers a plain request.
bool answers(int port) {
    return request(port, "GET", "/healthz").body == "ok";
}

TEST(Hostile, BodiesOverTheLimit) {
    ServerProcess server;
    // Announced, then sent: 10 MB.
    Connection big(server.port());
    big.send("POST /v1/simulare HTTP/1.1\r\nHost: x\r\nContent-Length: 10485760\r\n\r\n");
    big.send(
        std::string(std::size_t{10} * 1024 * 1024, '{')); // may fail once the service stops reading
    const auto r = readReply(big);
    EXPECT_EQ(r.status, 413) << r.body;
    EXPECT_NE(r.body.find("\"pointer\""), std::string::npos);
    EXPECT_TRUE(big.closedWithin(5s));

    // In chunks, with no length announced.
    Connection chunked(server.port());
    chunked.send("POST /v1/variante HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n");
    const std::string chunk = "10000\r\n" + std::string(0x10000, ' ') + "\r\n";
    for (int i = 0; i < 4 && chunked.send(chunk); ++i) {
    }
    EXPECT_EQ(readReply(chunked).status, 413);

    // Just under the limit is read whole (and is malformed JSON).
    const std::string under(std::size_t{64} * 1024, ' ');
    EXPECT_EQ(request(server.port(), "POST", "/v1/simulare", under).status, 400);
    EXPECT_TRUE(answers(server.port()));
}

TEST(Hostile, HeadersOverTheLimit) {
    ServerProcess server;
    Connection many(server.port());
    std::string headers = "GET /healthz HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 100000; ++i) {
        headers += "X-" + std::to_string(i) + ": y\r\n";
    }
    many.send(headers + "\r\n");
    EXPECT_EQ(readReply(many).status, 431);
    EXPECT_TRUE(many.closedWithin(5s));

    Connection one(server.port());
    one.send("GET /healthz HTTP/1.1\r\nHost: x\r\nX-Long: " + std::string(17000, 'a') + "\r\n\r\n");
    EXPECT_EQ(readReply(one).status, 431);
    EXPECT_TRUE(answers(server.port()));
}

TEST(Hostile, MalformedRequestLinesAndPipelining) {
    ServerProcess server;
    Connection garbage(server.port());
    garbage.send("HELLO\r\n\r\n");
    EXPECT_EQ(readReply(garbage).status, 400);
    EXPECT_TRUE(garbage.closedWithin(5s));

    // Two requests in one write: two answers, in order.
    Connection both(server.port());
    both.send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n" + simulation);
    EXPECT_EQ(readReply(both).body, "ok");
    EXPECT_EQ(readReply(both).status, 200);
}

// One log line a request, whatever the client sent: bytes that are not printable ASCII are
// written as '?', the query is left out, and a request unread up to its target is logged "- -".
TEST(Hostile, LogLinesStayOneLine) {
    ServerProcess server;
    Connection odd(server.port());
    odd.send("GET /caf\xC3\xA9?card=1234 HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(readReply(odd).status, 404);
    EXPECT_TRUE(server.waitForLog("\nGET /caf?? 404 ")) << server.log();
    EXPECT_EQ(server.log().find("1234"), std::string::npos);

    Connection garbage(server.port());
    garbage.send("\x01\x02 / HTTP/1.1\r\n\r\n");
    EXPECT_EQ(readReply(garbage).status, 400);
    EXPECT_TRUE(server.waitForLog("\n- - 400 ")) << server.log();

    // Read past its headers: the request is named even though its body is refused.
    Connection big(server.port());
    big.send("POST /v1/variante HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n");
    big.send("10001\r\n" + std::string(0x10001, ' ') + "\r\n");
    EXPECT_EQ(readReply(big).status, 413);
    EXPECT_TRUE(server.waitForLog("\nPOST /v1/variante 413 ")) << server.log();

    // Refused by the length it announces, before its headers are done: named all the same.
    Connection announced(server.port());
    announced.send("POST /v1/simulare HTTP/1.1\r\nHost: x\r\nContent-Length: 70000\r\n\r\n");
    EXPECT_EQ(readReply(announced).status, 413);
    EXPECT_TRUE(server.waitForLog("\nPOST /v1/simulare 413 ")) << server.log();
}

TEST(Hostile, SlowSilentAndHalfClosedClients) {
    ServerProcess server;
    const auto start = servertest::Clock::now();
    Connection silent(server.port());
    Connection slow(server.port());
    const std::string request =
        "GET /healthz HTTP/1.1\r\nHost: x\r\nX-Pad: " + std::string(100, 'a') + "\r\n\r\n";
    // One byte a second: the request never completes within its time.
    bool closed = false;
    for (std::size_t i = 0; i < request.size() && !closed; ++i) {
        closed = !slow.send(request.substr(i, 1)) || slow.closedWithin(1s);
        if (i == 3) {
            EXPECT_TRUE(answers(server.port())); // nobody else waits meanwhile
        }
    }
    const auto took = servertest::Clock::now() - start;
    EXPECT_TRUE(closed);
    EXPECT_LT(took, 13s);
    EXPECT_GE(took, 9s);
    EXPECT_TRUE(silent.closedWithin(1s)); // nothing sent for 10 s

    // A request, then the client's side closed: the answer still comes, then the end.
    Connection half(server.port());
    half.send(simulation);
    half.shutdownWrite();
    EXPECT_EQ(readReply(half).status, 200);
    EXPECT_TRUE(half.closedWithin(2s));
}

// A keep-alive connection left idle holds a slot for a minute, not longer: a shop's proxy that
// never closes its connections cannot use up the service.
TEST(Hostile, IdleConnectionClosedAfterAMinute) {
    ServerProcess server;
    Connection idle(server.port());
    ASSERT_TRUE(idle.send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n"));
    ASSERT_EQ(readReply(idle).status, 200);
    EXPECT_FALSE(idle.closedWithin(55s));
    EXPECT_TRUE(idle.closedWithin(10s));
    EXPECT_TRUE(answers(server.port()));
}

TEST(Hostile, AThousandConnectionsAtOnce) {
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < 1100) {
        GTEST_SKIP() << "this process may open only " << limit.rlim_cur << " files";
    }
    ServerProcess server({"--threads", "2"});
    std::vector<Connection> connections;
    connections.reserve(1000);
    for (int i = 0; i < 1000; ++i) {
        connections.emplace_back(server.port());
    }
    for (Connection& c : connections) {
        ASSERT_TRUE(c.send(simulation));
    }
    int answered = 0;
    for (Connection& c : connections) {
        answered += readReply(c, 20s).status == 200 ? 1 : 0;
    }
    EXPECT_EQ(answered, 1000);
}

TEST(Hostile, StopFinishesTheRequestUnderWay) {
    ServerProcess server;
    Connection idle(server.port());
    ASSERT_TRUE(idle.send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n"));
    ASSERT_EQ(readReply(idle).status, 200);

    Connection busy(server.port());
    busy.send(simulation.substr(0, simulation.size() - 5));
    std::this_thread::sleep_for(200ms);
    std::optional<int> status;
    std::thread stopper([&] { status = server.stop(6s); });
    std::this_thread::sleep_for(300ms);
    busy.send(simulation.substr(simulation.size() - 5));
    const auto r = readReply(busy);
    stopper.join();
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.headers.at("connection"), "close");
    EXPECT_TRUE(idle.closedWithin(1s));
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
}

// A request still coming in when the stop comes is given up after the stop's bound: the program
// ends by itself, with status 0, rather than waiting on a client that never finishes.
TEST(Hostile, StopGivesUpOnARequestThatNeverEnds) {
    ServerProcess server;
    Connection busy(server.port());
    ASSERT_TRUE(busy.send(simulation.substr(0, simulation.size() - 5)));
    std::this_thread::sleep_for(200ms);
    const auto start = servertest::Clock::now();
    EXPECT_EQ(server.stop(9s), 0) << server.log();
    EXPECT_GE(servertest::Clock::now() - start, 3s); // it did wait for the request a while
    EXPECT_TRUE(busy.closedWithin(1s));
}

TEST(Hostile, StopWhileIdleIsImmediate) {
    ServerProcess server;
    Connection idle(server.port());
    const auto start = servertest::Clock::now();
    EXPECT_EQ(server.stop(5s), 0);
    EXPECT_LT(servertest::Clock::now() - start, 2s);
}

} // namespace
