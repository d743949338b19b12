#pragma once

#include "offer/early.h"
#include "offer/offer_text.h"
#include "ui/form1.h"

#include <string>
#include <string_view>
#include <vector>

// Early repayment as the agent reads it out: every figure as text, the three answers the
// customer asks for in plain words, and the months after in cents, each column adding up.
namespace offer {

struct EarlyText {
    bool valid = false;
    std::string reason;        // when not valid
    int lastMonth = 0;         // the last month a repayment may follow; 0 without an offer
    std::vector<Line> figures; // balance ... saving
    std::string payToday;      // what the customer pays today, and what it holds
    std::string saving;        // what they save against paying every instalment left
    std::string compensation;  // the compensation, its rate and its legal cap
    std::string after;         // what follows: nothing, lower instalments, fewer months
    Row header;                // the months after: the schedule's columns
    std::vector<Row> rows;     // empty for a whole repayment
    Row totals;                // "Total" and the column sums in cents (no balance)
};

EarlyText earlyText(const ui::Form1& form, const EarlyRequest& request);

// An amount as an agent types it: digits with at most one decimal point or comma (either is
// taken as the separator), blanks around it ignored. Empty when it is not such a number.
std::optional<double> readAmount(std::string_view text);

inline constexpr const char* earlyTitle = "Rambursare anticipata";

} // namespace offer
