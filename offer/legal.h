#pragma once

#include "offer/schedule_offer.h"
#include "tariff/tariff.h"
#include "ui/form1.h"

#include <optional>
#include <string>
#include <vector>

// The figures the law asks of a credit (the total credit, the total cost, the payable total, the
// legal DAE, the cost per day, the payable ratio) and the lender's legal limits they breach.
namespace offer {

// A legal limit of the tariff the credit breaches, and the figure that breaches it (none when the
// credit has no legal DAE, which no DAE ceiling can vouch for).
struct LimitBreach {
    std::string name;
    tariff::LegalLimit::Measure measure = tariff::LegalLimit::Measure::dae;
    double limit = 0;
    std::optional<double> value;
};

struct LegalFigures {
    bool valid = false;
    std::string reason; // when not valid: the schedule's reason
    // Every figure below is present exactly when the offer is valid.
    std::optional<double> totalCredit;        // T: the product value less the down payment
    std::optional<double> grantingCommission; // G: financed into the credit value
    std::optional<double> totalCost;          // C: interest, commissions, compulsory insurance
    std::optional<double> payable;            // P = T + C
    std::optional<double> payments;           // every instalment, optional insurance included
    bool compulsoryInsurance = false;         // the insurance item chosen is one the tariff imposes
    std::optional<double> dae;          // the legal DAE; none when the flows have no single rate
    std::string daeReason;              // when there is no legal DAE: why
    std::optional<double> dailyCost;    // C / T per day, months of 365/12 days
    std::optional<double> payableRatio; // P / T
    std::vector<LimitBreach> breaches;  // in the tariff's order
    bool creditor = false;              // the tariff names its creditor
};

// The legal figures of the offer `schedule` made from `form`.
LegalFigures legalFigures(const ui::Form1& form, const ScheduleOffer& schedule);
LegalFigures legalFigures(const ui::Form1& form);

// The tariff's insurance item chosen by position is one the credit is granted only with; a
// typed text that is no item's is not.
bool compulsoryInsuranceChosen(const ui::Form1& form);

// The name of the first legal limit the form's offer breaches, when it is valid and breaches
// one: what the variants' "over_limit" verdict names.
std::optional<std::string> firstBreachedLimit(const ui::Form1& form);

} // namespace offer
