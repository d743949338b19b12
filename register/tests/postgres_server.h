#pragma once

// A private PostgreSQL server for one test: a cluster made with initdb in a temporary folder,
// listening on a Unix socket there and on a free port of 127.0.0.1, run by an unprivileged user
// (PostgreSQL refuses root), stopped and removed at the end.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace regtest {

class PostgresServer {
public:
    // The server's programs, or an empty path when PostgreSQL is not installed.
    static std::filesystem::path binaries() {
        std::error_code ec;
        for (const char* version : {"17", "16", "15", "14", "13"}) {
            std::filesystem::path bin =
                std::filesystem::path("/usr/lib/postgresql") / version / "bin";
            if (std::filesystem::exists(bin / "initdb", ec)) {
                return bin;
            }
        }
        return {};
    }

    PostgresServer() : bin_(binaries()) {
        if (bin_.empty() || !dir_.isValid()) {
            return;
        }
        folder_ = dir_.path().toStdString();
        port_ = freePort();
        if (geteuid() == 0) {
            passwd* nobody = getpwnam("nobody");
            if (!nobody || chown(folder_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
                error_ = "cannot hand the folder to the user nobody";
                return;
            }
        }
        if (!run("initdb", {"-D", data(), "-U", "postgres", "-A", "trust", "--no-sync", "-E",
                            "UTF8", "--locale=C"})) {
            return;
        }
        ok_ = start() && run("createdb", {"-h", folder_, "-p", std::to_string(port_), "-U",
                                          "postgres", "registru"});
    }
    ~PostgresServer() {
        if (ok_ || started_) {
            stop();
        }
    }
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    int port() const { return port_; }

    // A libpq connection string to a database of this server.
    std::string url(const std::string& db = "registru") const {
        return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + db;
    }

    bool start() {
        started_ =
            run("pg_ctl", {"-D", data(), "-l", folder_ + "/server.log", "-w", "-t", "30", "-o",
                           "-k " + folder_ + " -p " + std::to_string(port_) +
                               " -c listen_addresses=127.0.0.1 -c fsync=off",
                           "start"});
        return started_;
    }
    bool stop() {
        const bool stopped = run("pg_ctl", {"-D", data(), "-m", "fast", "-w", "stop"});
        started_ = started_ && !stopped;
        return stopped;
    }
    // Runs SQL on a database of the server with psql; its output, or nothing when it failed.
    std::optional<std::string> sql(const std::string& db, const std::string& text) {
        std::string out;
        if (!run("psql",
                 {"-h", folder_, "-p", std::to_string(port_), "-U", "postgres", "-d", db, "-v",
                  "ON_ERROR_STOP=1", "-At", "-c", text},
                 &out)) {
            return std::nullopt;
        }
        return out;
    }

private:
    std::string data() const { return folder_ + "/data"; }

    static int freePort() {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        int port = 0;
        if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
            port = ntohs(a.sin_port);
        }
        close(s);
        return port;
    }

    bool run(const std::string& program, const std::vector<std::string>& args,
             std::string* output = nullptr) {
        QProcess p;
        p.setWorkingDirectory(QString::fromStdString(folder_));
        QStringList list;
        QString command = QString::fromStdString((bin_ / program).string());
        if (geteuid() == 0) {
            list << QStringLiteral("-u") << QStringLiteral("nobody") << QStringLiteral("--")
                 << command;
            command = QStringLiteral("runuser");
        }
        for (const std::string& a : args) {
            list << QString::fromStdString(a);
        }
        p.start(command, list);
        const bool finished = p.waitForFinished(60000);
        const std::string out = p.readAllStandardOutput().toStdString();
        if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            error_ = program + " failed: " + out + p.readAllStandardError().toStdString();
            return false;
        }
        if (output) {
            *output = out;
        }
        return true;
    }

    std::filesystem::path bin_;
    QTemporaryDir dir_{QStringLiteral("/tmp/registru-pg-XXXXXX")};
    std::string folder_;
    int port_ = 0;
    bool ok_ = false;
    bool started_ = false;
    std::string error_;
};

} // namespace regtest
