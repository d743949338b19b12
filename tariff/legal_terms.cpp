#include "tariff/legal_terms.h"
#include "runtime/json_text.h"

namespace tariff {
namespace {

constexpr std::size_t maxLimits = 16;
constexpr std::size_t maxLimitName = 80;
constexpr double maxEarlyShare = 0.01;
constexpr double maxValidDays = 90;

// A text the form sets on a line of its own: a control character would print as nothing, or
// break the line, so it is refused like in an insurance item's name.
std::optional<std::string> line(Checker& c, const json* obj, const std::string& at, const char* key,
                                std::size_t maxChars, bool required = true) {
    auto s = c.text(obj, at, key, 1, maxChars, required);
    if (s && hasControlCharacter(*s)) {
        c.fail(at + "/" + key, "must not contain control characters");
        return std::nullopt;
    }
    return s;
}

void checkCreditor(Checker& c, const json& v, Terms& t) {
    const std::string at = "/creditor";
    const json* obj =
        c.object(v, at, {"name", "kind", "address", "phone", "email", "web", "registry"});
    Creditor creditor;
    take(creditor.name, line(c, obj, at, "name", 120));
    if (const json* kind = c.member(obj, at, "kind")) {
        if (kind->is_string() && kind->get_ref<const std::string&>() == "ifn") {
            creditor.kind = Creditor::Kind::ifn;
        } else if (kind->is_string() && kind->get_ref<const std::string&>() == "banca") {
            creditor.kind = Creditor::Kind::banca;
        } else {
            c.fail(at + "/kind", "must be \"ifn\" or \"banca\"");
        }
    }
    take(creditor.address, line(c, obj, at, "address", 200));
    creditor.phone = line(c, obj, at, "phone", 120, false);
    creditor.email = line(c, obj, at, "email", 120, false);
    creditor.web = line(c, obj, at, "web", 120, false);
    creditor.registry = line(c, obj, at, "registry", 60, false);
    t.creditor = std::move(creditor);
}

// A share of the amount repaid early: from 0 to 1 %, both included.
std::optional<double> earlyShare(Checker& c, const json* obj, const std::string& at,
                                 const char* key) {
    const std::optional<double> x = c.amount(obj, at, key, false);
    if (x && *x > maxEarlyShare) {
        c.fail(at + "/" + key, "must not be above 0.01 (got " + runtime::jsonNumber(*x) + ")");
        return std::nullopt;
    }
    return x;
}

void checkEarlyRepayment(Checker& c, const json& v, Terms& t) {
    const std::string at = "/early_repayment";
    const json* obj =
        c.object(v, at, {"compensation", "compensation_last_year", "granting_commission_refund"});
    EarlyRepayment early;
    take(early.compensation, earlyShare(c, obj, at, "compensation"));
    take(early.compensation_last_year, earlyShare(c, obj, at, "compensation_last_year"));
    if (const json* refund = c.member(obj, at, "granting_commission_refund", false)) {
        if (refund->is_string() && refund->get_ref<const std::string&>() == "linear") {
            early.granting_commission_refund = EarlyRepayment::Refund::linear;
        } else if (refund->is_string() && refund->get_ref<const std::string&>() == "none") {
            early.granting_commission_refund = EarlyRepayment::Refund::none;
        } else {
            c.fail(at + "/granting_commission_refund", "must be \"linear\" or \"none\"");
        }
    }
    t.early_repayment = early;
}

void checkValidDays(Checker& c, const json& root, Terms& t) {
    const std::optional<double> days =
        c.number(c.member(&root, "", "information_valid_days", false), "/information_valid_days");
    if (!days) {
        return;
    }
    if (*days != std::floor(*days) || *days < 1 || *days > maxValidDays) {
        c.fail("/information_valid_days",
               "must be a whole number from 1 to 90 (got " + runtime::jsonNumber(*days) + ")");
        return;
    }
    t.information_valid_days = static_cast<int>(*days);
}

struct MeasureKey {
    const char* key;
    LegalLimit::Measure measure;
    double least; // the smallest value the measure may take
};

constexpr MeasureKey measureKeys[] = {
    {"dae_max", LegalLimit::Measure::dae, 0},
    {"daily_cost_max", LegalLimit::Measure::daily_cost, 0},
    // Below 1 even the credit itself would breach it.
    {"payable_ratio_max", LegalLimit::Measure::payable_ratio, 1},
};

LegalLimit checkLimit(Checker& c, const json& v, const std::string& at) {
    const json* obj = c.object(
        v, at,
        {"name", "credit_min", "credit_max", "dae_max", "daily_cost_max", "payable_ratio_max"});
    LegalLimit limit;
    take(limit.name, line(c, obj, at, "name", maxLimitName));
    limit.credit_min = c.amount(obj, at, "credit_min", false);
    limit.credit_max = c.amount(obj, at, "credit_max", false);
    c.ordered(limit.credit_min, limit.credit_max, at, "credit_min", "credit_max");
    int measures = 0;
    for (const MeasureKey& m : measureKeys) {
        const json* value = c.member(obj, at, m.key, false);
        if (value == nullptr) {
            continue;
        }
        ++measures;
        const std::string where = at + "/" + m.key;
        const std::optional<double> x = c.number(value, where);
        if (x && *x < m.least) {
            c.fail(where, (m.least == 0 ? std::string("must not be negative")
                                        : "must be at least " + runtime::jsonNumber(m.least)) +
                              " (got " + runtime::jsonNumber(*x) + ")");
        } else if (x) {
            limit.measure = m.measure;
            limit.max = *x;
        }
    }
    if (obj != nullptr && measures != 1) {
        c.fail(at, "must hold exactly one of dae_max, daily_cost_max and payable_ratio_max (got " +
                       std::to_string(measures) + ")");
    }
    return limit;
}

void checkLimits(Checker& c, const json& v, Terms& t) {
    const std::string at = "/legal_limits";
    const json* limits = c.array(&v, at);
    if (limits == nullptr) {
        return;
    }
    if (limits->size() > maxLimits) {
        c.fail(at, "must hold at most 16 limits (got " + std::to_string(limits->size()) + ")");
    }
    for (std::size_t i = 0; i < limits->size(); ++i) {
        t.legal_limits.push_back(checkLimit(c, (*limits)[i], at + "/" + std::to_string(i)));
    }
}

} // namespace

void checkLegalTerms(Checker& c, const json& root, Terms& t) {
    if (const json* creditor = c.member(&root, "", "creditor", false)) {
        checkCreditor(c, *creditor, t);
    }
    t.late_payment = line(c, &root, "", "late_payment", 400, false);
    if (const json* early = c.member(&root, "", "early_repayment", false)) {
        checkEarlyRepayment(c, *early, t);
    }
    checkValidDays(c, root, t);
    if (const json* limits = c.member(&root, "", "legal_limits", false)) {
        checkLimits(c, *limits, t);
    }
}

} // namespace tariff
