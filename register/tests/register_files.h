#pragma once

// Register files as the tests make and spoil them: opened by the program, or changed behind its
// back by a connection of the test's own.

#include "register/database.h"
#include "register/tests/register_fixture.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>

namespace regtest {

inline std::unique_ptr<reg::Database> openFile(const std::filesystem::path& file, reg::Outcome& o) {
    return reg::Database::open(reg::Location{file, {}}, o);
}

inline std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Statements run on a register file by a connection of the test's own: what another program, an
// older version or a person with the sqlite3 shell would have done to it.
inline void alter(const std::filesystem::path& file,
                  std::initializer_list<const char*> statements) {
    const QString name = QStringLiteral("behind-the-back");
    {
        QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        c.setDatabaseName(QString::fromStdString(file.string()));
        ASSERT_TRUE(c.open()) << c.lastError().text().toStdString();
        QSqlQuery q(c);
        for (const char* statement : statements) {
            ASSERT_TRUE(q.exec(QString::fromLatin1(statement)))
                << statement << ": " << q.lastError().text().toStdString();
        }
    }
    QSqlDatabase::removeDatabase(name);
}

// A register of the program's first version holding one record, as the upgrade finds it.
inline void makeFirstVersion(const std::filesystem::path& file, const reg::MadeRecord& made) {
    {
        reg::Outcome o;
        auto db = openFile(file, o);
        ASSERT_TRUE(db) << o.error;
        ASSERT_TRUE(db->store(made.record, made.tariffJson).ok);
    }
    alter(file, {"DROP INDEX registru_documente_list",
                 "ALTER TABLE registru_documente DROP COLUMN search_key",
                 "CREATE INDEX registru_documente_issued ON registru_documente (issued_at)",
                 "UPDATE registru_schema SET version = 1"});
}

} // namespace regtest
