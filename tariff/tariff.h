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

// A file that leaves the lender out takes the built-in tariff's.
struct Lender {
    std::string title;   // the window's caption
    std::string heading; // the caption of Label1

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
    bool compulsory = false; // the credit is granted only with it: its cost counts in the DAE

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

// Who lends, as the standard information form names it.
struct Creditor {
    enum class Kind { ifn, banca }; // a non-bank lender or a bank

    std::string name;
    Kind kind = Kind::ifn;
    std::string address;
    std::optional<std::string> phone = std::nullopt;
    std::optional<std::string> email = std::nullopt;
    std::optional<std::string> web = std::nullopt;
    std::optional<std::string> registry = std::nullopt; // the lender's entry in the register

    bool operator==(const Creditor&) const = default;
};

// What a customer owes for repaying early, as shares of the amount repaid early, and whether the
// granting commission of the months no longer run is given back.
struct EarlyRepayment {
    enum class Refund { linear, none };

    Rate compensation = 0.01;
    Rate compensation_last_year = 0.005; // when at most a year of the contract is left
    Refund granting_commission_refund = Refund::linear;

    bool operator==(const EarlyRepayment&) const = default;
};

// A legal ceiling on what a credit costs, for credits whose total credit lies within the bounds
// (inclusive; a bound left out does not apply).
struct LegalLimit {
    enum class Measure { dae, daily_cost, payable_ratio };

    std::string name;
    std::optional<Amount> credit_min = std::nullopt;
    std::optional<Amount> credit_max = std::nullopt;
    Measure measure = Measure::dae;
    double max = 0; // dae_max, daily_cost_max or payable_ratio_max, after the measure

    bool applies(Amount totalCredit) const {
        return (!credit_min || totalCredit >= *credit_min) &&
               (!credit_max || totalCredit <= *credit_max);
    }

    bool operator==(const LegalLimit&) const = default;
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

    // The law's part; a tariff without any of it is written as the first version of the file.
    std::optional<Creditor> creditor = std::nullopt;
    std::optional<std::string> late_payment = std::nullopt; // the form prints it as it stands
    std::optional<EarlyRepayment> early_repayment = std::nullopt;
    std::optional<int> information_valid_days = std::nullopt;
    std::vector<LegalLimit> legal_limits = {};

    // The early-repayment terms in force: the block's, else the usual shares.
    EarlyRepayment earlyRepayment() const { return early_repayment.value_or(EarlyRepayment{}); }

    // Whether any part of the law's blocks is present, so the file needs its second version.
    bool hasLegalTerms() const;

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
