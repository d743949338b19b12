#pragma once

#include "offer/what_if.h"

#include <array>
#include <string>
#include <vector>

namespace offer {

// The durations every customer is shown side by side, in months.
inline constexpr std::array<int, 11> listedDurations = {6, 9, 12, 18, 24, 30, 36, 42, 48, 54, 60};

// The form as it would stand with one duration typed into `tbdurcred`.
struct DurationRow {
    double duration = 0;
    std::string text; // the text set: "24", or the form's own duration written as a number
    bool current = false;
    Verdict verdict = Verdict::accepted;
    // What the copy shows: texts of tbdob, lbrata, lbdobaferenta, lbdae, bnr, tbsumacc, and the
    // error panel's text when it is shown.
    std::string tbdob, lbrata, lbdobaferenta, lbdae, bnr, tbsumacc, limitText;
    std::string legalLimit; // over a legal limit: the first one breached, by its name
    // Its figures: annual rate, instalment, effective annual rate.
    double dobanda = 0, rataluna = 0, daeval = 0;
};

// The verdict as the variants window says it: "Acceptat", "Refuzat - indatorare", "Nicio oferta
// posibila", the error panel's texts without their figures, "Peste limita legala: " and the
// limit's name, or "Eroare de calcul".
std::string verdictText(const DurationRow& row);

// One row per listed duration and, when the form's duration is finite and not listed, one for
// it (the text number-to-text writes); in increasing duration. `current` marks the row whose
// duration equals the form's. `whatIf` must be of the form the rows are for.
std::vector<DurationRow> durationRows(WhatIf& whatIf, const ui::Form1& form);

} // namespace offer
