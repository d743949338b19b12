#include "register/database.h"
#include "register/record_json.h"
#include "register/register.h"
#include "register/tests/register_fixture.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {

using regtest::exampleRecord;
using regtest::TempFolder;

std::unique_ptr<reg::Database> openFile(const std::filesystem::path& file, reg::Outcome& o) {
    return reg::Database::open(reg::Location{file, {}}, o);
}

using SqliteRegister = TempFolder;

TEST_F(SqliteRegister, NewFileIsPrivateAndInWalMode) {
    const auto file = path("a/b/registru.sqlite");
    reg::Outcome o;
    auto db = openFile(file, o);
    ASSERT_TRUE(db) << o.error;
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    reg::MadeRecord made = exampleRecord();
    ASSERT_TRUE(db->store(made.record, made.tariffJson).ok);
    EXPECT_TRUE(std::filesystem::exists(file.string() + "-wal"));
}

TEST_F(SqliteRegister, RecordReadsBackFieldForField) {
    reg::Outcome o;
    auto db = openFile(path("r.sqlite"), o);
    ASSERT_TRUE(db) << o.error;
    reg::MadeRecord made = exampleRecord();
    bool inserted = false;
    ASSERT_TRUE(db->store(made.record, made.tariffJson, &inserted).ok);
    EXPECT_TRUE(inserted);
    // Sent again: stored once.
    ASSERT_TRUE(db->store(made.record, made.tariffJson, &inserted).ok);
    EXPECT_FALSE(inserted);
    std::vector<reg::Record> all;
    ASSERT_TRUE(db->list({}, true, all).ok);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0], made.record);
    EXPECT_EQ(all[0].inputs.tbvp, "3500");
    EXPECT_EQ(all[0].inputs.plata, "Debit Direct");
    EXPECT_EQ(all[0].inputs.cbasig, "Standard");
    ASSERT_TRUE(all[0].summary.credit);
    EXPECT_DOUBLE_EQ(*all[0].summary.credit, 3000);
    std::optional<std::string> tariff;
    ASSERT_TRUE(db->tariffJson(made.record.tariff.sha256, tariff).ok);
    EXPECT_EQ(tariff, made.tariffJson);
    EXPECT_EQ(reg::sha256Hex(*tariff), made.record.tariff.sha256);
}

TEST_F(SqliteRegister, HostileNamesStoredByteForByte) {
    reg::Outcome o;
    auto db = openFile(path("r.sqlite"), o);
    ASSERT_TRUE(db) << o.error;
    const std::vector<std::string> names = {
        "O'Brien \"Bobby\"",
        "x'); DROP TABLE registru_documente; --",
        "SELECT * FROM registru_tarife WHERE 1=1 OR ''='",
        "Ștefan Țăranu — 山田太郎 𝔘𝔫𝔦𝔠𝔬𝔡𝔢 🙂 \u202Eevil",
        "\\ % _ ; \t tab",
    };
    std::vector<std::string> ids;
    for (const std::string& name : names) {
        reg::MadeRecord made = exampleRecord(name);
        EXPECT_FALSE(made.customerCut);
        ASSERT_TRUE(db->store(made.record, made.tariffJson).ok);
        ids.push_back(made.record.id);
    }
    std::vector<reg::Record> all;
    ASSERT_TRUE(db->list({}, false, all).ok);
    ASSERT_EQ(all.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        auto it = std::find_if(all.begin(), all.end(),
                               [&](const reg::Record& r) { return r.id == ids[i]; });
        ASSERT_NE(it, all.end());
        EXPECT_EQ(it->customer, names[i]);
    }
}

TEST_F(SqliteRegister, LongNameCutAtTwoHundredCharactersAndSaidSo) {
    std::string longName;
    for (int i = 0; i < 10000; ++i) {
        longName += i % 2 ? "ă" : "a"; // two-byte characters: the cut counts characters
    }
    reg::MadeRecord made = exampleRecord(longName);
    EXPECT_TRUE(made.customerCut);
    ASSERT_TRUE(made.record.customer);
    EXPECT_EQ(made.record.customer->size(), 300u); // 100 "a" and 100 "ă"
    EXPECT_EQ(*made.record.customer, longName.substr(0, 300));
    bool cut = false;
    EXPECT_EQ(reg::customerName(std::string(200, 'x'), cut), std::string(200, 'x'));
    EXPECT_FALSE(cut);
    EXPECT_EQ(reg::customerName(std::string("a\0b", 3), cut), "ab");
    EXPECT_TRUE(cut);
    EXPECT_EQ(reg::customerName(std::string("   "), cut), std::nullopt);
}

TEST_F(SqliteRegister, PeriodBoundsAreWholeDaysNewestFirst) {
    reg::Outcome o;
    auto db = openFile(path("r.sqlite"), o);
    ASSERT_TRUE(db) << o.error;
    reg::MadeRecord made = exampleRecord();
    for (const char* at : {"2026-01-31T23:59:59Z", "2026-02-01T00:00:00Z", "2026-02-28T12:00:00Z",
                           "2026-03-01T00:00:00Z"}) {
        reg::Record r = made.record;
        r.id = std::string("id-") + at;
        r.issued_at = at;
        ASSERT_TRUE(db->store(r, made.tariffJson).ok);
    }
    std::vector<reg::Record> in;
    ASSERT_TRUE(db->list({"2026-02-01", "2026-02-28"}, false, in).ok);
    ASSERT_EQ(in.size(), 2u);
    EXPECT_EQ(in[0].issued_at, "2026-02-28T12:00:00Z");
    EXPECT_EQ(in[1].issued_at, "2026-02-01T00:00:00Z");
    ASSERT_TRUE(db->list({"", "2026-01-31"}, false, in).ok);
    EXPECT_EQ(in.size(), 1u);
}

// A list longer than a page, filtered by the database on the time, the customer and the shop
// in any case, diacritics included; a typed "%" is a character, not a pattern.
TEST_F(SqliteRegister, ListFiltersInTheDatabaseAPageAtATime) {
    reg::Outcome o;
    auto db = openFile(path("r.sqlite"), o);
    ASSERT_TRUE(db) << o.error;
    const reg::MadeRecord made = exampleRecord();
    const int total = 230;
    for (int i = 0; i < total; ++i) {
        reg::Record r = made.record;
        char at[32];
        std::snprintf(at, sizeof at, "2026-02-%02dT10:%02d:00Z", 1 + i / 60, i % 60);
        r.id = "id-" + std::to_string(1000 + i);
        r.issued_at = at;
        r.customer = i == 7   ? "Ștefan Țăranu"
                     : i == 8 ? "100% Reducere"
                              : "Client " + std::to_string(i);
        r.shop = i % 2 ? "Magazin Nord" : "Magazin Sud";
        ASSERT_TRUE(db->store(r, made.tariffJson).ok);
    }
    auto count = [&](const std::string& typed) {
        long long n = -1;
        EXPECT_TRUE(db->countListed(reg::searchNeedle(typed), n).ok);
        return n;
    };
    EXPECT_EQ(count(""), total);
    EXPECT_EQ(count("  ȘTEFAN țĂRANU "), 1);
    EXPECT_EQ(count("%"), 1);
    EXPECT_EQ(count("_"), 0);
    EXPECT_EQ(count("magazin NORD"), total / 2);
    EXPECT_EQ(count("2026-02-04T10"), total - 180);

    std::vector<reg::Record> first, last;
    ASSERT_TRUE(db->listPage("", 0, 200, first).ok);
    ASSERT_TRUE(db->listPage("", 200, 200, last).ok);
    ASSERT_EQ(first.size(), 200u);
    ASSERT_EQ(last.size(), 30u);
    EXPECT_EQ(first.front().id, "id-1229"); // newest first
    EXPECT_EQ(first.back().id, "id-1030");
    EXPECT_EQ(last.front().id, "id-1029");
    EXPECT_EQ(last.back().id, "id-1000");
    EXPECT_EQ(last.back().summary, made.record.summary);
    EXPECT_EQ(last.back().document_sha256, made.record.document_sha256);
    std::vector<reg::Record> found;
    ASSERT_TRUE(db->listPage(reg::searchNeedle("ștefan"), 0, 200, found).ok);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].id, "id-1007");
}

// A register made before the list's search key existed gets one for every record it holds.
TEST_F(SqliteRegister, OlderRegisterUpgradedWithItsSearchKeys) {
    const auto file = path("v1.sqlite");
    reg::Outcome o;
    {
        auto db = openFile(file, o);
        ASSERT_TRUE(db) << o.error;
        const reg::MadeRecord made = exampleRecord("Ștefan Țăranu");
        ASSERT_TRUE(db->store(made.record, made.tariffJson).ok);
    }
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
        c.setDatabaseName(QString::fromStdString(file.string()));
        ASSERT_TRUE(c.open());
        QSqlQuery q(c);
        for (const char* statement :
             {"DROP INDEX registru_documente_list",
              "ALTER TABLE registru_documente DROP COLUMN search_key",
              "CREATE INDEX registru_documente_issued ON registru_documente (issued_at)",
              "UPDATE registru_schema SET version = 1"}) {
            ASSERT_TRUE(q.exec(QString::fromLatin1(statement))) << statement;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v1"));
    auto db = openFile(file, o);
    ASSERT_TRUE(db) << o.error;
    long long n = 0;
    ASSERT_TRUE(db->countListed(reg::searchNeedle("ȘTEFAN"), n).ok);
    EXPECT_EQ(n, 1);
}

TEST_F(SqliteRegister, CorruptAndForeignFilesAreRefusedAndLeftUntouched) {
    const auto garbage = path("stricat.sqlite");
    { std::ofstream(garbage, std::ios::binary) << std::string(5000, '\x5a'); }
    const auto foreign = path("strain.sqlite");
    {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"),
                     {QString::fromStdString(foreign.string()),
                      QStringLiteral("CREATE TABLE clients (name TEXT); INSERT INTO clients "
                                     "VALUES ('x');")});
        ASSERT_TRUE(sqlite.waitForFinished());
        ASSERT_EQ(sqlite.exitCode(), 0);
    }
    const auto damaged = path("taiat.sqlite");
    {
        reg::Outcome o;
        auto db = openFile(damaged, o);
        ASSERT_TRUE(db) << o.error;
        reg::MadeRecord made = exampleRecord();
        ASSERT_TRUE(db->store(made.record, made.tariffJson).ok);
    }
    {
        // A register whose pages after the header were overwritten.
        std::fstream f(damaged, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(100);
        f << std::string(4000, '\xff');
    }
    for (const auto& file : {garbage, foreign, damaged}) {
        SCOPED_TRACE(file.string());
        std::ifstream before(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(before)), {});
        reg::Outcome o;
        std::unique_ptr<reg::Database> db = openFile(file, o);
        if (db) { // a damaged page may show only when read
            std::vector<reg::Record> all;
            o = db->list({}, true, all);
        }
        EXPECT_FALSE(o.ok);
        EXPECT_NE(o.error.find(file.string()), std::string::npos) << o.error;
        db.reset();
        std::ifstream after(file, std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), {}), bytes);
    }
    reg::Outcome o;
    EXPECT_FALSE(openFile(foreign, o));
    EXPECT_NE(o.error.find("clients"), std::string::npos) << o.error;
}

TEST_F(SqliteRegister, TwoProcessesOnOneFileKeepEveryRecordOnce) {
    const auto file = path("comun.sqlite");
    const QString helper = QStringLiteral(SIMCREDIT_REGISTER_WRITER);
    QProcess first, second;
    const QStringList args = {QStringLiteral("sqlite"), QString::fromStdString(file.string()),
                              QStringLiteral("200")};
    first.start(helper, args);
    second.start(helper, args);
    ASSERT_TRUE(first.waitForFinished(60000));
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    reg::Outcome o;
    auto db = openFile(file, o);
    ASSERT_TRUE(db) << o.error;
    long long n = 0;
    ASSERT_TRUE(db->count(n).ok);
    EXPECT_EQ(n, 400);
}

// A register that cannot be written: the record goes to the outbox in a folder that can be, and
// reaches the register by the next sync once it can be written again.
TEST_F(SqliteRegister, ReadOnlyRegisterFallsBackToOutbox) {
    const auto folder = path("ro");
    std::filesystem::create_directories(folder);
    const bool root = geteuid() == 0;
    if (root && mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=4m") != 0) {
        GTEST_SKIP() << "running as root without the right to mount a file system";
    }
    const auto file = folder / "registru.sqlite";
    {
        reg::Outcome o;
        auto db = openFile(file, o);
        ASSERT_TRUE(db) << o.error;
    }
    if (root) {
        ASSERT_EQ(mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    } else {
        std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    }
    reg::Register registru(reg::Location{file, {}}, path("netrimise.sqlite"));
    reg::MadeRecord made = exampleRecord();
    reg::FileResult r = registru.file(made.record, made.tariffJson);
    EXPECT_EQ(r.filed, reg::Filed::queued);
    EXPECT_NE(r.message.find(file.string()), std::string::npos) << r.message;
    long long waiting = 0;
    ASSERT_TRUE(registru.pending(waiting).ok);
    EXPECT_EQ(waiting, 1);

    if (root) {
        ASSERT_EQ(mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT, nullptr), 0);
    } else {
        std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_write);
    }
    reg::Register again(reg::Location{file, {}}, path("netrimise.sqlite"));
    long long sent = 0;
    ASSERT_TRUE(again.sync(sent).ok);
    EXPECT_EQ(sent, 1);
    ASSERT_TRUE(again.sync(sent).ok);
    EXPECT_EQ(sent, 0);
    reg::Outcome o;
    std::vector<reg::Record> all;
    ASSERT_TRUE(again.database(o)->list({}, true, all).ok);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0], made.record);
    if (root) {
        umount2(folder.c_str(), MNT_DETACH);
    }
}

// A full disk: neither the register nor the outbox on it can take the record, and both say so.
TEST_F(SqliteRegister, FullDiskFailsWithBothReasons) {
    const auto folder = path("plin");
    std::filesystem::create_directories(folder);
    if (geteuid() != 0 || mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "a tiny file system needs the right to mount one";
    }
    {
        std::ofstream fill(folder / "umplutura", std::ios::binary);
        fill << std::string(std::size_t{60} * 1024, 'x');
    }
    reg::Register registru(reg::Location{folder / "registru.sqlite", {}},
                           folder / "netrimise.sqlite");
    reg::FileResult r{reg::Filed::stored, {}};
    for (int i = 0; i < 20 && r.filed != reg::Filed::failed; ++i) {
        reg::MadeRecord made = exampleRecord();
        r = registru.file(made.record, made.tariffJson);
    }
    EXPECT_EQ(r.filed, reg::Filed::failed) << r.message;
    EXPECT_NE(r.message.find("registru.sqlite"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("netrimise.sqlite"), std::string::npos) << r.message;
    umount2(folder.c_str(), MNT_DETACH);
}

TEST(RegisterJson, FieldsByTheirNames) {
    regtest::ensureApplication();
    reg::MadeRecord made = exampleRecord("Ana \"A\"");
    const std::string line = reg::recordJson(made.record);
    for (const char* key :
         {"\"id\":", "\"issued_at\":", "\"program\":", "\"kind\":\"oferta\"",
          "\"shop\":\"Magazin Centru\"", "\"customer\":\"Ana \\\"A\\\"\"",
          ("\"inputs\":{\"vn\":\"4200\",\"ar\":\"350\",\"ad\":\"100\","
           "\"tbvp\":\"3500\",\"tbavans\":\"500\",\"tbdurcred\":\"24\","
           "\"cbasig\":\"Standard\",\"plata\":\"Debit Direct\"}"),
          "\"figures\":{\"snapshot\":{\"controls\":", "\"schedule\":{\"valid\":true",
          "\"legal\":{\"valid\":true", "\"tariff\":{\"name\":", "\"document_sha256\":\""}) {
        EXPECT_NE(line.find(key), std::string::npos) << key;
    }
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const std::string csv = reg::recordCsv(made.record);
    EXPECT_NE(csv.find(",\"Ana \"\"A\"\"\","), std::string::npos) << csv;

    // Names a spreadsheet would run as formulas are shown as text in the CSV, kept in the JSON.
    reg::Record r = made.record;
    r.customer = "=HYPERLINK(\"http://x\",\"y\")";
    r.shop = "-2+3+cmd|' /C calc'!A0";
    r.agent = "@SUM(1)";
    const std::string safe = reg::recordCsv(r);
    EXPECT_NE(safe.find(",\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\","), std::string::npos)
        << safe;
    EXPECT_NE(safe.find(",'-2+3+cmd|' /C calc'!A0,'@SUM(1),"), std::string::npos) << safe;
    EXPECT_NE(reg::recordJson(r).find("\"customer\":\"=HYPERLINK("), std::string::npos);
}

} // namespace
