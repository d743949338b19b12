#pragma once

#include "register/database.h"
#include "register/location.h"
#include "register/record.h"

#include <filesystem>
#include <memory>
#include <string>

namespace reg {

// Where a record went.
enum class Filed {
    stored, // in the register
    queued, // in the outbox, to be sent when the register can be reached
    failed, // nowhere: the caller keeps it
};

struct FileResult {
    Filed filed = Filed::failed;
    std::string message; // why it is not in the register; empty when it is
};

// The register the program writes to, with the local outbox for the records it could not take.
// The connection is kept open between records and opened again when it was lost.
class Register {
public:
    Register(Location where, std::filesystem::path outbox);
    ~Register();

    const Location& location() const { return where_; }
    const std::filesystem::path& outboxPath() const { return outbox_; }

    // Stores the record; when the register cannot take it (not reachable, not writable, not
    // ours), in the outbox; when neither can, nowhere, with both reasons.
    FileResult file(const Record& record, const std::string& tariffJson);

    // Sends the outbox to the register, each record exactly once, removing it from the outbox
    // once the register holds it. `sent` counts the records sent now.
    Outcome sync(long long& sent);
    // The records waiting in the outbox (0 without one).
    Outcome pending(long long& waiting);

    // The register itself, opened when needed; null with `outcome` set when it cannot be.
    Database* database(Outcome& outcome);

private:
    Location where_;
    std::filesystem::path outbox_;
    std::unique_ptr<Database> db_;
};

} // namespace reg
