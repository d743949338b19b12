#include "register/register.h"
#include "register/tests/register_fixture.h"

#include <QProcess>
#include <QProcessEnvironment>

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

} // namespace
