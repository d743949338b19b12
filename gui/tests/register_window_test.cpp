#include "gui/offer_actions.h"
#include "gui/register_link.h"
#include "gui/register_window.h"
#include "register/database.h"
#include "register/register.h"
#include "register/tests/postgres_server.h"
#include "tariff/read.h"
#include "tests/support/window_fixture.h"

#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

using core::Control;

// The customer of the offer example, assessed: documents may be issued for it.
void fillExample(gui::SimulatorWindow& window, const char* product = "3500") {
    ui::ControlModel& m = window.form().controls();
    m.setText(Control::vn, "4200");
    m.setText(Control::ar, "350");
    m.setText(Control::ad, "100");
    m.setText(Control::tbvp, product);
    m.setText(Control::tbavans, "500");
    m.setText(Control::tbdurcred, "24");
    m.select(Control::cbasig, 1);
}

reg::Location localRegister(const QTemporaryDir& dir) {
    return reg::Location{dir.filePath(QStringLiteral("registru.sqlite")).toStdString(), {}};
}

std::vector<reg::Record> records(const reg::Location& where) {
    reg::Outcome o;
    auto db = reg::Database::open(where, o);
    std::vector<reg::Record> all;
    if (db) {
        db->list({}, true, all);
    }
    return all;
}

} // namespace

class RegisterWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::vector<QString> told;

    // A window with its register in the test's folder, the agent's messages recorded.
    std::unique_ptr<gui::SimulatorWindow> openWith(const std::optional<std::string>& url = {}) {
        auto window = testsupport::openWindow();
        reg::LocationChoice where;
        if (url) {
            where = reg::chooseLocation(url);
        } else {
            where.location = localRegister(dir);
        }
        auto* link = new gui::RegisterLink(*window, where);
        link->showError = [this](const QString&, const QString& text) { told.push_back(text); };
        gui::addRegisterEntry(*window);
        return window;
    }

private slots:
    void initTestCase() {
        gui::prepareApplication();
        QVERIFY(dir.isValid());
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
    }
    void init() {
        told.clear();
        std::filesystem::remove(reg::outboxFile()); // no test sends what another left
    }

    void documentsAreRecordedWithTheirHash() {
        auto window = openWith();
        fillExample(*window);
        gui::OfferActions& actions = *window->offerActions();
        const QString pdf = dir.filePath(QStringLiteral("oferta.pdf"));
        const QString csv = dir.filePath(QStringLiteral("grafic.csv"));
        QVERIFY(actions.savePdf(pdf));
        QVERIFY(actions.exportCsv(csv));
        const std::vector<reg::Record> all = records(localRegister(dir));
        QCOMPARE(all.size(), std::size_t(2));
        std::map<std::string, reg::Record> byKind;
        for (const reg::Record& r : all) {
            byKind[r.kind] = r;
        }
        QCOMPARE(byKind["oferta"].document_sha256, reg::sha256OfFile(pdf.toStdString()));
        QCOMPARE(byKind["grafic_csv"].document_sha256, reg::sha256OfFile(csv.toStdString()));
        QCOMPARE(byKind["oferta"].inputs.tbvp, std::string("3500"));
        QVERIFY(byKind["oferta"].figures.legal.starts_with("{\"legal\":{\"valid\":true"));
        QVERIFY(told.empty());
        auto* status = window->findChild<QLabel*>(QStringLiteral("registerStatus"));
        QVERIFY(status && status->isHidden());
    }

    // The server refuses the connection: the document is written, its record waits, and the
    // menu bar says how many wait.
    void unreachableServerQueuesAndSaysSo() {
        auto window = openWith(std::string("postgresql://127.0.0.1:1/registru?connect_timeout=2"));
        fillExample(*window);
        const QString pdf = dir.filePath(QStringLiteral("oferta-2.pdf"));
        QVERIFY(window->offerActions()->savePdf(pdf));
        QVERIFY(QFileInfo::exists(pdf));
        auto* status = window->findChild<QLabel*>(QStringLiteral("registerStatus"));
        QVERIFY(status);
        QTRY_COMPARE(status->text(), QStringLiteral("Registru: 1 inregistrari netrimise"));
        QVERIFY(status->isVisible());
        QVERIFY(told.empty());
        std::filesystem::remove(reg::outboxFile());
    }

    // A server that takes the connection and never answers: the document is issued and its
    // record is in the outbox before the connection's time limit has run, with nothing said
    // yet; the count follows once the attempt has failed.
    void silentServerDoesNotHoldTheWindow() {
        const int listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        QVERIFY(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0);
        QVERIFY(listen(listener, 4) == 0); // connections wait in the backlog, never answered
        QVERIFY(getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len) == 0);
        {
            auto window = openWith("postgresql://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) +
                                   "/registru?connect_timeout=2");
            fillExample(*window);
            QVERIFY(window->offerActions()->savePdf(dir.filePath(QStringLiteral("tacut.pdf"))));
            reg::Register outbox(reg::Location{reg::outboxFile(), {}}, reg::outboxFile());
            long long waiting = 0;
            QVERIFY(outbox.pending(waiting).ok);
            QCOMPARE(waiting, 1LL);
            auto* status = window->findChild<QLabel*>(QStringLiteral("registerStatus"));
            QVERIFY(status->isHidden());
            QTRY_COMPARE_WITH_TIMEOUT(status->text(),
                                      QStringLiteral("Registru: 1 inregistrari netrimise"), 15000);
        }
        close(listener);
        std::filesystem::remove(reg::outboxFile());
    }

    // A live server: documents issued one after the other, while a send is still under way,
    // each arrive exactly once and the outbox empties.
    void serverReceivesEveryDocumentOnce() {
        regtest::PostgresServer server;
        if (regtest::PostgresServer::binaries().empty()) {
            QSKIP("PostgreSQL is not installed");
        }
        QVERIFY2(server.ok(), server.error().c_str());
        {
            auto window = openWith(server.url());
            fillExample(*window);
            for (const char* name : {"pg-1.pdf", "pg-2.pdf", "pg-3.pdf"}) {
                QVERIFY(window->offerActions()->savePdf(dir.filePath(QString::fromUtf8(name))));
            }
            QTRY_COMPARE_WITH_TIMEOUT(
                server.sql("registru", "SELECT count(*) FROM registru_documente").value_or(""),
                std::string("3\n"), 15000);
            auto* status = window->findChild<QLabel*>(QStringLiteral("registerStatus"));
            QTRY_VERIFY(status->isHidden());
            QVERIFY(told.empty());
        }
        reg::Register outbox(reg::Location{reg::outboxFile(), {}}, reg::outboxFile());
        long long waiting = -1;
        QVERIFY(outbox.pending(waiting).ok);
        QCOMPARE(waiting, 0LL);
    }

    void listFilterReopenCompareVerify() {
        auto window = openWith();
        fillExample(*window, "2000");
        QVERIFY(window->offerActions()->savePdf(dir.filePath(QStringLiteral("a.pdf"))));
        QTest::qWait(1100); // times are kept to the second: the next one is newer
        fillExample(*window, "3500");
        window->form().click(Control::Check2); // cash
        const QString last = dir.filePath(QStringLiteral("b.pdf"));
        QVERIFY(window->offerActions()->savePdf(last));

        window->findChild<QAction*>(QStringLiteral("registerAction"))->trigger();
        auto* registerWindow = window->openedCompanion<gui::RegisterWindow>();
        QVERIFY(registerWindow);
        QVERIFY(registerWindow->model().rowCount() >= 2);
        // The monthly payment is named as in the other companion windows and the documents.
        QCOMPARE(registerWindow->model().headerData(7, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Rata lunara"));
        registerWindow->filterBox()->setText(QStringLiteral("NICIUN CLIENT"));
        QCOMPARE(registerWindow->model().rowCount(), 0);
        registerWindow->filterBox()->setText(QString());

        // Newest first: the cash offer of 3500; reopened on a new customer's form.
        const int rows = registerWindow->model().rowCount();
        int newest = -1, older = -1;
        for (int r = 0; r < rows; ++r) {
            const reg::Record& rec = registerWindow->model().record(r);
            if (rec.document_sha256 == reg::sha256OfFile(last.toStdString())) {
                newest = r;
            } else if (rec.summary.productValue == 2000.0 && older < 0) {
                older = r;
            }
        }
        QVERIFY(newest >= 0 && older > newest);
        window->startOver();
        const long before = window->form().recalculations();
        registerWindow->reopen(newest);
        const ui::ControlModel& m = window->form().controls();
        QCOMPARE(m.text(Control::tbvp), std::string("3500"));
        QCOMPARE(m.text(Control::cbasig), std::string("Standard"));
        QCOMPARE(m.value(Control::Check2), 1);
        QVERIFY(window->form().recalculations() > before);
        QVERIFY(told.empty());

        registerWindow->compare({newest, older});
        auto* grid = registerWindow->findChild<QTableWidget*>(QStringLiteral("compareTable"));
        QVERIFY(grid);
        bool tbvpMarked = false, vnMarked = false;
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QString name = grid->verticalHeaderItem(r)->text();
            tbvpMarked = tbvpMarked || name == QStringLiteral("≠ tbvp");
            vnMarked = vnMarked || name == QStringLiteral("≠ vn");
        }
        QVERIFY(tbvpMarked);
        QVERIFY(!vnMarked);

        QVERIFY(registerWindow->verify(last).contains(QStringLiteral("Registrul a emis")));
        const QString stranger = dir.filePath(QStringLiteral("strain.pdf"));
        std::ofstream(stranger.toStdString()) << "%PDF-1.4 not ours";
        QCOMPARE(registerWindow->verify(stranger),
                 QStringLiteral("Registrul nu a emis acest fisier."));
    }

    // A record made on another tariff: reopened on today's, with a notice naming both.
    // A register longer than the pages the list reads: every row where it belongs, the filter
    // counted by the database.
    void longRegisterListedAPageAtATime() {
        auto window = openWith();
        fillExample(*window);
        QVERIFY(window->offerActions()->savePdf(dir.filePath(QStringLiteral("seed.pdf"))));
        const std::vector<reg::Record> before = records(localRegister(dir));
        QVERIFY(!before.empty());
        {
            reg::Outcome o;
            auto db = reg::Database::open(localRegister(dir), o);
            QVERIFY(db);
            std::optional<std::string> tariff;
            QVERIFY(db->tariffJson(before.front().tariff.sha256, tariff).ok && tariff);
            for (int i = 0; i < 450; ++i) {
                reg::Record r = before.front();
                const QString n = QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
                r.id = "lung-" + n.toStdString();
                // Later than every other record: these are the list's first rows.
                r.issued_at = QStringLiteral("2099-01-01T00:%1:%2Z")
                                  .arg(i / 60, 2, 10, QLatin1Char('0'))
                                  .arg(i % 60, 2, 10, QLatin1Char('0'))
                                  .toStdString();
                r.customer = "Lung " + std::to_string(i);
                QVERIFY(db->store(r, *tariff).ok);
            }
        }
        window->findChild<QAction*>(QStringLiteral("registerAction"))->trigger();
        auto* registerWindow = window->openedCompanion<gui::RegisterWindow>();
        QVERIFY(registerWindow);
        registerWindow->refresh();
        const gui::RegisterModel& model = registerWindow->model();
        QCOMPARE(model.rowCount(), static_cast<int>(before.size()) + 450);
        for (const int row : {0, 199, 200, 449, 201, 0}) {
            QCOMPARE(model.record(row).id, "lung-" + std::to_string(1449 - row).substr(1));
        }
        QCOMPARE(model.data(model.index(449, 1), Qt::DisplayRole).toString(),
                 QStringLiteral("Lung 0"));
        registerWindow->filterBox()->setText(QStringLiteral(" LUNG 12"));
        QCOMPARE(model.rowCount(), 11); // 12 and 120 to 129
        QCOMPARE(model.record(0).id, std::string("lung-129"));
        QCOMPARE(model.record(10).id, std::string("lung-012"));
        QVERIFY(model.record(11).id.empty()); // past the end: nothing, no fault
        registerWindow->filterBox()->setText(QString());
        reg::Outcome o;
        auto db = reg::Database::open(localRegister(dir), o);
        for (int i = 0; i < 450; ++i) {
            db->remove("lung-" +
                       QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')).toStdString());
        }
    }

    void reopenOnAnotherTariffNamesBoth() {
        auto window = openWith();
        fillExample(*window);
        QVERIFY(window->offerActions()->savePdf(dir.filePath(QStringLiteral("c.pdf"))));
        reg::Outcome o;
        auto db = reg::Database::open(localRegister(dir), o);
        QVERIFY(db);
        std::vector<reg::Record> all;
        QVERIFY(db->list({}, true, all).ok);
        reg::Record other = all.front();
        other.id = "alt-tarif";
        other.issued_at = "2099-01-01T00:00:00Z"; // the newest
        other.tariff = {"Tarif vechi", std::string("2020-01-01"), std::string(64, 'a')};
        QVERIFY(db->store(other, "{}").ok);
        auto* registerWindow = window->openCompanion<gui::RegisterWindow>();
        registerWindow->tell = [this](const QString&, const QString& text) {
            told.push_back(text);
        };
        registerWindow->refresh();
        QCOMPARE(registerWindow->model().record(0).id, std::string("alt-tarif"));
        registerWindow->reopen(0);
        QCOMPARE(told.size(), std::size_t(1));
        QVERIFY(told.front().contains(QStringLiteral("Tarif vechi (2020-01-01)")));
        QVERIFY(told.front().contains(
            QString::fromStdString(window->form().state().tarif->terms().name)));
    }
};

QTEST_MAIN(RegisterWindowTest)
#include "register_window_test.moc"
