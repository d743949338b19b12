#pragma once

#include "register/record.h"
#include "ui/form1.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace reg {

// A record of a document just issued for the form's simulation, with the tariff's normalised
// JSON that goes with it.
struct MadeRecord {
    Record record;
    std::string tariffJson;
    bool customerCut = false; // the customer's name was longer than the register keeps
};

// Everything but the document's SHA-256 (a printout has none): a new id, the time now, the
// program's version, the operating-system user, the inputs and figures of the form.
MadeRecord makeRecord(const ui::Form1& form, std::string_view kind,
                      const std::optional<std::string>& shop,
                      const std::optional<std::string>& customer);

// The SHA-256 of bytes and of a file's bytes, lowercase hex; none when the file cannot be read.
std::string sha256Hex(std::string_view bytes);
std::optional<std::string> sha256OfFile(const std::filesystem::path& file);

// The customer's name as the register keeps it: at most customerNameLimit characters (whole
// UTF-8 sequences), without NUL characters, which PostgreSQL cannot store; nothing when blank.
// `cut` says whether anything was dropped.
std::optional<std::string> customerName(const std::optional<std::string>& typed, bool& cut);

// The operating-system user running the program.
std::string operatingSystemUser();

// The program's version, as the records carry it.
std::string programVersion();

} // namespace reg
