#pragma once

#include "offer/schedule_offer.h"
#include "ui/form1.h"

#include <array>
#include <string>
#include <vector>

// The offer as the agent and the customer read it: every label and figure as text, written
// once here so that the schedule window, the printed offer and the export show the same strings.
namespace offer {

struct Line {
    std::string label;
    std::string value;
};

inline constexpr std::size_t columnCount = 7;
using Row = std::array<std::string, columnCount>;

struct OfferText {
    std::string program;  // the window's caption: who makes the offer
    std::string subtitle; // a line under the title (the tariff the figures come from), or empty
    bool valid = false;
    std::string reason;           // when not valid
    std::vector<Line> inputs;     // what the credit is: product value ... payment method
    std::vector<Line> keyFigures; // instalment ... exact DAE
    // The key figures a document handed to the customer shows: one DAE, the legal one.
    std::vector<Line> documentFigures;
    Row header;            // the schedule's column names
    std::vector<Row> rows; // one per month, in cents (each column adds up to its total)
    Row totals;            // "Total" and the column sums (no balance)
    int months = 0;
    double financed = 0; // for file names: the financed amount and the duration
};

// The texts of the offer for the simulation the window shows now.
OfferText offerText(const ui::Form1& form);
OfferText offerText(const ui::Form1& form, const ScheduleOffer& schedule);

// The schedule as CSV (RFC 4180, CRLF line ends, '.' decimals): the header row, one row per
// month, the totals row last. Empty when no offer may be made.
std::string scheduleCsv(const OfferText& text);

// An amount as the window writes amounts: two decimals, '.' separator; noValue when it is not
// a finite number.
std::string amount(double value);
// A rate (0.4504) as the window writes its DAE: "45.04 %"; noValue when not finite.
std::string percent(double rate);

// The DAE a document shows: the legal one, rounded half up to two decimals ("45.04 %").
std::string legalPercent(double rate);

// Shown for a figure that has no value.
inline constexpr const char* noValue = "\xE2\x80\x94"; // an em dash

// The title of the offer, the schedule window and the document.
inline constexpr const char* scheduleTitle = "Grafic de rambursare";
inline constexpr const char* offerTitle = "Oferta de credit";
inline constexpr const char* informationNote =
    "Aceasta este o simulare cu caracter informativ. Ea nu reprezinta o oferta ferma si nici un "
    "contract de credit.";

} // namespace offer
