#include "register/database.h"

#include "register/record_row.h"
#include "register/schema.h"

#include <QDate>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <filesystem>
#include <fstream>

namespace reg {

namespace {

using namespace row;

QString newConnectionName() {
    static std::atomic<int> next{0};
    return QStringLiteral("simulator-credit-registru-%1").arg(next++);
}

std::string driverText(const QSqlError& e) {
    std::string text = e.databaseText().trimmed().toStdString();
    std::string driver = e.driverText().trimmed().toStdString();
    if (text.empty()) {
        return driver;
    }
    return text;
}

// A connection the server dropped earlier gives no reason of its own when used again: the
// message says what is wrong rather than nothing.
constexpr const char* lostConnection = "conexiunea cu baza de date nu mai este deschisa";

// A file SQLite would take for a database starts with this; anything else is not opened at all,
// so that SQLite never writes into it.
bool looksLikeSqlite(const std::filesystem::path& file, bool& empty) {
    std::ifstream in(file, std::ios::binary);
    char header[16] = {};
    in.read(header, sizeof header);
    empty = in.gcount() == 0;
    return in.gcount() == 16 &&
           std::string_view(header, 16) == std::string_view("SQLite format 3\0", 16);
}

// A new register file readable by its owner only; its folder made for the owner alone.
Outcome createFile(const std::filesystem::path& file) {
    std::error_code ec;
    const std::filesystem::path folder = file.parent_path();
    if (!folder.empty() && !std::filesystem::exists(folder, ec)) {
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            return Outcome::failure("Dosarul registrului " + folder.string() +
                                    " nu poate fi creat: " + ec.message() + ".");
        }
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
    }
    QFile f(QString::fromStdString(file.string()));
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        if (f.error() == QFileDevice::OpenError && QFile::exists(f.fileName())) {
            return {}; // made by another process a moment ago
        }
        return Outcome::failure("Registrul " + file.string() +
                                " nu poate fi creat: " + f.errorString().toStdString() + ".");
    }
    return {};
}

} // namespace

Database::Database(Location where, QString connection)
    : where_(std::move(where)), connection_(std::move(connection)) {}

Database::~Database() {
    QSqlDatabase::removeDatabase(connection_);
}

Outcome Database::failed(const std::string& doing, const QString& why) const {
    std::string reason = why.trimmed().toStdString();
    if (reason.empty() && !QSqlDatabase::database(connection_, false).isOpen()) {
        reason = lostConnection;
    }
    return Outcome::failure("Registrul (" + where_.describe() + ") " + doing + ": " + reason + ".");
}

std::unique_ptr<Database> Database::open(const Location& where, Outcome& outcome) {
    const char* driver = where.postgres() ? "QPSQL" : "QSQLITE";
    if (!QSqlDatabase::isDriverAvailable(QString::fromLatin1(driver))) {
        outcome = Outcome::failure(std::string("Driverul Qt ") + driver +
                                   " lipseste: registrul nu poate fi deschis.");
        return nullptr;
    }
    if (!where.postgres()) {
        std::error_code ec;
        if (!std::filesystem::exists(where.file, ec)) {
            outcome = createFile(where.file);
            if (!outcome.ok) {
                return nullptr;
            }
        }
        bool empty = false;
        if (!looksLikeSqlite(where.file, empty) && !empty) {
            outcome = Outcome::failure("Fisierul " + where.file.string() +
                                       " nu este un registru: nu este o baza de date SQLite "
                                       "(stricat sau al altui program). Nu a fost modificat.");
            return nullptr;
        }
    }
    const QString name = newConnectionName();
    std::unique_ptr<Database> db(new Database(where, name));
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QString::fromLatin1(driver), name);
        if (where.postgres()) {
            c.setConnectOptions(q(connectOptions(where.params)));
        } else {
            c.setDatabaseName(q(where.file.string()));
            // Two windows on one machine share the file: a writer waits for the other's
            // transaction rather than fail.
            c.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=15000"));
        }
        if (!c.open()) {
            outcome =
                Outcome::failure("Registrul (" + where.describe() +
                                     ") nu poate fi deschis: " + driverText(c.lastError()) + ".",
                                 where.postgres());
            return nullptr;
        }
    }
    outcome = db->prepareSchema();
    if (!outcome.ok) {
        return nullptr;
    }
    if (!where.postgres()) {
        QSqlQuery wal(QSqlDatabase::database(name, false));
        wal.exec(QStringLiteral("PRAGMA journal_mode=WAL")); // a read-only file stays as it is
    }
    return db;
}

Outcome Database::checkOurs(bool& empty) {
    QSqlDatabase c = QSqlDatabase::database(connection_, false);
    QSqlQuery tables(c);
    const QString list = where_.postgres()
                             ? QStringLiteral("SELECT table_name FROM information_schema.tables "
                                              "WHERE table_schema = current_schema()")
                             : QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                              "'table' AND name NOT LIKE 'sqlite_%'");
    if (!tables.exec(list)) {
        return failed("nu poate fi citit", tables.lastError().text());
    }
    QStringList names;
    while (tables.next()) {
        names << tables.value(0).toString();
    }
    empty = names.isEmpty();
    const QString mark = QString::fromLatin1(schemaTable.data(), schemaTable.size());
    if (!names.isEmpty() && !names.contains(mark)) {
        names.sort();
        while (names.size() > 5) {
            names.removeLast();
        }
        return Outcome::failure("In " + where_.describe() + " sunt tabelele altui program (" +
                                names.join(QStringLiteral(", ")).toStdString() +
                                "); registrul nu scrie in ea.");
    }
    return {};
}

Outcome Database::upgradeOnce(bool& done) {
    QSqlDatabase c = QSqlDatabase::database(connection_, false);
    QSqlQuery query(c);
    bool empty = false;
    if (Outcome o = checkOurs(empty); !o.ok) {
        return o;
    }
    int version = 0;
    if (!empty) {
        if (!query.exec(QStringLiteral("SELECT program, version FROM registru_schema"))) {
            return failed("nu poate fi citit", query.lastError().text());
        }
        if (!query.next() || query.value(0).toString().toStdString() != programMark) {
            return Outcome::failure("In " + where_.describe() +
                                    " tabelul registru_schema este al altui program; registrul "
                                    "nu scrie in ea.");
        }
        version = query.value(1).toInt();
        query.finish();
    }
    if (version > schemaVersion) {
        return Outcome::failure("Registrul (" + where_.describe() +
                                ") a fost facut de o versiune "
                                "mai noua a programului (schema " +
                                std::to_string(version) + "); actualizati programul.");
    }
    done = version == schemaVersion;
    if (done) {
        return {};
    }
    // Another process may be upgrading at the same moment: the transaction takes the write lock
    // first and the version is read again under it.
    if (!query.exec(where_.postgres() ? QStringLiteral("BEGIN")
                                      : QStringLiteral("BEGIN IMMEDIATE"))) {
        return failed("nu poate fi creat", query.lastError().text());
    }
    auto rollback = [&](const QString& why) {
        QSqlQuery(c).exec(QStringLiteral("ROLLBACK"));
        return failed("nu poate fi creat", why);
    };
    if (where_.postgres() &&
        !query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7310562019)"))) {
        return rollback(query.lastError().text());
    }
    query.finish();
    if (Outcome o = checkOurs(empty); !o.ok) {
        QSqlQuery(c).exec(QStringLiteral("ROLLBACK"));
        return o;
    }
    int current = 0;
    if (!empty) {
        if (!query.exec(QStringLiteral("SELECT version FROM registru_schema")) || !query.next()) {
            return rollback(query.lastError().text());
        }
        current = query.value(0).toInt();
        query.finish();
    }
    if (current == version) {
        for (std::string_view statement : upgradeStatements(version + 1)) {
            if (!query.exec(QString::fromLatin1(statement.data(),
                                                static_cast<qsizetype>(statement.size())))) {
                return rollback(query.lastError().text());
            }
        }
        if (version + 1 == 2) {
            if (Outcome o = fillSearchKeys(); !o.ok) {
                QSqlQuery(c).exec(QStringLiteral("ROLLBACK"));
                return o;
            }
        }
        const bool first = version == 0;
        query.prepare(first ? QStringLiteral("INSERT INTO registru_schema (program, version) "
                                             "VALUES (?, ?)")
                            : QStringLiteral("UPDATE registru_schema SET version = ? "
                                             "WHERE program = ?"));
        if (first) {
            query.addBindValue(QString::fromLatin1(programMark.data(), programMark.size()));
            query.addBindValue(version + 1);
        } else {
            query.addBindValue(version + 1);
            query.addBindValue(QString::fromLatin1(programMark.data(), programMark.size()));
        }
        if (!query.exec()) {
            return rollback(query.lastError().text());
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        return rollback(query.lastError().text());
    }
    done = false; // read the version again: one step at a time
    return {};
}

Outcome Database::fillSearchKeys() {
    QSqlDatabase c = QSqlDatabase::database(connection_, false);
    QSqlQuery read(c);
    read.setForwardOnly(true);
    if (!read.exec(QStringLiteral("SELECT id, issued_at, customer, shop FROM registru_documente "
                                  "WHERE search_key IS NULL"))) {
        return failed("nu poate fi adus la zi", read.lastError().text());
    }
    std::vector<std::pair<QString, QString>> keys;
    while (read.next()) {
        Record r;
        r.issued_at = s(read.value(1));
        r.customer = textOrNone(read.value(2));
        r.shop = textOrNone(read.value(3));
        keys.emplace_back(read.value(0).toString(), q(searchKeyOf(r)));
    }
    read.finish();
    QSqlQuery write(c);
    write.prepare(QStringLiteral("UPDATE registru_documente SET search_key = ? WHERE id = ?"));
    for (const auto& [id, key] : keys) {
        write.addBindValue(key);
        write.addBindValue(id);
        if (!write.exec()) {
            return failed("nu poate fi adus la zi", write.lastError().text());
        }
    }
    return {};
}

Outcome Database::prepareSchema() {
    for (int step = 0; step <= schemaVersion + 1; ++step) {
        bool done = false;
        if (Outcome o = upgradeOnce(done); !o.ok || done) {
            return o;
        }
    }
    return failed("nu poate fi adus la zi", QStringLiteral("versiunea schemei nu se schimba"));
}

Outcome Database::store(const Record& r, const std::string& tariffJson, bool* inserted) {
    QSqlDatabase c = QSqlDatabase::database(connection_, false);
    QSqlQuery query(c);
    if (!query.exec(where_.postgres() ? QStringLiteral("BEGIN")
                                      : QStringLiteral("BEGIN IMMEDIATE"))) {
        std::string why = driverText(query.lastError());
        if (why.empty() && !c.isOpen()) {
            why = lostConnection;
        }
        return Outcome::failure("Registrul (" + where_.describe() + ") nu poate fi scris: " + why +
                                    ".",
                                where_.postgres());
    }
    auto rollback = [&](const QSqlError& why) {
        QSqlQuery(c).exec(QStringLiteral("ROLLBACK"));
        return Outcome::failure("Registrul (" + where_.describe() +
                                    ") nu poate fi scris: " + driverText(why) + ".",
                                where_.postgres() && !c.isOpen());
    };
    // A statement the database refuses to prepare (a table gone or changed) is reported with
    // the database's reason, not with the binding's failure that would follow it.
    if (!query.prepare(
            QStringLiteral("INSERT INTO registru_tarife (sha256, name, valid_from, "
                           "json) VALUES (?, ?, ?, ?) ON CONFLICT (sha256) DO NOTHING"))) {
        return rollback(query.lastError());
    }
    query.addBindValue(q(r.tariff.sha256));
    query.addBindValue(q(r.tariff.name));
    query.addBindValue(optionalText(r.tariff.valid_from));
    query.addBindValue(q(tariffJson));
    if (!query.exec()) {
        return rollback(query.lastError());
    }
    if (!query.prepare(QStringLiteral(
            "INSERT INTO registru_documente (id, issued_at, program, kind, shop, agent, customer, "
            "in_vn, in_ar, in_ad, in_tbvp, in_tbavans, in_tbdurcred, in_cbasig, in_plata, "
            "fig_snapshot, fig_schedule, fig_legal, tariff_sha256, document_sha256, "
            "sum_product_value, sum_credit, sum_duration, sum_instalment, sum_dae, search_key) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
            "ON CONFLICT (id) DO NOTHING"))) {
        return rollback(query.lastError());
    }
    for (const std::string* text : {&r.id, &r.issued_at, &r.program, &r.kind}) {
        query.addBindValue(q(*text));
    }
    query.addBindValue(optionalText(r.shop));
    query.addBindValue(q(r.agent));
    query.addBindValue(optionalText(r.customer));
    const Inputs& in = r.inputs;
    for (const std::string* text :
         {&in.vn, &in.ar, &in.ad, &in.tbvp, &in.tbavans, &in.tbdurcred, &in.cbasig, &in.plata,
          &r.figures.snapshot, &r.figures.schedule, &r.figures.legal, &r.tariff.sha256}) {
        query.addBindValue(q(*text));
    }
    query.addBindValue(optionalText(r.document_sha256));
    const Summary& sum = r.summary;
    for (const std::optional<double>* v :
         {&sum.productValue, &sum.credit, &sum.duration, &sum.instalment, &sum.dae}) {
        query.addBindValue(optionalNumber(*v));
    }
    query.addBindValue(q(searchKeyOf(r)));
    if (!query.exec()) {
        return rollback(query.lastError());
    }
    const bool added = query.numRowsAffected() > 0;
    if (!query.exec(QStringLiteral("COMMIT"))) {
        return rollback(query.lastError());
    }
    if (inserted) {
        *inserted = added;
    }
    return {};
}

} // namespace reg
