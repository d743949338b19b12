#pragma once

#include "batch/csv.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

// Every record of a CSV text, read back through the tool's own reader; a record it cannot read
// fails the test.
inline std::vector<std::vector<std::string>> csvRows(const std::string& csv) {
    std::istringstream in(csv);
    batch::CsvReader reader(in);
    batch::CsvRecord record;
    std::string error;
    std::vector<std::vector<std::string>> rows;
    while (reader.next(record, error)) {
        EXPECT_EQ(error, "") << "line " << record.line;
        rows.push_back(record.fields);
    }
    return rows;
}

} // namespace testsupport
