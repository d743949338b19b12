#include "register/schema.h"

namespace reg {

std::vector<std::string_view> upgradeStatements(int to) {
    switch (to) {
    case 1:
        // Types both databases read alike: TEXT for every text, DOUBLE PRECISION for the figures
        // (REAL to SQLite). Times are ISO 8601 texts in UTC, which sort as they read.
        return {
            "CREATE TABLE registru_schema (program TEXT NOT NULL, version INTEGER NOT NULL)",
            ("CREATE TABLE registru_tarife (sha256 TEXT PRIMARY KEY, name TEXT NOT NULL, "
             "valid_from TEXT, json TEXT NOT NULL)"),
            // The figures, long texts, come last: a list that reads the columns before them never
            // walks their overflow pages.
            ("CREATE TABLE registru_documente (id TEXT PRIMARY KEY, issued_at TEXT NOT NULL, "
             "program TEXT NOT NULL, kind TEXT NOT NULL, shop TEXT, agent TEXT NOT NULL, "
             "customer TEXT, in_vn TEXT NOT NULL, in_ar TEXT NOT NULL, in_ad TEXT NOT NULL, "
             "in_tbvp TEXT NOT NULL, in_tbavans TEXT NOT NULL, in_tbdurcred TEXT NOT NULL, "
             "in_cbasig TEXT NOT NULL, in_plata TEXT NOT NULL, "
             "tariff_sha256 TEXT NOT NULL REFERENCES registru_tarife (sha256), "
             "document_sha256 TEXT, sum_product_value DOUBLE PRECISION, "
             "sum_credit DOUBLE PRECISION, sum_duration DOUBLE PRECISION, "
             "sum_instalment DOUBLE PRECISION, sum_dae DOUBLE PRECISION, "
             "fig_snapshot TEXT NOT NULL, fig_schedule TEXT NOT NULL, fig_legal TEXT NOT NULL)"),
            "CREATE INDEX registru_documente_issued ON registru_documente (issued_at)",
            "CREATE INDEX registru_documente_document ON registru_documente (document_sha256)",
        };
    case 2:
        // The list's search key (the time, the customer and the shop, case-folded by the
        // program, since SQLite's lower() folds ASCII only), filled for the records already
        // there in the same transaction. One index holds the list's order and the key, so that a
        // filtered list scans the index alone and never a record's long figures.
        return {
            "ALTER TABLE registru_documente ADD COLUMN search_key TEXT",
            "DROP INDEX registru_documente_issued",
            ("CREATE INDEX registru_documente_list ON registru_documente "
             "(issued_at, id, search_key)"),
        };
    default:
        return {};
    }
}

} // namespace reg
