#include "register/database.h"
#include "register/register.h"
#include "register/tests/register_files.h"
#include "register/tests/register_fixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <fstream>

namespace {

using regtest::alter;
using regtest::bytesOf;
using regtest::exampleRecord;
using regtest::makeFirstVersion;
using regtest::openFile;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

using RegisterFaults = regtest::TempFolder;

TEST_F(RegisterFaults, RecordsReadBackByIdAndWithoutTheirOptionalParts) {
    reg::Outcome o;
    auto db = openFile(path("r.sqlite"), o);
    ASSERT_TRUE(db) << o.error;
    reg::MadeRecord full = exampleRecord();
    reg::MadeRecord bare = exampleRecord(std::nullopt, "2800");
    bare.record.shop.reset();
    bare.record.document_sha256.reset();
    bare.record.summary = {};
    bare.record.tariff.valid_from.reset();
    bare.record.tariff.sha256 = reg::sha256Hex("another tariff");
    ASSERT_TRUE(db->store(full.record, full.tariffJson).ok);
    ASSERT_TRUE(db->store(bare.record, full.tariffJson).ok);

    // Absent parts read back absent, never as an empty text or a zero.
    std::optional<reg::Record> got;
    ASSERT_TRUE(db->get(bare.record.id, got).ok);
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, bare.record);
    EXPECT_FALSE(got->summary.credit);
    EXPECT_FALSE(got->customer);
    ASSERT_TRUE(db->get(full.record.id, got).ok);
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, full.record);
    EXPECT_NE(*got, bare.record);
    ASSERT_TRUE(db->get("no such id", got).ok);
    EXPECT_FALSE(got);

    std::vector<reg::Record> page;
    ASSERT_TRUE(db->listPage("", 0, 10, page).ok);
    ASSERT_EQ(page.size(), 2u);
    const reg::Record& listed = page[0].id == bare.record.id ? page[0] : page[1];
    EXPECT_FALSE(listed.shop);
    EXPECT_FALSE(listed.document_sha256);
    EXPECT_FALSE(listed.summary.dae);
    std::vector<reg::Record> found;
    ASSERT_TRUE(db->findDocument(reg::sha256Hex("never issued"), found).ok);
    EXPECT_TRUE(found.empty());
    std::optional<std::string> tariff;
    ASSERT_TRUE(db->tariffJson(reg::sha256Hex("never stored"), tariff).ok);
    EXPECT_FALSE(tariff);
    ASSERT_TRUE(db->remove(bare.record.id).ok);
    ASSERT_TRUE(db->get(bare.record.id, got).ok);
    EXPECT_FALSE(got);
}

TEST_F(RegisterFaults, PlacesWhereNoRegisterCanBeMadeAreNamed) {
    // A folder that cannot be made: a file stands where it would be.
    const auto blocker = path("fisier");
    { std::ofstream(blocker) << "x"; }
    reg::Outcome o;
    EXPECT_FALSE(openFile(blocker / "sub" / "registru.sqlite", o));
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(has(o.error, "Dosarul registrului " + (blocker / "sub").string())) << o.error;
    EXPECT_EQ(bytesOf(blocker), "x");

    // A name no file system takes.
    const auto tooLong = path(std::string(300, 'r') + ".sqlite");
    o = {};
    EXPECT_FALSE(openFile(tooLong, o));
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(has(o.error, "Registrul " + tooLong.string() + " nu poate fi creat")) << o.error;

    // The register's own file as its outbox: a record it cannot take has nowhere else to go.
    reg::Register alone(reg::Location{blocker / "registru.sqlite", {}},
                        blocker / "registru.sqlite");
    reg::MadeRecord made = exampleRecord();
    reg::FileResult r = alone.file(made.record, made.tariffJson);
    EXPECT_EQ(r.filed, reg::Filed::failed);
    EXPECT_TRUE(has(r.message, blocker.string())) << r.message;
    reg::Register noOutbox(reg::Location{blocker / "registru.sqlite", {}}, {});
    r = noOutbox.file(made.record, made.tariffJson);
    EXPECT_EQ(r.filed, reg::Filed::failed);
    EXPECT_FALSE(r.message.empty());
    long long count = 3;
    ASSERT_TRUE(noOutbox.pending(count).ok);
    EXPECT_EQ(count, 0);
    ASSERT_TRUE(noOutbox.sync(count).ok);
    EXPECT_EQ(count, 0);
}

TEST_F(RegisterFaults, NewerOrForeignSchemasAreRefusedUntouched) {
    const auto newer = path("nou.sqlite");
    {
        reg::Outcome o;
        auto db = openFile(newer, o);
        ASSERT_TRUE(db) << o.error;
        reg::MadeRecord made = exampleRecord();
        ASSERT_TRUE(db->store(made.record, made.tariffJson).ok);
    }
    alter(newer, {"UPDATE registru_schema SET version = 7"});
    const auto otherMark = path("alt.sqlite");
    alter(otherMark, {"CREATE TABLE registru_schema (program TEXT, version INTEGER)",
                      "INSERT INTO registru_schema VALUES ('altceva', 1)"});
    const auto noMark = path("gol.sqlite");
    alter(noMark, {"CREATE TABLE registru_schema (program TEXT, version INTEGER)"});
    const auto otherColumns = path("coloane.sqlite");
    alter(otherColumns, {"CREATE TABLE registru_schema (nume TEXT)"});
    const auto manyTables = path("multe.sqlite");
    alter(manyTables,
          {"CREATE TABLE g (x)", "CREATE TABLE b (x)", "CREATE TABLE f (x)", "CREATE TABLE a (x)",
           "CREATE TABLE e (x)", "CREATE TABLE c (x)", "CREATE TABLE d (x)"});

    const std::pair<std::filesystem::path, std::string> cases[] = {
        {newer, "versiune mai noua a programului (schema 7); actualizati programul."},
        {otherMark, "tabelul registru_schema este al altui program"},
        {noMark, "tabelul registru_schema este al altui program"},
        {otherColumns, ") nu poate fi citit: "},
        // The first five of the other program's tables, in order.
        {manyTables, "sunt tabelele altui program (a, b, c, d, e); registrul nu scrie in ea."},
    };
    for (const auto& [file, expected] : cases) {
        SCOPED_TRACE(file.string());
        const std::string before = bytesOf(file);
        reg::Outcome o;
        EXPECT_FALSE(openFile(file, o));
        EXPECT_FALSE(o.ok);
        EXPECT_TRUE(has(o.error, file.string())) << o.error;
        EXPECT_TRUE(has(o.error, expected)) << o.error;
        EXPECT_EQ(bytesOf(file), before);
    }
}

// An upgrade that fails half-way leaves the register as it was, and completes once the obstacle
// is gone, with every record found by the new search.
TEST_F(RegisterFaults, FailedUpgradeIsUndoneWhole) {
    struct Case {
        const char* name;
        const char* obstacle;
        const char* removal;
        const char* message;
    };
    const Case cases[] = {
        {"index", "DROP INDEX registru_documente_issued",
         "CREATE INDEX registru_documente_issued ON registru_documente (issued_at)",
         ") nu poate fi creat: no such index"},
        {"keys",
         "CREATE TRIGGER keep BEFORE UPDATE ON registru_documente BEGIN SELECT RAISE(ABORT, "
         "'pastrat'); END",
         "DROP TRIGGER keep", ") nu poate fi adus la zi: pastrat"},
        {"version",
         "CREATE TRIGGER keep BEFORE UPDATE ON registru_schema BEGIN SELECT RAISE(ABORT, "
         "'pastrat'); END",
         "DROP TRIGGER keep", ") nu poate fi creat: pastrat"},
    };
    const reg::MadeRecord made = exampleRecord("Ștefan Țăranu");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = path(std::string(c.name) + ".sqlite");
        makeFirstVersion(file, made);
        alter(file, {c.obstacle});
        reg::Outcome o;
        EXPECT_FALSE(openFile(file, o));
        EXPECT_TRUE(has(o.error, "Registrul (registrul " + file.string() + c.message)) << o.error;
        {
            // Still the first version: no search key column, the version unchanged.
            const QString name = QStringLiteral("check");
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(QString::fromStdString(file.string()));
                ASSERT_TRUE(db.open());
                QSqlQuery q(db);
                EXPECT_FALSE(q.exec(QStringLiteral("SELECT search_key FROM registru_documente")));
                ASSERT_TRUE(q.exec(QStringLiteral("SELECT version FROM registru_schema")));
                ASSERT_TRUE(q.next());
                EXPECT_EQ(q.value(0).toInt(), 1);
            }
            QSqlDatabase::removeDatabase(name);
        }
        alter(file, {c.removal});
        auto db = openFile(file, o);
        ASSERT_TRUE(db) << o.error;
        long long n = 0;
        ASSERT_TRUE(db->countListed(reg::searchNeedle("ștefan"), n).ok);
        EXPECT_EQ(n, 1);
    }
}

// Tables renamed away while the register is open: every read and write says which register
// failed, none passes for an empty answer, and a record half-written is not kept at all.
TEST_F(RegisterFaults, TablesGoneBehindTheProgramsBack) {
    const auto file = path("r.sqlite");
    reg::Outcome o;
    auto db = openFile(file, o);
    ASSERT_TRUE(db) << o.error;
    const reg::MadeRecord made = exampleRecord();
    ASSERT_TRUE(db->store(made.record, made.tariffJson).ok);

    alter(file, {"ALTER TABLE registru_documente RENAME TO ascuns"});
    const std::string read =
        "Registrul (registrul " + file.string() + ") nu poate fi citit: no such table: ";
    const std::string written =
        "Registrul (registrul " + file.string() + ") nu poate fi scris: no such table: ";
    std::vector<reg::Record> records{made.record};
    long long n = 99;
    std::optional<reg::Record> one = made.record;
    EXPECT_TRUE(has(db->list({"2020-01-01", "2030-12-31"}, true, records).error, read));
    EXPECT_TRUE(has(db->countListed("ion", n).error, read));
    EXPECT_TRUE(has(db->countListed("", n).error, read));
    EXPECT_TRUE(has(db->listPage("ion", 0, 10, records).error, read));
    EXPECT_TRUE(has(db->findDocument(*made.record.document_sha256, records).error, read));
    EXPECT_TRUE(has(db->get(made.record.id, one).error, read));
    EXPECT_TRUE(has(db->count(n).error, read));
    EXPECT_TRUE(has(db->remove(made.record.id).error, written));
    // What the caller held is left as it was, not replaced by an empty answer.
    EXPECT_EQ(records.size(), 1u);
    EXPECT_EQ(n, 99);
    EXPECT_TRUE(one);

    // A record whose tariff is new: the tariff goes in, the record cannot, and neither stays.
    reg::MadeRecord other = exampleRecord("Maria");
    other.record.tariff.sha256 = reg::sha256Hex("a tariff of its own");
    o = db->store(other.record, other.tariffJson);
    EXPECT_FALSE(o.ok);
    EXPECT_FALSE(o.unreachable);
    EXPECT_TRUE(has(o.error, written + "registru_documente")) << o.error;
    std::optional<std::string> tariff;
    ASSERT_TRUE(db->tariffJson(other.record.tariff.sha256, tariff).ok);
    EXPECT_FALSE(tariff);

    // The records' table there but refusing the record: the new tariff is not kept either.
    alter(file, {"ALTER TABLE ascuns RENAME TO registru_documente",
                 "CREATE TRIGGER refuse BEFORE INSERT ON registru_documente BEGIN SELECT "
                 "RAISE(ABORT, 'refuzat'); END"});
    o = db->store(other.record, other.tariffJson);
    EXPECT_TRUE(
        has(o.error, "Registrul (registrul " + file.string() + ") nu poate fi scris: refuzat."))
        << o.error;
    ASSERT_TRUE(db->tariffJson(other.record.tariff.sha256, tariff).ok);
    EXPECT_FALSE(tariff);

    alter(file, {"DROP TRIGGER refuse", "ALTER TABLE registru_documente RENAME TO ascuns",
                 "ALTER TABLE registru_tarife RENAME TO ascunse"});
    o = db->store(other.record, other.tariffJson);
    EXPECT_TRUE(has(o.error, written)) << o.error;
    EXPECT_TRUE(has(db->tariffJson(made.record.tariff.sha256, tariff).error, read));

    alter(file, {"ALTER TABLE ascuns RENAME TO registru_documente",
                 "ALTER TABLE ascunse RENAME TO registru_tarife"});
    ASSERT_TRUE(db->count(n).ok);
    EXPECT_EQ(n, 1);
}

TEST_F(RegisterFaults, OutboxMissingEmptyOrDamaged) {
    const auto garbage = path("stricat.sqlite");
    { std::ofstream(garbage, std::ios::binary) << std::string(3000, '\x17'); }
    const auto register_ = path("registru.sqlite");
    const auto missing = path("netrimise.sqlite");

    // No outbox: nothing waits, nothing is sent, and no outbox file is made for asking.
    reg::Register plain(reg::Location{register_, {}}, missing);
    long long count = 5;
    ASSERT_TRUE(plain.pending(count).ok);
    EXPECT_EQ(count, 0);
    ASSERT_TRUE(plain.sync(count).ok);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A damaged outbox is named, and left as it is.
    reg::Register damaged(reg::Location{register_, {}}, garbage);
    reg::Outcome o = damaged.pending(count);
    EXPECT_TRUE(has(o.error, garbage.string())) << o.error;
    o = damaged.sync(count);
    EXPECT_TRUE(has(o.error, garbage.string())) << o.error;
    EXPECT_EQ(count, 0);
    EXPECT_EQ(bytesOf(garbage), std::string(3000, '\x17'));

    // An empty outbox needs no register: an unusable one is not even opened.
    const auto empty = path("goala.sqlite");
    {
        auto box = openFile(empty, o);
        ASSERT_TRUE(box) << o.error;
    }
    reg::Register idle(reg::Location{garbage, {}}, empty);
    ASSERT_TRUE(idle.sync(count).ok);
    EXPECT_EQ(count, 0);

    // An outbox whose tariffs are gone cannot be read, and says which file it is.
    const auto noTariffs = path("fara-tarife.sqlite");
    {
        auto box = openFile(noTariffs, o);
        ASSERT_TRUE(box) << o.error;
        reg::MadeRecord waiting = exampleRecord();
        ASSERT_TRUE(box->store(waiting.record, waiting.tariffJson).ok);
    }
    alter(noTariffs, {"ALTER TABLE registru_tarife RENAME TO ascunse"});
    o = reg::Register(reg::Location{register_, {}}, noTariffs).sync(count);
    EXPECT_TRUE(has(o.error, noTariffs.string() + ") nu poate fi citit")) << o.error;
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(std::filesystem::exists(register_));

    // Records waiting for an unusable register stay in the outbox.
    reg::MadeRecord made = exampleRecord();
    reg::FileResult r = idle.file(made.record, made.tariffJson);
    EXPECT_EQ(r.filed, reg::Filed::queued);
    EXPECT_TRUE(has(r.message, garbage.string())) << r.message;
    o = idle.sync(count);
    EXPECT_TRUE(has(o.error, garbage.string())) << o.error;
    ASSERT_TRUE(idle.pending(count).ok);
    EXPECT_EQ(count, 1);
}

// Stopped between storing a record in the register and removing it from the outbox, the sync
// says so; the next one sends it again and the register still holds it once.
TEST_F(RegisterFaults, OutboxThatCannotLetGoIsSentAgainOnce) {
    const auto file = path("registru.sqlite");
    const auto outbox = path("netrimise.sqlite");
    reg::MadeRecord made = exampleRecord();
    {
        reg::Outcome o;
        auto box = openFile(outbox, o);
        ASSERT_TRUE(box) << o.error;
        ASSERT_TRUE(box->store(made.record, made.tariffJson).ok);
    }
    alter(outbox, {"CREATE TRIGGER keep BEFORE DELETE ON registru_documente BEGIN SELECT "
                   "RAISE(ABORT, 'retinut'); END"});
    reg::Register registru(reg::Location{file, {}}, outbox);
    long long sent = 0;
    reg::Outcome o = registru.sync(sent);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(has(o.error, outbox.string() + ") nu poate fi scris: retinut")) << o.error;
    EXPECT_EQ(sent, 0);
    long long waiting = 0;
    ASSERT_TRUE(registru.pending(waiting).ok);
    EXPECT_EQ(waiting, 1);

    alter(outbox, {"DROP TRIGGER keep"});
    ASSERT_TRUE(registru.sync(sent).ok);
    EXPECT_EQ(sent, 1);
    ASSERT_TRUE(registru.pending(waiting).ok);
    EXPECT_EQ(waiting, 0);
    long long n = 0;
    ASSERT_TRUE(registru.database(o)->count(n).ok);
    EXPECT_EQ(n, 1);
}

} // namespace
