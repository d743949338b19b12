#pragma once

#include "register/location.h"
#include "register/record.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace reg {

// How an attempt on the register ended: `ok`, or why not, naming the file or the database.
struct Outcome {
    bool ok = true;
    bool unreachable = false; // the server could not be reached: worth trying again later
    std::string error;

    static Outcome failure(std::string why, bool unreachable = false) {
        return {false, unreachable, std::move(why)};
    }
};

// The records issued between two days, both included (YYYY-MM-DD, UTC); an empty day: no bound.
struct Period {
    std::string from, to;
};

// One connection to a register, its schema created or upgraded on opening. Every value reaches
// the database as a bound parameter. Not shared between threads.
class Database {
public:
    // Opens the register, creating it (a SQLite file with mode 0600, in WAL mode) and its tables
    // when it is new. A file or a database that holds another program's tables, a damaged file
    // or one written by a newer version is refused and left untouched.
    static std::unique_ptr<Database> open(const Location& where, Outcome& outcome);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const Location& location() const { return where_; }

    // Stores the record and its tariff's JSON in one transaction. A record whose id is already
    // present is left as it is (sending twice stores once); `inserted` says whether it was new.
    Outcome store(const Record& record, const std::string& tariffJson, bool* inserted = nullptr);

    // Newest first; the figures are read only when `withFigures`.
    Outcome list(const Period& period, bool withFigures, std::vector<Record>& records);
    // How many records hold `needle` (as `searchNeedle` makes it) in their time, customer or
    // shop; all of them for an empty one.
    Outcome countListed(const std::string& needle, long long& records);
    // `limit` of those records from position `offset`, newest first, with only what a list
    // shows: the id, the time, the kind, the shop, the agent, the customer, the document's
    // SHA-256 and the summary. A long register is read a page at a time.
    Outcome listPage(const std::string& needle, long long offset, int limit,
                     std::vector<Record>& records);
    // The records of a document's SHA-256, newest first.
    Outcome findDocument(const std::string& sha256, std::vector<Record>& records);
    // One record with its figures; none when the register holds no such id.
    Outcome get(const std::string& id, std::optional<Record>& record);
    Outcome tariffJson(const std::string& sha256, std::optional<std::string>& json);
    Outcome count(long long& records);
    Outcome remove(const std::string& id);

    // The version of the tables this program makes.
    static constexpr int schemaVersion = 2;

private:
    Database(Location where, QString connection);
    Outcome prepareSchema();
    Outcome upgradeOnce(bool& done);
    Outcome checkOurs(bool& empty);
    Outcome fillSearchKeys();
    QString listWhere(const std::string& needle) const;
    Outcome failed(const std::string& doing, const QString& why) const;

    Location where_;
    QString connection_;
};

// What a list's filter finds a record by: its time, its customer and its shop, case-folded.
std::string searchKeyOf(const Record& record);
// The text typed in a list's filter as the search keys are compared with: trimmed, case-folded.
std::string searchNeedle(const std::string& typed);

} // namespace reg
