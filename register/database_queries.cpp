#include "register/database.h"

#include "register/record_row.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>

namespace reg {

using namespace row;

Outcome Database::list(const Period& period, bool withFigures, std::vector<Record>& records) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    QString sql =
        QString::fromLatin1(selectRecords)
            .arg(withFigures ? QStringLiteral("d.fig_snapshot, d.fig_schedule, d.fig_legal")
                             : QStringLiteral("NULL"));
    QStringList where;
    if (!period.from.empty()) {
        where << QStringLiteral("d.issued_at >= ?");
    }
    if (!period.to.empty()) {
        where << QStringLiteral("d.issued_at < ?"); // the day after the last one
    }
    if (!where.isEmpty()) {
        sql += QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND ")) + u' ';
    }
    sql += QStringLiteral("ORDER BY d.issued_at DESC, d.id DESC");
    if (!query.prepare(sql)) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    if (!period.from.empty()) {
        query.addBindValue(q(period.from));
    }
    if (!period.to.empty()) {
        const QDate last = QDate::fromString(q(period.to), Qt::ISODate);
        query.addBindValue(last.isValid() ? last.addDays(1).toString(Qt::ISODate) : q(period.to));
    }
    if (!query.exec()) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    records.clear();
    while (query.next()) {
        records.push_back(readRecord(query, withFigures));
    }
    return {};
}

std::string searchKeyOf(const Record& r) {
    return q(r.issued_at + '\n' + r.customer.value_or("") + '\n' + r.shop.value_or(""))
        .toCaseFolded()
        .toStdString();
}

std::string searchNeedle(const std::string& typed) {
    return q(typed).trimmed().toCaseFolded().toStdString();
}

// A plain substring test, no pattern: a typed "%" or "_" is a character like any other.
QString Database::listWhere(const std::string& needle) const {
    if (needle.empty()) {
        return {};
    }
    return where_.postgres() ? QStringLiteral("WHERE strpos(search_key, ?) > 0 ")
                             : QStringLiteral("WHERE instr(search_key, ?) > 0 ");
}

Outcome Database::countListed(const std::string& needle, long long& records) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.prepare(QStringLiteral("SELECT COUNT(*) FROM registru_documente ") +
                       listWhere(needle))) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    if (!needle.empty()) {
        query.addBindValue(q(needle));
    }
    if (!query.exec() || !query.next()) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    records = query.value(0).toLongLong();
    return {};
}

Outcome Database::listPage(const std::string& needle, long long offset, int limit,
                           std::vector<Record>& records) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    if (!query.prepare(
            QStringLiteral("SELECT id, issued_at, kind, shop, agent, customer, document_sha256, "
                           "sum_product_value, sum_credit, sum_duration, sum_instalment, sum_dae "
                           "FROM registru_documente ") +
            listWhere(needle) +
            QStringLiteral("ORDER BY issued_at DESC, id DESC LIMIT ? OFFSET ?"))) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    if (!needle.empty()) {
        query.addBindValue(q(needle));
    }
    query.addBindValue(limit);
    query.addBindValue(offset);
    if (!query.exec()) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    records.clear();
    while (query.next()) {
        Record& r = records.emplace_back();
        r.id = s(query.value(0));
        r.issued_at = s(query.value(1));
        r.kind = s(query.value(2));
        r.shop = textOrNone(query.value(3));
        r.agent = s(query.value(4));
        r.customer = textOrNone(query.value(5));
        r.document_sha256 = textOrNone(query.value(6));
        r.summary = {numberOrNone(query.value(7)), numberOrNone(query.value(8)),
                     numberOrNone(query.value(9)), numberOrNone(query.value(10)),
                     numberOrNone(query.value(11))};
    }
    return {};
}

Outcome Database::findDocument(const std::string& sha256, std::vector<Record>& records) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.prepare(
            QString::fromLatin1(selectRecords)
                .arg(QStringLiteral("d.fig_snapshot, d.fig_schedule, d.fig_legal")) +
            QStringLiteral("WHERE d.document_sha256 = ? ORDER BY d.issued_at DESC, d.id DESC"))) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    query.addBindValue(q(sha256));
    if (!query.exec()) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    records.clear();
    while (query.next()) {
        records.push_back(readRecord(query, true));
    }
    return {};
}

Outcome Database::get(const std::string& id, std::optional<Record>& record) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.prepare(QString::fromLatin1(selectRecords)
                           .arg(QStringLiteral("d.fig_snapshot, d.fig_schedule, d.fig_legal")) +
                       QStringLiteral("WHERE d.id = ?"))) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    query.addBindValue(q(id));
    if (!query.exec()) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    record = query.next() ? std::optional<Record>(readRecord(query, true)) : std::nullopt;
    return {};
}

Outcome Database::tariffJson(const std::string& sha256, std::optional<std::string>& json) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.prepare(QStringLiteral("SELECT json FROM registru_tarife WHERE sha256 = ?"))) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    query.addBindValue(q(sha256));
    if (!query.exec()) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    json = query.next() ? std::optional<std::string>(s(query.value(0))) : std::nullopt;
    return {};
}

Outcome Database::count(long long& records) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM registru_documente")) || !query.next()) {
        return failed("nu poate fi citit", query.lastError().text());
    }
    records = query.value(0).toLongLong();
    return {};
}

Outcome Database::remove(const std::string& id) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.prepare(QStringLiteral("DELETE FROM registru_documente WHERE id = ?"))) {
        return failed("nu poate fi scris", query.lastError().text());
    }
    query.addBindValue(q(id));
    if (!query.exec()) {
        return failed("nu poate fi scris", query.lastError().text());
    }
    return {};
}

} // namespace reg
