#pragma once

// The real service started for a test on a free loopback port, and a small HTTP client that
// talks to it over real sockets. The process is stopped when the test ends (SIGTERM, then
// SIGKILL if it has not left within 10 s), so no server outlives its test.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace servertest {

using Clock = std::chrono::steady_clock;

class ServerProcess {
public:
    explicit ServerProcess(std::vector<std::string> args = {}) {
        args.insert(args.begin(), {SIMCREDIT_SERVER, "--listen", "127.0.0.1:0"});
        int err[2];
        if (pipe(err) != 0) {
            throw std::runtime_error("pipe");
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(err[1], 2);
            close(err[0]);
            close(err[1]);
            std::vector<char*> argv;
            argv.reserve(args.size() + 1);
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(err[1]);
        reader_ = std::thread([this, fd = err[0]] { readLog(fd); });
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(20), [this] { return port_ != 0 || ended_; });
        if (port_ == 0) {
            throw std::runtime_error("the service did not start: " + log_);
        }
    }

    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    ~ServerProcess() {
        if (pid_ > 0 && !status_) {
            stop(std::chrono::seconds(10));
        }
        if (reader_.joinable()) {
            reader_.join();
        }
    }

    int port() const { return port_; }

    // Sends SIGTERM and waits up to `limit`; the exit status, or nullopt if it had to be killed.
    std::optional<int> stop(std::chrono::seconds limit) {
        kill(pid_, SIGTERM);
        const auto until = Clock::now() + limit;
        int status = 0;
        while (Clock::now() < until) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return status_;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        status_ = -1;
        return std::nullopt;
    }

    // What the service wrote on standard error so far.
    std::string log() {
        const std::lock_guard lock(mutex_);
        return log_;
    }

    // Waits until the log holds `text` (the log line is written once the answer is sent).
    bool waitForLog(const std::string& text, std::chrono::seconds limit = std::chrono::seconds(5)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return log_.find(text) != std::string::npos; });
    }

private:
    void readLog(int fd) {
        char chunk[4096];
        for (;;) {
            const ssize_t n = read(fd, chunk, sizeof chunk);
            const std::lock_guard lock(mutex_);
            if (n <= 0) {
                ended_ = true;
                changed_.notify_all();
                break;
            }
            log_.append(chunk, static_cast<std::size_t>(n));
            const std::string mark = "listening on 127.0.0.1:";
            if (const auto at = log_.find(mark); port_ == 0 && at != std::string::npos) {
                port_ = std::stoi(log_.substr(at + mark.size()));
            }
            changed_.notify_all();
        }
        close(fd);
    }

    pid_t pid_ = -1;
    std::optional<int> status_;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string log_;
    int port_ = 0;
    bool ended_ = false;
};

// A connected socket to the service, closed when dropped.
class Connection {
public:
    explicit Connection(int port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ < 0 || connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            throw std::runtime_error("cannot connect");
        }
    }
    Connection(Connection&& other) noexcept : fd_(other.fd_), buffer_(std::move(other.buffer_)) {
        other.fd_ = -1;
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }

    // False when the service closed or reset the connection.
    bool send(const std::string& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                return false;
            }
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    void shutdownWrite() { shutdown(fd_, SHUT_WR); }

    // Bytes until `enough` says so, the peer closes, or the time is up.
    template <typename Enough> std::string receive(Enough enough, std::chrono::milliseconds limit) {
        const auto until = Clock::now() + limit;
        while (!enough(buffer_)) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            if (left.count() <= 0) {
                break;
            }
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            char chunk[65536];
            const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0) {
                closed_ = true;
                break;
            }
            buffer_.append(chunk, static_cast<std::size_t>(n));
        }
        return buffer_;
    }

    // Whether the service has closed the connection within `limit` (an end of stream or reset).
    bool closedWithin(std::chrono::milliseconds limit) {
        receive([this](const std::string&) { return closed_; }, limit);
        return closed_;
    }

    std::string& buffered() { return buffer_; }

private:
    int fd_ = -1;
    std::string buffer_;
    bool closed_ = false;
};

struct Reply {
    int status = 0;                             // 0: no answer
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
};

// Reads one answer from the connection (by its Content-Length).
inline Reply readReply(Connection& c, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    Reply r;
    const auto complete = [](const std::string& b) {
        const auto end = b.find("\r\n\r\n");
        if (end == std::string::npos) {
            return false;
        }
        std::string head = b.substr(0, end);
        for (char& ch : head) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        const auto at = head.find("content-length: ");
        const std::size_t length = at == std::string::npos ? 0 : std::stoul(head.substr(at + 16));
        return b.size() >= end + 4 + length;
    };
    std::string& b = c.buffered();
    c.receive(complete, limit);
    if (!complete(b)) {
        return r;
    }
    const auto end = b.find("\r\n\r\n");
    std::size_t pos = b.find("\r\n");
    r.status = std::stoi(b.substr(9, 3));
    std::size_t length = 0;
    while (pos < end) {
        const std::size_t next = b.find("\r\n", pos + 2);
        const std::string line = b.substr(pos + 2, next - pos - 2);
        const auto colon = line.find(':');
        std::string name = line.substr(0, colon);
        for (char& ch : name) {
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
        r.headers[name] = line.substr(colon + 2);
        pos = next;
    }
    if (r.headers.contains("content-length")) {
        length = std::stoul(r.headers["content-length"]);
    }
    r.body = b.substr(end + 4, length);
    b.erase(0, end + 4 + length);
    return r;
}

// One request on a new connection.
inline Reply request(int port, const std::string& method, const std::string& target,
                     const std::string& body = {}, const std::string& extraHeaders = {}) {
    Connection c(port);
    std::string req = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders;
    if (method == "POST") {
        req += "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\n";
    }
    req += "Connection: close\r\n\r\n" + body;
    c.send(req);
    return readReply(c);
}

} // namespace servertest
