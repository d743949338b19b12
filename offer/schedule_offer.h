#pragma once

#include "schedule/dae_exact.h"
#include "ui/form1.h"

#include <optional>
#include <string>
#include <vector>

// What the customer is offered: the schedule of the simulation the window shows, read from the
// window and never written to it. The window's views and the batch tool show this same result.
namespace offer {

struct MonthRow {
    int month = 0;
    double instalment = 0; // rataluna, the same every month
    double interest = 0;
    double commission = 0; // management commission
    double insurance = 0;
    double principal = 0;
    double balance = 0; // after the month's payment
};

// The sums of each column, added in month order.
struct Totals {
    double instalment = 0;
    double interest = 0;
    double commission = 0;
    double insurance = 0;
    double principal = 0;
};

struct ScheduleOffer {
    bool valid = false;
    std::string reason; // when not valid: one sentence saying why, in the window's language
    std::vector<MonthRow> months;
    std::optional<Totals> totals;
    double dae = 0;                 // daeval, the effective rate as the window computed it
    std::optional<double> daeExact; // the exact effective rate, when the flows balance at one
    std::string daeExactReason;     // when there is no exact rate: why
};

// The schedule behind the window's figures, months 1 to the duration, when an offer may be made:
// the last recalculation completed, neither the error nor the indebtedness panel shown, no
// refusal, a financed amount above 0 and not below the product's smallest credit, a rule of the
// rate grid that holds for the credit value and the duration, an instalment above 0, a whole
// number of months, and every figure used finite.
ScheduleOffer scheduleOffer(const ui::Form1& form);

// Why no offer may be made for the form as it stands (the first condition above it fails), or
// nothing: the check of scheduleOffer without building the schedule.
std::optional<std::string> noOfferReason(const ui::Form1& form);

// Why the exact effective rate is missing, as one sentence for the agent.
std::string daeExactFailureText(schedule::DaeExactFailure failure);

} // namespace offer
