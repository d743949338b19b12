#include "runtime/csv.h"

namespace runtime {

std::string csvField(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(field);
    }
    std::string out = "\"";
    for (const char c : field) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
    return out;
}

std::string csvRecord(std::span<const std::string> fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += csvField(fields[i]);
    }
    out += "\r\n";
    return out;
}

} // namespace runtime
