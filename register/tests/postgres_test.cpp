#include "register/database.h"
#include "register/register.h"
#include "register/tests/postgres_server.h"
#include "register/tests/register_fixture.h"

#include <QElapsedTimer>

#include <thread>

namespace {

using regtest::exampleRecord;

reg::Location at(const std::string& url) {
    std::string error;
    auto params = reg::parseConnectionString(url, error);
    EXPECT_TRUE(params) << error;
    return reg::Location{{}, params.value_or(std::vector<reg::ConnParam>{})};
}

// One server for the suite: making a cluster takes seconds.
class PostgresRegister : public regtest::TempFolder {
protected:
    static void SetUpTestSuite() {
        regtest::ensureApplication();
        if (!regtest::PostgresServer::binaries().empty()) {
            server = new regtest::PostgresServer;
        }
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override {
        TempFolder::SetUp();
        if (!server) {
            GTEST_SKIP()
                << "PostgreSQL's server programs are not installed (scripts/deps postgres)";
        }
        ASSERT_TRUE(server->ok()) << server->error();
        // Every test on an empty database of its own.
        db = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : db) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        ASSERT_TRUE(server->sql("postgres", "DROP DATABASE IF EXISTS " + db)) << server->error();
        ASSERT_TRUE(server->sql("postgres", "CREATE DATABASE " + db)) << server->error();
    }
    static regtest::PostgresServer* server;
    std::string db;
};
regtest::PostgresServer* PostgresRegister::server = nullptr;

TEST_F(PostgresRegister, SchemaMadeOnceAndHostileNamesReadBackByteForByte) {
    reg::Outcome o;
    auto first = reg::Database::open(at(server->url(db)), o);
    ASSERT_TRUE(first) << o.error;
    auto second = reg::Database::open(at(server->url(db)), o); // finds the schema made
    ASSERT_TRUE(second) << o.error;
    EXPECT_EQ(server->sql(db, "SELECT program || ' ' || version FROM registru_schema"),
              "simulator-credit 2\n");
    std::string tenThousand;
    for (int i = 0; i < 10000; ++i) {
        tenThousand += "';";
    }
    const std::vector<std::string> names = {
        "O'Brien \"Bobby\"", "x'); DROP TABLE registru_documente; --", "$1 $$ E'\\x00' \\ ? :name",
        "Ștefan Țăranu — 山田太郎 𝔘𝔫𝔦 🙂 \u202Eevil", tenThousand};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.substr(0, 40));
        reg::MadeRecord made = exampleRecord(name);
        ASSERT_TRUE(first->store(made.record, made.tariffJson).ok);
        std::vector<reg::Record> found;
        ASSERT_TRUE(second->findDocument(*made.record.document_sha256, found).ok);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0], made.record);
    }
    long long n = 0;
    ASSERT_TRUE(second->count(n).ok);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(server->sql(db, "SELECT count(*) FROM registru_tarife"), "1\n");
    // The list's filter, in the server's own substring search.
    for (const auto& [typed, expected] : {std::pair{"ȘTEFAN țăranu", 1}, {"$1 $$", 1}, {"%", 0}}) {
        SCOPED_TRACE(typed);
        ASSERT_TRUE(second->countListed(reg::searchNeedle(typed), n).ok);
        EXPECT_EQ(n, expected);
    }
    std::vector<reg::Record> page;
    ASSERT_TRUE(second->listPage(reg::searchNeedle("o'brien"), 0, 200, page).ok);
    ASSERT_EQ(page.size(), 1u);
    EXPECT_EQ(page[0].customer, names[0]);
}

TEST_F(PostgresRegister, AnotherProgramsDatabaseIsRefusedUntouched) {
    ASSERT_TRUE(server->sql(db, "CREATE TABLE facturi (nr int); INSERT INTO facturi VALUES (1)"));
    reg::Outcome o;
    EXPECT_FALSE(reg::Database::open(at(server->url(db)), o));
    EXPECT_NE(o.error.find("\"" + db + "\""), std::string::npos) << o.error;
    EXPECT_NE(o.error.find("facturi"), std::string::npos) << o.error;
    EXPECT_EQ(server->sql(db, "SELECT string_agg(table_name, ',') FROM information_schema.tables "
                              "WHERE table_schema = 'public'"),
              "facturi\n");
    // A schema table of the same name that is not ours is not taken for ours either.
    ASSERT_TRUE(server->sql(db, "DROP TABLE facturi; CREATE TABLE registru_schema (program "
                                "text, version int); INSERT INTO registru_schema VALUES "
                                "('altceva', 1)"));
    EXPECT_FALSE(reg::Database::open(at(server->url(db)), o));
    EXPECT_NE(o.error.find("altui program"), std::string::npos) << o.error;
}

// The server stops while the window runs: the record waits in the outbox and reaches the
// register once the server is back, once, however often the outbox is sent.
TEST_F(PostgresRegister, StoppedServerQueuesThenSyncSendsExactlyOnce) {
    reg::Register registru(at(server->url(db)), path("netrimise.sqlite"));
    reg::MadeRecord before = exampleRecord("Inainte");
    ASSERT_EQ(registru.file(before.record, before.tariffJson).filed, reg::Filed::stored);

    ASSERT_TRUE(server->stop()) << server->error();
    reg::MadeRecord during = exampleRecord("In timpul opririi");
    reg::FileResult r = registru.file(during.record, during.tariffJson);
    EXPECT_EQ(r.filed, reg::Filed::queued);
    EXPECT_NE(r.message.find(db), std::string::npos) << r.message;
    long long waiting = 0, sent = 0;
    ASSERT_TRUE(registru.pending(waiting).ok);
    EXPECT_EQ(waiting, 1);
    reg::Outcome o = registru.sync(sent);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(sent, 0);

    ASSERT_TRUE(server->start()) << server->error();
    // A send cut short after the register committed and before the outbox forgot: the record
    // is in both places.
    reg::MadeRecord cut = exampleRecord("Trimis pe jumatate");
    ASSERT_EQ(reg::Register(reg::Location{path("netrimise.sqlite"), {}}, {})
                  .file(cut.record, cut.tariffJson)
                  .filed,
              reg::Filed::stored);
    ASSERT_EQ(registru.file(cut.record, cut.tariffJson).filed, reg::Filed::stored);

    ASSERT_TRUE(registru.sync(sent).ok);
    EXPECT_EQ(sent, 2);
    ASSERT_TRUE(registru.sync(sent).ok);
    EXPECT_EQ(sent, 0);
    ASSERT_TRUE(registru.pending(waiting).ok);
    EXPECT_EQ(waiting, 0);
    EXPECT_EQ(server->sql(db, "SELECT string_agg(customer, ',' ORDER BY customer) FROM "
                              "registru_documente"),
              "In timpul opririi,Inainte,Trimis pe jumatate\n");
}

// The server stops in the middle of a long send: what it committed stays, the rest waits, and
// the next send after the restart completes the register with every record exactly once.
TEST_F(PostgresRegister, ServerStoppedMidSendLosesAndDoublesNothing) {
    const int total = 1000;
    {
        reg::Outcome o;
        auto box = reg::Database::open(reg::Location{path("netrimise.sqlite"), {}}, o);
        ASSERT_TRUE(box) << o.error;
        const reg::MadeRecord made = exampleRecord("Client");
        for (int i = 0; i < total; ++i) {
            reg::Record r = made.record;
            r.id = "trimis-" + std::to_string(i);
            ASSERT_TRUE(box->store(r, made.tariffJson).ok);
        }
    }
    const std::string url = server->url(db);
    const std::filesystem::path outbox = path("netrimise.sqlite");
    long long sentFirst = -1;
    bool firstOk = true;
    std::thread sender([&] {
        reg::Register registru(at(url), outbox);
        firstOk = registru.sync(sentFirst).ok;
    });
    // Stopped once some records have arrived, while the rest are still on their way.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000) {
        const auto n = server->sql(db, "SELECT count(*) FROM registru_documente");
        if (n && !n->empty() && std::stoi(*n) >= 100) {
            break;
        }
    }
    ASSERT_TRUE(server->stop()) << server->error();
    sender.join();
    EXPECT_FALSE(firstOk) << "the send ended before the server stopped";
    EXPECT_LT(sentFirst, total);

    ASSERT_TRUE(server->start()) << server->error();
    reg::Register registru(at(url), outbox);
    long long sent = 0, waiting = -1;
    ASSERT_TRUE(registru.sync(sent).ok);
    ASSERT_TRUE(registru.pending(waiting).ok);
    EXPECT_EQ(waiting, 0);
    EXPECT_GE(sentFirst + sent, total - 1); // one may have been committed and not yet forgotten
    EXPECT_EQ(server->sql(db, "SELECT count(*), count(DISTINCT id) FROM registru_documente"),
              std::to_string(total) + "|" + std::to_string(total) + "\n");
}

// Records kept in the local register before the machine was pointed at the server stay there:
// only the outbox is sent.
TEST_F(PostgresRegister, OnlyTheOutboxIsSent) {
    reg::Register local(reg::Location{path("registru.sqlite"), {}}, path("netrimise.sqlite"));
    reg::MadeRecord old = exampleRecord("Local");
    ASSERT_EQ(local.file(old.record, old.tariffJson).filed, reg::Filed::stored);
    reg::Register central(at(server->url(db)), path("netrimise.sqlite"));
    long long sent = 0;
    ASSERT_TRUE(central.sync(sent).ok);
    EXPECT_EQ(sent, 0);
    reg::Outcome o;
    ASSERT_TRUE(central.database(o)) << o.error;
    EXPECT_EQ(server->sql(db, "SELECT count(*) FROM registru_documente"), "0\n");
}

TEST_F(PostgresRegister, TwoShopsAtOnceEveryRecordExactlyOnce) {
    const QString helper = QStringLiteral(SIMCREDIT_REGISTER_WRITER);
    const QStringList args = {QStringLiteral("postgres"), QString::fromStdString(server->url(db)),
                              QStringLiteral("500")};
    QProcess first, second;
    first.start(helper, args);
    second.start(helper, args);
    ASSERT_TRUE(first.waitForFinished(120000));
    ASSERT_TRUE(second.waitForFinished(120000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_EQ(server->sql(db, "SELECT count(*), count(DISTINCT id) FROM registru_documente"),
              "1000|1000\n");
    EXPECT_EQ(server->sql(db, "SELECT count(*) FROM registru_tarife"), "1\n");
}

// The server stops under an open connection: every read and write says which database failed,
// a write says it is worth trying again, and a new connection works once the server is back.
TEST_F(PostgresRegister, ServerStoppedUnderAnOpenConnection) {
    reg::Outcome o;
    auto open = reg::Database::open(at(server->url(db)), o);
    ASSERT_TRUE(open) << o.error;
    const reg::MadeRecord made = exampleRecord();
    ASSERT_TRUE(server->stop()) << server->error();
    o = open->store(made.record, made.tariffJson);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.unreachable);
    EXPECT_NE(o.error.find("\"" + db + "\""), std::string::npos) << o.error;
    EXPECT_NE(o.error.find(") nu poate fi scris: "), std::string::npos) << o.error;
    // Tried again on the lost connection: still worth trying later, and still said why.
    o = open->store(made.record, made.tariffJson);
    EXPECT_TRUE(o.unreachable);
    EXPECT_NE(o.error.find(") nu poate fi scris: "), std::string::npos) << o.error;
    EXPECT_NE(o.error.find("conexiunea cu baza de date nu mai este deschisa."), std::string::npos)
        << o.error;
    long long n = 7;
    o = open->count(n);
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.error.find("\"" + db + "\""), std::string::npos) << o.error;
    EXPECT_NE(o.error.find("nu poate fi citit: conexiunea"), std::string::npos) << o.error;
    EXPECT_EQ(n, 7);
    std::vector<reg::Record> all;
    EXPECT_FALSE(open->list({}, false, all).ok);
    ASSERT_TRUE(server->start()) << server->error();
    open.reset();
    auto again = reg::Database::open(at(server->url(db)), o);
    ASSERT_TRUE(again) << o.error;
    ASSERT_TRUE(again->store(made.record, made.tariffJson).ok);
    ASSERT_TRUE(again->count(n).ok);
    EXPECT_EQ(n, 1);
}

// A reachable register that refuses the record on a fresh connection too: it waits in the
// outbox, with the register's reason, and is sent once the register takes records again.
TEST_F(PostgresRegister, RegisterRefusingRecordsSendsThemToTheOutbox) {
    reg::Register registru(at(server->url(db)), path("netrimise.sqlite"));
    reg::Outcome o;
    ASSERT_TRUE(registru.database(o)) << o.error;
    ASSERT_TRUE(server->sql(db, "ALTER TABLE registru_tarife RENAME TO tarife_ascunse"));
    const reg::MadeRecord made = exampleRecord();
    reg::FileResult r = registru.file(made.record, made.tariffJson);
    EXPECT_EQ(r.filed, reg::Filed::queued);
    EXPECT_NE(r.message.find("nu poate fi scris"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("registru_tarife"), std::string::npos) << r.message;
    long long sent = 0;
    EXPECT_FALSE(registru.sync(sent).ok);
    EXPECT_EQ(sent, 0);
    ASSERT_TRUE(server->sql(db, "ALTER TABLE tarife_ascunse RENAME TO registru_tarife"));
    ASSERT_TRUE(registru.sync(sent).ok);
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(server->sql(db, "SELECT count(*) FROM registru_documente"), "1\n");
}

} // namespace
