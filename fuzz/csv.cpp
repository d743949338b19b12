#include "batch/csv.h"
#include "batch/batch.h"
#include "fuzz/check.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

// The table mode's CSV reader on arbitrary bytes (unterminated quotes, NUL bytes, invalid
// UTF-8), then table mode itself on them. An input starting with byte 1 has the rest repeated
// up to 16 KiB, for long fields and quotes left open to the end; one in 4096 of those, picked by
// a hash of the whole input, up to a megabyte. The hash keeps the megabyte case rare: a megabyte
// read under the sanitizers takes some 30 ms, and a marker byte would survive the fuzzer's
// mutations, so that it would spend most of its time there. Table mode is left out on both, whose
// rows would take too long to simulate one by one.
namespace {

using fuzz::require;

std::uint64_t hashOf(const std::uint8_t* data, std::size_t size) {
    std::uint64_t hash = 0xcbf29ce484222325; // FNV-1a
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 0x100000001b3;
    }
    return hash;
}

// Reads every record; the reader must end, and its line numbers never go back.
std::size_t readAll(const std::string& input) {
    std::istringstream in(input);
    batch::CsvReader reader(in);
    batch::CsvRecord record;
    std::string error;
    std::size_t line = 0;
    std::size_t records = 0;
    while (reader.next(record, error)) {
        require(record.line >= line && record.line >= 1, "csv: line numbers go back");
        line = record.line;
        require(++records <= input.size() + 1, "csv: more records than bytes");
        error.clear();
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    const bool stretched = size > 1 && data[0] == 1;
    if (stretched) {
        const bool megabyte = hashOf(data, size) % 4096 == 0;
        const std::string unit = input.substr(1);
        const std::size_t length = std::size_t{1} << (megabyte ? 20 : 14);
        input.clear();
        while (input.size() < length) {
            input += unit;
        }
    }
    readAll(input);
    if (stretched) {
        return 0;
    }

    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = batch::runTable(in, out, err);
    require(status == batch::ok || status == batch::rowErrors || status == batch::malformed,
            "table: unexpected status");
    require((status == batch::ok) == err.str().empty(), "table: status and errors disagree");
    if (status != batch::ok) {
        require(err.str().rfind("line ", 0) == 0, "table: error without its line number");
    }
    if (status == batch::malformed) {
        return 0;
    }

    // What table mode writes is a table again: a header, then rows of as many fields.
    std::istringstream written(out.str());
    batch::CsvReader reader(written);
    batch::CsvRecord record;
    std::string error;
    std::size_t width = 0;
    bool header = true;
    while (reader.next(record, error)) {
        require(error.empty(), "table: its output cannot be read back");
        if (header) {
            width = record.fields.size();
            header = false;
        }
        require(record.fields.size() == width, "table: a row of the wrong width");
    }
    return 0;
}
