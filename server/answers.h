#pragma once

#include "offer/table_row.h"
#include "tariff/tariff.h"

#include <string>

namespace server {

// The answers are computed each in a fresh form after start-up, from the request alone and the
// tariff, so that no request can change another's answer.

// /v1/simulare: {"snapshot": …, "schedule": …, "legal": …}, each object as the batch tool writes
// it for the same table row.
std::string simulationAnswer(const offer::TableRow& row, const tariff::Tariff& tarif);

// /v1/variante: {"variants": …}, the batch tool's object for the same row.
std::string variantsAnswer(const offer::TableRow& row, const tariff::Tariff& tarif);

// /v1/rate: the accepted durations with their legal figures, the smallest instalment and the
// representative example.
std::string rateAnswer(const offer::TableRow& row, const tariff::Tariff& tarif);

// The object inside a one-key line such as {"schedule":{…}}.
std::string innerObject(const std::string& line);

} // namespace server
