#include "register/register.h"

#include <system_error>

namespace reg {

Register::Register(Location where, std::filesystem::path outbox)
    : where_(std::move(where)), outbox_(std::move(outbox)) {}

Register::~Register() = default;

Database* Register::database(Outcome& outcome) {
    if (!db_) {
        db_ = Database::open(where_, outcome);
    } else {
        outcome = {};
    }
    return db_.get();
}

FileResult Register::file(const Record& record, const std::string& tariffJson) {
    Outcome outcome;
    // A connection kept from an earlier record may have been dropped by a restarted server:
    // one more try on a new connection before the outbox.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (Database* db = database(outcome)) {
            outcome = db->store(record, tariffJson);
            if (outcome.ok) {
                return {Filed::stored, {}};
            }
            db_.reset();
            if (!where_.postgres()) {
                break;
            }
        } else {
            break;
        }
    }
    if (outbox_.empty() || (!where_.postgres() && outbox_ == where_.file)) {
        return {Filed::failed, outcome.error};
    }
    Outcome local;
    std::unique_ptr<Database> box = Database::open(Location{outbox_, {}}, local);
    if (box) {
        local = box->store(record, tariffJson);
    }
    if (local.ok) {
        return {Filed::queued, outcome.error};
    }
    return {Filed::failed, outcome.error + "\n" + local.error};
}

Outcome Register::pending(long long& waiting) {
    waiting = 0;
    std::error_code ec;
    if (outbox_.empty() || !std::filesystem::exists(outbox_, ec)) {
        return {};
    }
    Outcome outcome;
    std::unique_ptr<Database> box = Database::open(Location{outbox_, {}}, outcome);
    return box ? box->count(waiting) : outcome;
}

Outcome Register::sync(long long& sent) {
    sent = 0;
    std::error_code ec;
    if (outbox_.empty() || !std::filesystem::exists(outbox_, ec)) {
        return {};
    }
    Outcome outcome;
    std::unique_ptr<Database> box = Database::open(Location{outbox_, {}}, outcome);
    if (!box) {
        return outcome;
    }
    std::vector<Record> waiting;
    if (outcome = box->list({}, true, waiting); !outcome.ok || waiting.empty()) {
        return outcome;
    }
    Database* db = database(outcome);
    if (!db) {
        return outcome;
    }
    // Oldest first, so that the register receives them in the order they were issued. A record
    // leaves the outbox only once the register has committed it; stopped in between, the next
    // sync sends it again and the register keeps the copy it has.
    for (auto it = waiting.rbegin(); it != waiting.rend(); ++it) {
        std::optional<std::string> tariff;
        if (outcome = box->tariffJson(it->tariff.sha256, tariff); !outcome.ok) {
            return outcome;
        }
        if (outcome = db->store(*it, tariff.value_or(std::string())); !outcome.ok) {
            db_.reset();
            return outcome;
        }
        if (outcome = box->remove(it->id); !outcome.ok) {
            return outcome;
        }
        ++sent;
    }
    return {};
}

} // namespace reg
