#pragma once

#include "offer/table_row.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The service: the simulation over HTTP for web shops.
namespace server {

// Why a request cannot be answered: a sentence, and where in the input (a JSON pointer: "" for
// the whole body, "/tbvp" for one key or query parameter).
struct BadInput {
    std::string error;
    std::string pointer;
};

// What a request asks for, or why it cannot be read; never both.
template <typename T> struct Read {
    std::optional<T> value;
    BadInput bad;
};

// A form: a JSON object with any of the keys of a table row (the six boxes' texts, `cbasig` as an
// item's text or its position, `plata`). `items` are the insurance list's items after start-up.
Read<offer::TableRow> readForm(std::string_view body, const std::vector<std::string>& items);

// What a product page asks of /v1/rate: the product value, the down payment, the insurance item
// and the payment method.
struct RateQuery {
    offer::TableRow row;
};

// The query string (without '?') of /v1/rate.
Read<RateQuery> readRateQuery(std::string_view query, const std::vector<std::string>& items);

// Decodes %XX escapes and '+' of a query string's part; nullopt for a broken escape.
std::optional<std::string> percentDecode(std::string_view text);

} // namespace server
