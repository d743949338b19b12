#pragma once

#include "offer/what_if.h"

#include <optional>
#include <string>
#include <vector>

namespace offer {

// What would be accepted (neither the error panel nor the indebtedness panel) with the form's
// present inputs, each answer found among the form's own variants:
//  - the smallest whole down payment from 0 to the product value's whole part;
//  - the shortest and longest whole duration between the duration limits;
//  - the largest whole product value from 0 to the down payment plus the largest financed
//    amount, plafoncredit / (1 + comacord) (the limit of the error panel), whole part.
// Each is empty when there is none, and all are empty when the product value or the down
// payment is not finite or above answerCutOff.
//
// The largest product value is not the form's "Valoare maxima bunuri": that figure is computed
// at the present credit's rate, commission and band, with the insurance apart from the annuity,
// while this one is the largest value that the form itself would accept, in whatever band of
// the rate grid and the commission that value falls.
struct Answers {
    std::optional<long long> minDownPayment;
    std::optional<long long> minDuration;
    std::optional<long long> maxDuration;
    std::optional<long long> maxProductValue;
};

inline constexpr double answerCutOff = 1e9;

// The three answers as the variants window writes them, each "nu exista" when there is none:
// "1250 RON", "12 - 60 luni", "24504 RON".
struct AnswerTexts {
    std::string minDownPayment, durations, maxProductValue;
};
AnswerTexts answerTexts(const Answers& a);

Answers whatWouldPass(WhatIf& whatIf, const ui::Form1& form);

// The credit values at which the rate grid or the management-commission bands change, in
// increasing order: between two of them (and beyond the last) both are constant.
std::vector<double> creditEdges(const core::SimulationState& s);

} // namespace offer
