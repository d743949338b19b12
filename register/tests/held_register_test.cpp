#include "register/database.h"
#include "register/register.h"
#include "register/schema.h"
#include "register/tests/register_files.h"
#include "register/tests/register_fixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <thread>

namespace {

using regtest::exampleRecord;
using regtest::openFile;

using HeldRegister = regtest::TempFolder;

// Takes a register file's write lock from a connection of its own, as another window would while
// it writes, until released.
class WriteLock {
public:
    WriteLock(const std::filesystem::path& file, const QString& name) : name_(name) {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        c.setDatabaseName(QString::fromStdString(file.string()));
        held_ = c.open() && QSqlQuery(c).exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
    ~WriteLock() {
        {
            QSqlDatabase c = QSqlDatabase::database(name_, false);
            QSqlQuery(c).exec(QStringLiteral("ROLLBACK"));
            c.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool held() const { return held_; }

private:
    QString name_;
    bool held_ = false;
};

// Another writer holding the file longer than the register waits: the record goes to the outbox
// and reaches the register by the next sync. An older register that needs its upgrade meanwhile
// is neither upgraded nor written, and is upgraded by that sync. Both wait at once.
TEST_F(HeldRegister, RecordWaitsInTheOutboxUntilTheWriterLetsGo) {
    const auto current = path("registru.sqlite");
    const auto older = path("vechi.sqlite");
    {
        reg::Outcome o;
        ASSERT_TRUE(openFile(current, o)) << o.error;
    }
    const reg::MadeRecord first = exampleRecord("Primul");
    regtest::makeFirstVersion(older, first);
    reg::Register registru(reg::Location{current, {}}, path("netrimise.sqlite"));
    reg::Register vechi(reg::Location{older, {}}, path("netrimise-vechi.sqlite"));
    const reg::MadeRecord made = exampleRecord();
    reg::FileResult toCurrent, toOlder;
    {
        WriteLock lockCurrent(current, QStringLiteral("lock-current"));
        WriteLock lockOlder(older, QStringLiteral("lock-older"));
        ASSERT_TRUE(lockCurrent.held());
        ASSERT_TRUE(lockOlder.held());
        std::thread other([&] { toOlder = vechi.file(made.record, made.tariffJson); });
        toCurrent = registru.file(made.record, made.tariffJson);
        other.join();
    }
    EXPECT_EQ(toCurrent.filed, reg::Filed::queued);
    EXPECT_NE(toCurrent.message.find(current.string() + ") nu poate fi scris: database is locked"),
              std::string::npos)
        << toCurrent.message;
    EXPECT_EQ(toOlder.filed, reg::Filed::queued);
    EXPECT_NE(toOlder.message.find(older.string() + ") nu poate fi creat: database is locked"),
              std::string::npos)
        << toOlder.message;

    for (reg::Register* r : {&registru, &vechi}) {
        SCOPED_TRACE(r->location().file.string());
        long long sent = 0;
        ASSERT_TRUE(r->sync(sent).ok);
        EXPECT_EQ(sent, 1);
        reg::Outcome o;
        std::optional<reg::Record> got;
        ASSERT_TRUE(r->database(o)->get(made.record.id, got).ok) << o.error;
        ASSERT_TRUE(got);
        EXPECT_EQ(*got, made.record);
    }
    reg::Outcome o;
    long long n = 0;
    ASSERT_TRUE(vechi.database(o)->countListed(reg::searchNeedle("PRIMUL"), n).ok);
    EXPECT_EQ(n, 1);
}

// The upgrade steps, run in order on an empty file, make the tables this program writes and
// reads, and there is no step past its own version.
TEST_F(HeldRegister, UpgradeStepsMakeTheCurrentSchema) {
    const auto file = path("pas-cu-pas.sqlite");
    std::vector<std::string> texts;
    for (int to = 1; to <= reg::Database::schemaVersion; ++to) {
        const auto step = reg::upgradeStatements(to);
        EXPECT_FALSE(step.empty()) << to;
        for (std::string_view statement : step) {
            texts.emplace_back(statement);
        }
    }
    texts.push_back("INSERT INTO registru_schema VALUES ('" + std::string(reg::programMark) +
                    "', " + std::to_string(reg::Database::schemaVersion) + ")");
    for (const std::string& text : texts) {
        regtest::alter(file, {text.c_str()});
    }
    EXPECT_TRUE(reg::upgradeStatements(reg::Database::schemaVersion + 1).empty());
    EXPECT_TRUE(reg::upgradeStatements(0).empty());

    reg::Outcome o;
    auto db = openFile(file, o);
    ASSERT_TRUE(db) << o.error;
    const reg::MadeRecord made = exampleRecord("Pas Cu Pas");
    ASSERT_TRUE(db->store(made.record, made.tariffJson).ok);
    long long n = 0;
    ASSERT_TRUE(db->countListed(reg::searchNeedle("pas cu"), n).ok);
    EXPECT_EQ(n, 1);
}

} // namespace
