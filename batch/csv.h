#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace batch {

// One record of a CSV table and the line it starts on (from 1).
struct CsvRecord {
    std::vector<std::string> fields;
    std::size_t line = 0;
};

// Reads RFC 4180 records: comma-separated fields, double quotes around fields holding commas,
// quotes ("" inside) or line breaks; CRLF or LF line ends. Empty lines are skipped.
class CsvReader {
public:
    explicit CsvReader(std::istream& in) : in_(in) {}

    // The next record; false at the end of the input. A record that cannot be read (an
    // unterminated quote, text after a closing quote) is returned with `error` set and its
    // fields incomplete; reading goes on after it.
    bool next(CsvRecord& record, std::string& error);

private:
    int get();
    int peek();

    std::istream& in_;
    std::size_t line_ = 1;
};

} // namespace batch
