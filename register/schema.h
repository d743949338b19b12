#pragma once

#include <array>
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

// The record's columns, in the order the queries bind and read them.
inline constexpr std::array<std::string_view, 26> recordColumns = {"id",
                                                                   "issued_at",
                                                                   "program",
                                                                   "kind",
                                                                   "shop",
                                                                   "agent",
                                                                   "customer",
                                                                   "in_vn",
                                                                   "in_ar",
                                                                   "in_ad",
                                                                   "in_tbvp",
                                                                   "in_tbavans",
                                                                   "in_tbdurcred",
                                                                   "in_cbasig",
                                                                   "in_plata",
                                                                   "fig_snapshot",
                                                                   "fig_schedule",
                                                                   "fig_legal",
                                                                   "tariff_sha256",
                                                                   "document_sha256",
                                                                   "sum_product_value",
                                                                   "sum_credit",
                                                                   "sum_duration",
                                                                   "sum_instalment",
                                                                   "sum_dae",
                                                                   "tariff_name"};

} // namespace reg
