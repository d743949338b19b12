#pragma once

#include <optional>
#include <string>
#include <string_view>

// The register of issued documents: what was handed to a customer, when, by which shop, on which
// tariff. Qt SQL underneath (SQLite on one machine, PostgreSQL for a chain of shops).
namespace reg {

// The texts of the inputs as the window held them, in table-mode order, then the insurance item
// and the payment method.
struct Inputs {
    std::string vn, ar, ad, tbvp, tbavans, tbdurcred;
    std::string cbasig; // the insurance item's text
    std::string plata;  // the payment method's caption: "Debit Direct" or "Numerar"

    bool operator==(const Inputs&) const = default;
};

struct TariffRef {
    std::string name;
    std::optional<std::string> valid_from;
    std::string sha256; // of the tariff's normalised JSON, lowercase hex

    bool operator==(const TariffRef&) const = default;
};

// The figures of the moment the document was issued, as the batch tool writes them.
struct Figures {
    std::string snapshot, schedule, legal;

    bool operator==(const Figures&) const = default;
};

// What the register's list shows without reading the figures: taken from them when the record
// is made and kept in columns of their own, so that a long list reads quickly.
struct Summary {
    std::optional<double> productValue, credit, duration, instalment, dae;

    bool operator==(const Summary&) const = default;
};

struct Record {
    std::string id;        // a random UUID, lowercase, without braces
    std::string issued_at; // UTC, "2026-12-08T21:43:06Z"
    std::string program;   // the program's version
    std::string kind;      // one of the kinds below
    std::optional<std::string> shop;
    std::string agent;
    std::optional<std::string> customer;
    Inputs inputs;
    Figures figures;
    TariffRef tariff;
    std::optional<std::string> document_sha256; // none for a printout
    Summary summary;

    bool operator==(const Record&) const = default;
};

inline constexpr std::string_view kindOffer = "oferta";
inline constexpr std::string_view kindPrintedOffer = "oferta_tiparita";
inline constexpr std::string_view kindForm = "formular";
inline constexpr std::string_view kindScheduleCsv = "grafic_csv";

// The most characters a customer's name keeps.
inline constexpr std::size_t customerNameLimit = 200;

} // namespace reg
