#pragma once

#include "offer/schedule_offer.h"
#include "ui/form1.h"

#include <optional>
#include <string>
#include <vector>

// Repaying a credit early, whole or in part, after some instalments were paid: what the customer
// pays that day, the compensation the lender may ask, the refund of the granting commission, the
// months that follow a partial repayment and what the customer saves. Computed from the offer's
// schedule, so every front end shows the same figures.
namespace offer {

// The lender's early-repayment terms; the defaults are those used when the tariff says nothing.
struct EarlyTerms {
    double compensation = 0.01;           // share of the amount repaid, more than a year left
    double compensationLastYear = 0.005;  // share when at most twelve months are left
    bool refundGrantingCommission = true; // the unused months' part of the granting commission
};

// The early-repayment terms of the tariff the form runs on.
EarlyTerms earlyTerms(const ui::Form1& form);

enum class EarlyMode {
    total,  // the whole balance
    rata,   // a part; the same term with a lower instalment
    durata, // a part; the same instalment over a shorter term
};

struct EarlyRequest {
    long long month = 0; // instalments paid before the repayment
    EarlyMode mode = EarlyMode::total;
    double amount = 0; // for a part: the amount repaid; ignored for the whole balance
};

struct Early {
    bool valid = false;
    std::string reason; // when not valid: one sentence for the agent
    double balance = 0; // after the month's instalment
    double amount = 0;  // repaid early
    double compensationRate = 0;
    double compensation = 0;      // the rate times the amount, at most the interest left
    double interestLeft = 0;      // interest of the remaining months, in proportion to the amount
    double refund = 0;            // of the granting commission
    double payToday = 0;          // amount + compensation - refund
    double instalment = 0;        // of the months after (the first one when the term shortens)
    std::vector<MonthRow> months; // after a partial repayment, numbered from 1
    double futureTotal = 0;       // every instalment of the months after
    double saving = 0;            // the instalments no longer due less what is paid instead
};

// The figures for `request` against a valid offer; a reason instead when the offer is not valid,
// the month leaves no instalment to repay or the amount is not above 0 and below the balance.
Early earlyRepayment(const ScheduleOffer& offer, const core::SimulationState& state,
                     const EarlyTerms& terms, const EarlyRequest& request);

// The same, from the form's current offer and tariff.
Early earlyRepayment(const ui::Form1& form, const EarlyRequest& request);

} // namespace offer
