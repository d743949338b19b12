#pragma once

#include <string_view>
#include <vector>

namespace reg {

// The tables are named so that they cannot be taken for another program's, and the schema
// table says whose they are.
inline constexpr std::string_view schemaTable = "registru_schema";
inline constexpr std::string_view programMark = "simulator-credit";

// The statements that bring the schema from version `to` - 1 to `to`, the same text for SQLite
// and PostgreSQL; run in one transaction with the version's update.
std::vector<std::string_view> upgradeStatements(int to);

} // namespace reg
