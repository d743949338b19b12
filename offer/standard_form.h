#pragma once

#include "offer/legal.h"
#include "offer/offer_text.h"
#include "ui/form1.h"
#include "ui/shop.h"

#include <optional>
#include <string>
#include <vector>

// The standard information form handed to the customer before a credit is signed: every heading,
// sentence and figure as text, so the printed form and its tests read the same strings.
namespace offer {

// One part of the form: its heading, then label and value rows, then sentences.
struct FormSection {
    std::string heading;
    std::vector<Line> lines;
    std::vector<std::string> sentences;
};

struct StandardForm {
    bool valid = false;
    std::string reason;                // why no form may be issued
    std::string title;                 // the form's name, at the top of page 1
    std::string creditor;              // the lender's name, in the running head
    std::vector<FormSection> sections; // the essentials, then the four numbered sections
    std::vector<Line> closing;         // the date of issue, the tariff
    std::string acknowledgement;       // the sentence above the customer's lines
};

inline constexpr const char* standardFormTitle =
    "Informații standard la nivel european privind creditul pentru consumatori";
inline constexpr const char* essentialsHeading = "Informații esențiale";
inline constexpr const char* creditorHeading =
    "1. Identitatea și datele de contact ale creditorului / intermediarului de credit";
inline constexpr const char* featuresHeading =
    "2. Descrierea principalelor caracteristici ale produsului de creditare";
inline constexpr const char* costsHeading = "3. Costurile creditului";
inline constexpr const char* legalHeading = "4. Alte aspecte juridice importante";

// The form for the simulation the window shows now, issued at `issued` ("08.12.2026 14:30"),
// with the shop as credit intermediary when its details are set.
StandardForm standardForm(const ui::Form1& form, const std::optional<ui::Shop>& shop,
                          const std::string& issued);

// The legal figures under the schedule window's table, for the agent: one line of figures (the
// total credit, the total cost, the payable total, the legal DAE, the cost per day, the payable
// ratio), then one line per breached limit in plain words ("Depaseste limita legala: DAE maxima
// IFN: 45.04 % > 34.50 %"). Empty when the offer is not valid.
std::string legalSummary(const ui::Form1& form);

// Why no document (the offer, the schedule export, the form) may be handed to the customer for
// the simulation the window shows now, or empty when one may.
// A breached limit is named with its figure (the documents' gate).
std::string documentRefusal(const ui::Form1& form);

// Why the form may not be issued for the simulation the window shows now, or empty when it may.
std::string standardFormRefusal(const ui::Form1& form);

} // namespace offer
