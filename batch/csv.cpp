#include "batch/csv.h"

namespace batch {

int CsvReader::get() {
    const int c = in_.get();
    if (c == '\n') {
        ++line_;
    }
    return c;
}

int CsvReader::peek() {
    return in_.peek();
}

bool CsvReader::next(CsvRecord& record, std::string& error) {
    record.fields.clear();
    error.clear();
    constexpr int eof = std::char_traits<char>::eof();

    // Skip empty lines (LF or CRLF alone).
    for (;;) {
        const int c = peek();
        if (c == eof) {
            return false;
        }
        if (c == '\n') {
            get();
        } else if (c == '\r') {
            get();
            if (peek() == '\n') {
                get();
            } else {
                break; // a lone CR starts a record of its own
            }
        } else {
            break;
        }
    }

    record.line = line_;
    std::string field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the field began with a quote
    for (;;) {
        const int c = get();
        if (quoted) {
            if (c == eof) {
                error = "unterminated quoted field";
                record.fields.push_back(std::move(field));
                return true;
            }
            if (c == '"') {
                if (peek() == '"') {
                    get();
                    field.push_back('"');
                } else {
                    quoted = false;
                }
            } else {
                field.push_back(static_cast<char>(c));
            }
            continue;
        }
        if (c == eof || c == '\n' || (c == '\r' && (peek() == '\n' || peek() == eof))) {
            if (c == '\r') {
                get();
            }
            record.fields.push_back(std::move(field));
            return true;
        }
        if (c == ',') {
            record.fields.push_back(std::move(field));
            field.clear();
            wasQuoted = false;
            continue;
        }
        if (wasQuoted) {
            // Text after the closing quote: the rest of the line is still consumed.
            if (error.empty()) {
                error = "text after a closing quote";
            }
            continue;
        }
        if (c == '"' && field.empty()) {
            quoted = true;
            wasQuoted = true;
            continue;
        }
        field.push_back(static_cast<char>(c));
    }
}

} // namespace batch
