#pragma once

#include "offer/schedule_offer.h"

#include <optional>
#include <string>
#include <vector>

// The schedule the customer pays, in whole cents: what the documents print. The form and the
// batch tool keep the unrounded figures; on paper every column must add up to its total.
namespace offer {

using Cents = long long;

struct CentRow {
    int month = 0;
    Cents instalment = 0;
    Cents interest = 0;
    Cents commission = 0;
    Cents insurance = 0;
    Cents principal = 0;
    Cents balance = 0; // after the month's payment
};

struct CentTotals {
    Cents instalment = 0;
    Cents interest = 0;
    Cents commission = 0;
    Cents insurance = 0;
    Cents principal = 0;
};

struct CentSchedule {
    Cents credit = 0; // the credit value: the principal repaid over the months
    std::vector<CentRow> months;
    CentTotals totals; // each the sum of its column's rows
};

// Interest, commission and insurance of each month rounded to the cent, half away from zero (as
// the window rounds the figures it shows); the instalment the same every month but the last,
// which pays what is still due, so that the principal repays the credit value to the cent. The
// principal of a month is what its instalment leaves after the other three. Empty when the
// schedule is not valid or an amount is beyond what cents can count.
std::optional<CentSchedule> centSchedule(const ScheduleOffer& schedule, double creditValue);

// An amount to the cent, rounded as above; empty when not finite or beyond 10^13.
std::optional<Cents> toCents(double value);

// "1234.56", "-0.05": two decimals, '.' separator, never an exponent.
std::string centsText(Cents value);

} // namespace offer
