#include "register/register.h"
#include "register/tests/register_fixture.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <fstream>

namespace {

using regtest::exampleRecord;

struct Outcome {
    int status = -1;
    std::string out, err;
};

// The program run as the back office runs it, its data and configuration folders in the test's
// temporary folder.
class RegistruCli : public regtest::TempFolder {
protected:
    Outcome run(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(path("data").string()));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(path("cfg").string()));
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), QString::fromStdString(path("etc").string()));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(SIMCREDIT_REGISTRU), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), p.readAllStandardOutput().toStdString(),
                p.readAllStandardError().toStdString()};
    }
    reg::Register local() {
        return reg::Register(reg::Location{path("data/simulator-credit/registru.sqlite"), {}},
                             path("data/simulator-credit/registru-netrimise.sqlite"));
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> out;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1) {
            out.push_back(text.substr(start, end - start));
        }
        return out;
    }
};

TEST_F(RegistruCli, ListsNewestFirstWithinTheDays) {
    reg::Register registru = local();
    reg::MadeRecord made = exampleRecord("Maria, \"Mia\"");
    for (const char* at :
         {"2026-03-01T10:00:00Z", "2026-03-02T10:00:00Z", "2026-03-03T10:00:00Z"}) {
        made.record.id = std::string("id-") + at;
        made.record.issued_at = at;
        ASSERT_EQ(registru.file(made.record, made.tariffJson).filed, reg::Filed::stored);
    }
    Outcome r = run({"list", "--format", "json", "--from", "2026-03-02"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> json = lines(r.out);
    ASSERT_EQ(json.size(), 2u);
    EXPECT_TRUE(json[0].starts_with("{\"id\":\"id-2026-03-03T10:00:00Z\"")) << json[0];
    EXPECT_TRUE(json[1].starts_with("{\"id\":\"id-2026-03-02T10:00:00Z\"")) << json[1];

    r = run({"list", "--to", "2026-03-01"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(run({"list", "--format", "csv", "--to", "2026-03-01"}).out, r.out);
    ASSERT_EQ(lines(r.out).size(), 2u);
    EXPECT_TRUE(r.out.starts_with("id,issued_at,program,kind,shop,agent,customer,vn,"));
    EXPECT_NE(r.out.find("\"Maria, \"\"Mia\"\"\""), std::string::npos) << r.out;
}

TEST_F(RegistruCli, VerifySaysWhetherTheRegisterIssuedTheFile) {
    const auto pdf = path("oferta.pdf");
    std::ofstream(pdf, std::ios::binary) << "%PDF-1.4 the offer";
    const auto other = path("alta.pdf");
    std::ofstream(other, std::ios::binary) << "%PDF-1.4 the offer, changed";
    reg::MadeRecord made = exampleRecord("Ion Popescu");
    made.record.document_sha256 = reg::sha256OfFile(pdf);
    ASSERT_EQ(local().file(made.record, made.tariffJson).filed, reg::Filed::stored);

    Outcome r = run({"verify", QString::fromStdString(pdf.string())});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(made.record.issued_at), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Ion Popescu"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Magazin Centru"), std::string::npos) << r.out;
    r = run({"verify", QString::fromStdString(other.string())});
    EXPECT_EQ(r.status, 1) << r.err;
    r = run({"verify", QString::fromStdString(path("lipsa.pdf").string())});
    EXPECT_EQ(r.status, 3);
}

TEST_F(RegistruCli, SyncSendsTheOutboxOnce) {
    reg::Register outbox(reg::Location{path("data/simulator-credit/registru-netrimise.sqlite"), {}},
                         {});
    reg::MadeRecord made = exampleRecord();
    ASSERT_EQ(outbox.file(made.record, made.tariffJson).filed, reg::Filed::stored);
    Outcome r = run({"sync"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Trimise: 1\n");
    r = run({"sync"});
    EXPECT_EQ(r.out, "Trimise: 0\n");
    EXPECT_EQ(lines(run({"list"}).out).size(), 2u);
}

TEST_F(RegistruCli, CommandLineMistakesAndUnusableRegisters) {
    for (const QStringList& bad :
         {QStringList{}, QStringList{"lista"}, QStringList{"list", "--from", "2026-02-30"},
          QStringList{"list", "--format", "xml"}, QStringList{"verify"},
          QStringList{"sync", "--from", "2026-01-01"}, QStringList{"--registru"},
          QStringList{"list", "--bogus"}}) {
        Outcome r = run(bad);
        EXPECT_EQ(r.status, 2) << bad.join(' ').toStdString();
        EXPECT_NE(r.err.find("--help"), std::string::npos);
    }
    Outcome r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("verify FILE"), std::string::npos);
    r = run({"--version"});
    EXPECT_EQ(r.out, "simulator-credit-registru " + reg::programVersion() + "\n");
    r = run({"--registru", "registru", "list"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("PostgreSQL"), std::string::npos) << r.err;
    // A server that does not answer: said plainly, no wait beyond the connection's limit.
    r = run({"--registru", "postgresql://127.0.0.1:1/registru", "list"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("\"registru\" de pe 127.0.0.1"), std::string::npos) << r.err;

    std::filesystem::create_directories(path("data/simulator-credit"));
    std::ofstream(path("data/simulator-credit/registru.sqlite")) << "not a database at all";
    r = run({"list"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("registru.sqlite"), std::string::npos) << r.err;
}

TEST_F(RegistruCli, MoreCommandLineMistakesNamedAndNothingOpened) {
    const std::vector<std::pair<QStringList, std::string>> cases = {
        {{"--registru", "", "list"}, "--registru needs a connection string"},
        {{"list", "--from", "2026-3-01"}, "--from needs a day written YYYY-MM-DD"},
        {{"list", "--to"}, "--to needs a day written YYYY-MM-DD"},
        {{"list", "--format"}, "--format is csv or json"},
        {{"-"}, "unknown command -"},
        {{"verify", "a.pdf", "b.pdf"}, "verify takes one file"},
        {{"sync", "a.pdf"}, "sync takes no file"},
        {{"list", "a.pdf"}, "list takes no file"},
        {{"verify", "a.pdf", "--format", "json"}, "--from, --to and --format go with list only"},
        {{"verify", "a.pdf", "--to", "2026-01-01"}, "--from, --to and --format go with list only"},
    };
    for (const auto& [args, why] : cases) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << why;
        EXPECT_EQ(r.err, "simulator-credit-registru: " + why +
                             "\nTry 'simulator-credit-registru --help'.\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(path("data")));
    EXPECT_EQ(run({"-h"}).out, run({"--help"}).out);
    EXPECT_EQ(run({"list", "-v"}).out, run({"--version"}).out);
}

TEST_F(RegistruCli, VerifyFindsTheRecordStillInTheOutbox) {
    const auto pdf = path("oferta.pdf");
    std::ofstream(pdf, std::ios::binary) << "%PDF-1.4 issued while the register was away";
    const auto outboxFile = path("data/simulator-credit/registru-netrimise.sqlite");
    reg::MadeRecord made = exampleRecord(std::nullopt);
    made.record.shop.reset();
    made.record.tariff.valid_from.reset();
    made.record.document_sha256 = reg::sha256OfFile(pdf);
    ASSERT_EQ(
        reg::Register(reg::Location{outboxFile, {}}, {}).file(made.record, made.tariffJson).filed,
        reg::Filed::stored);
    Outcome r = run({"verify", QString::fromStdString(pdf.string())});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(
        r.out.starts_with("(netrimis inca) Emis de registru: oferta, la " + made.record.issued_at))
        << r.out;
    EXPECT_TRUE(r.out.ends_with(", magazin necompletat, client necompletat, tariful " +
                                made.record.tariff.name + ".\n"))
        << r.out;

    // A damaged outbox may hold the record: the answer is withheld, never "not issued".
    std::ofstream(outboxFile, std::ios::binary | std::ios::trunc) << "not a database at all";
    r = run({"verify", QString::fromStdString(pdf.string())});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("registru-netrimise.sqlite"), std::string::npos) << r.err;
}

TEST_F(RegistruCli, FolderGivenForAFileIsNamed) {
    const std::string folder = path("dosar.pdf").string();
    std::filesystem::create_directories(folder);
    const Outcome r = run({"verify", QString::fromStdString(folder)});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Fisierul " + folder + " nu poate fi citit.\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(RegistruCli, FailedSyncSaysSoAndKeepsTheOutbox) {
    reg::Register outbox(reg::Location{path("data/simulator-credit/registru-netrimise.sqlite"), {}},
                         {});
    reg::MadeRecord made = exampleRecord();
    ASSERT_EQ(outbox.file(made.record, made.tariffJson).filed, reg::Filed::stored);
    Outcome r = run({"--registru", "postgresql://127.0.0.1:1/registru", "sync"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "Trimise: 0\n");
    EXPECT_NE(r.err.find("\"registru\" de pe 127.0.0.1"), std::string::npos) << r.err;
    r = run({"sync"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Trimise: 1\n");
}

TEST_F(RegistruCli, RegisterAlteredBehindItsBackIsUnusableNotEmpty) {
    const auto pdf = path("oferta.pdf");
    std::ofstream(pdf, std::ios::binary) << "%PDF-1.4 the offer";
    reg::MadeRecord made = exampleRecord();
    made.record.document_sha256 = reg::sha256OfFile(pdf);
    const auto file = path("data/simulator-credit/registru.sqlite");
    ASSERT_EQ(local().file(made.record, made.tariffJson).filed, reg::Filed::stored);
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "alter");
        c.setDatabaseName(QString::fromStdString(file.string()));
        ASSERT_TRUE(c.open());
        ASSERT_TRUE(QSqlQuery(c).exec(QStringLiteral("DROP TABLE registru_tarife")));
        c.close();
    }
    QSqlDatabase::removeDatabase("alter");
    for (const QStringList& args : {QStringList{"list"}, QStringList{"list", "--format", "json"},
                                    QStringList{"verify", QString::fromStdString(pdf.string())}}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 3) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(
            r.err.starts_with("Registrul (registrul " + file.string() + ") nu poate fi citit: "))
            << r.err;
    }
}

} // namespace
