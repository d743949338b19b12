#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The lender's tariff: every product parameter of the simulation (limits, commissions, insurance
// options, the interest-rate grid, the indebtedness limit). Built in, or read from a file and
// checked; once made, a tariff never changes.
namespace tariff {

using Rate = double;
using Amount = double;
using Months = double;

struct Lender {
    std::string title = "Simulator Credit Omnira"; // the window's caption
    std::string heading = "CREDIT OMNIRA";         // the caption of Label1

    bool operator==(const Lender&) const = default;
};

struct CreditLimits {
    Amount ceiling = 0; // plafoncredit: the largest credit value
    Amount minimum = 0; // creditmin

    bool operator==(const CreditLimits&) const = default;
};

struct DurationLimits {
    Months minimum = 0;     // durmin
    Months maximum = 0;     // durmax
    Months guard = 0;       // a typed duration above it is refused with the message box
    Months after_guard = 0; // what the duration box and the state then take instead

    bool operator==(const DurationLimits&) const = default;
};

struct GrantingCommission {
    Rate rate = 0;      // comacord
    Amount minimum = 0; // comacordmin

    bool operator==(const GrantingCommission&) const = default;
};

struct InsuranceOption {
    std::string name;
    Rate monthly_rate = 0;

    bool operator==(const InsuranceOption&) const = default;
};

// Monthly management-commission rates of the two payment methods.
struct ManagementRates {
    Rate direct_debit = 0; // comgestdd
    Rate cash = 0;         // comgestnum

    bool operator==(const ManagementRates&) const = default;
};

// A band holds when both the credit value and the duration lie within its bounds, inclusive.
struct CommissionBand {
    Amount credit_min = 0;
    Amount credit_max = 0;
    Months duration_min = 0;
    Months duration_max = 0;
    ManagementRates rates;

    bool holds(Amount credit, Months duration) const {
        return credit >= credit_min && credit <= credit_max && duration >= duration_min &&
               duration <= duration_max;
    }

    bool operator==(const CommissionBand&) const = default;
};

struct ManagementCommission {
    ManagementRates initial; // the start-up rates
    std::vector<CommissionBand> bands;

    bool operator==(const ManagementCommission&) const = default;
};

// A rule of the interest-rate grid: a bound left out does not apply. The duration bounds and
// credit_min/credit_max are inclusive, credit_above/credit_below exclusive.
struct InterestRule {
    std::optional<Months> duration_min = std::nullopt;
    std::optional<Months> duration_max = std::nullopt;
    std::optional<Amount> credit_min = std::nullopt;
    std::optional<Amount> credit_above = std::nullopt;
    std::optional<Amount> credit_max = std::nullopt;
    std::optional<Amount> credit_below = std::nullopt;
    Rate rate = 0;

    bool holds(Months duration, Amount credit) const {
        return (!duration_min || duration >= *duration_min) &&
               (!duration_max || duration <= *duration_max) &&
               (!credit_min || credit >= *credit_min) &&
               (!credit_above || credit > *credit_above) &&
               (!credit_max || credit <= *credit_max) && (!credit_below || credit < *credit_below);
    }

    bool operator==(const InterestRule&) const = default;
};

// The tariff's contents, as written in a file.
struct Terms {
    std::string name;
    std::optional<std::string> valid_from; // an ISO date, YYYY-MM-DD
    Lender lender;
    CreditLimits credit;
    DurationLimits duration;
    GrantingCommission granting_commission;
    std::vector<InsuranceOption> insurance;
    ManagementCommission management_commission;
    std::vector<InterestRule> interest;
    Rate indebtedness_limit = 0; // the share of the income left after other debts that all
                                 // instalments may take

    bool operator==(const Terms&) const = default;
};

// Terms that passed every check, and only those: made by builtIn() or by the reader.
class Tariff {
public:
    const Terms& terms() const { return terms_; }
    const Terms* operator->() const { return &terms_; }

    // The name, and the date it is valid from when there is one: "Tarif standard (2026-12-01)".
    std::string label() const;

private:
    explicit Tariff(Terms terms) : terms_(std::move(terms)) {}
    friend const Tariff& builtIn();
    friend class Reader;

    Terms terms_;
};

// The tariff the form has always used.
const Tariff& builtIn();

} // namespace tariff
