#pragma once

#include "tariff/read.h"

#include <string>

// A tariff problem told in Romanian for the agent and the lender: where, in words, with
// positions counted from 1 ("Grila de dobanzi, regula a doua, dobanda"), and why. The JSON
// pointer and the reason as the reader wrote them stay in Problem::text() for the lender's IT.
namespace tariff {

// "Grila de dobanzi, regula a doua, procentul: nu poate fi negativ (este -0.1)". A file that
// could not be read adds the system's reason (`systemError`, an errno value; 0: none).
std::string romanianText(const Problem& problem, int systemError = 0);

// Why the system could not read a file, in Romanian for the common causes.
std::string systemReason(int error);

// A feminine ordinal: "prima", "a doua", ..., "a zecea", "a 11-a".
std::string ordinal(std::size_t position);

} // namespace tariff
