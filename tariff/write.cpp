#include "tariff/write.h"

#include "runtime/json_text.h"
#include "tariff/text.h"

#include <initializer_list>
#include <utility>

namespace tariff {
namespace {

std::string str(std::string_view s) {
    return runtime::jsonString(s);
}

std::string num(double x) {
    return runtime::jsonNumber(x);
}

// {"key": value, ...} on one line, the optional entries left out.
std::string line(std::initializer_list<std::pair<const char*, std::optional<std::string>>> items) {
    std::string out = "{";
    for (const auto& [key, value] : items) {
        if (!value) {
            continue;
        }
        out += (out.size() > 1 ? ", \"" : "\"") + std::string(key) + "\": " + *value;
    }
    return out + "}";
}

std::optional<std::string> opt(const std::optional<double>& x) {
    return x ? std::optional<std::string>(num(*x)) : std::nullopt;
}

std::string list(const std::vector<std::string>& lines, const std::string& indent) {
    if (lines.empty()) {
        return "[]";
    }
    std::string out = "[\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += indent + "  " + lines[i] + (i + 1 < lines.size() ? ",\n" : "\n");
    }
    return out + indent + "]";
}

std::optional<std::string> optStr(const std::optional<std::string>& s) {
    return s ? std::optional<std::string>(str(*s)) : std::nullopt;
}

const char* measureKey(LegalLimit::Measure m) {
    switch (m) {
    case LegalLimit::Measure::dae:
        return "dae_max";
    case LegalLimit::Measure::daily_cost:
        return "daily_cost_max";
    case LegalLimit::Measure::payable_ratio:
        break;
    }
    return "payable_ratio_max";
}

// The law's blocks after the product's, each on its lines; nothing for a first-version tariff.
std::string legalBlocks(const Terms& t) {
    std::string out;
    if (t.creditor) {
        const Creditor& c = *t.creditor;
        out += ",\n  \"creditor\": " +
               line({{"name", str(c.name)},
                     {"kind", str(c.kind == Creditor::Kind::banca ? "banca" : "ifn")},
                     {"address", str(c.address)},
                     {"phone", optStr(c.phone)},
                     {"email", optStr(c.email)},
                     {"web", optStr(c.web)},
                     {"registry", optStr(c.registry)}});
    }
    if (t.late_payment) {
        out += ",\n  \"late_payment\": " + str(*t.late_payment);
    }
    if (t.early_repayment) {
        const EarlyRepayment& e = *t.early_repayment;
        const bool linear = e.granting_commission_refund == EarlyRepayment::Refund::linear;
        out += ",\n  \"early_repayment\": " +
               line({{"compensation", num(e.compensation)},
                     {"compensation_last_year", num(e.compensation_last_year)},
                     {"granting_commission_refund", str(linear ? "linear" : "none")}});
    }
    if (t.information_valid_days) {
        out += ",\n  \"information_valid_days\": " + std::to_string(*t.information_valid_days);
    }
    if (!t.legal_limits.empty()) {
        std::vector<std::string> limits;
        for (const LegalLimit& l : t.legal_limits) {
            limits.push_back(line({{"name", str(l.name)},
                                   {"credit_min", opt(l.credit_min)},
                                   {"credit_max", opt(l.credit_max)},
                                   {measureKey(l.measure), num(l.max)}}));
        }
        out += ",\n  \"legal_limits\": " + list(limits, "  ");
    }
    return out;
}

} // namespace

std::string write(const Tariff& tariff) {
    const Terms& t = tariff.terms();
    std::vector<std::string> insurance;
    for (const InsuranceOption& o : t.insurance) {
        // Only a compulsory item says so, so that a first-version tariff is written as it was.
        insurance.push_back(line(
            {{"name", str(o.name)},
             {"monthly_rate", num(o.monthly_rate)},
             {"compulsory", o.compulsory ? std::optional<std::string>("true") : std::nullopt}}));
    }
    std::vector<std::string> bands;
    for (const CommissionBand& b : t.management_commission.bands) {
        bands.push_back(line({{"credit_min", num(b.credit_min)},
                              {"credit_max", num(b.credit_max)},
                              {"duration_min", num(b.duration_min)},
                              {"duration_max", num(b.duration_max)},
                              {"direct_debit", num(b.rates.direct_debit)},
                              {"cash", num(b.rates.cash)}}));
    }
    std::vector<std::string> rules;
    for (const InterestRule& r : t.interest) {
        rules.push_back(line({{"duration_min", opt(r.duration_min)},
                              {"duration_max", opt(r.duration_max)},
                              {"credit_min", opt(r.credit_min)},
                              {"credit_above", opt(r.credit_above)},
                              {"credit_max", opt(r.credit_max)},
                              {"credit_below", opt(r.credit_below)},
                              {"rate", num(r.rate)}}));
    }
    const ManagementRates& initial = t.management_commission.initial;

    std::string out = "{\n";
    out += "  \"format\": " + str(formatName) + ",\n";
    out += t.hasLegalTerms() ? "  \"version\": 2,\n" : "  \"version\": 1,\n";
    out += "  \"name\": " + str(t.name) + ",\n";
    if (t.valid_from) {
        out += "  \"valid_from\": " + str(*t.valid_from) + ",\n";
    }
    out += "  \"lender\": " +
           line({{"title", str(t.lender.title)}, {"heading", str(t.lender.heading)}}) + ",\n";
    out += "  \"credit\": " +
           line({{"ceiling", num(t.credit.ceiling)}, {"minimum", num(t.credit.minimum)}}) + ",\n";
    out += "  \"duration\": " +
           line({{"minimum", num(t.duration.minimum)},
                 {"maximum", num(t.duration.maximum)},
                 {"guard", num(t.duration.guard)},
                 {"after_guard", num(t.duration.after_guard)}}) +
           ",\n";
    out += "  \"granting_commission\": " +
           line({{"rate", num(t.granting_commission.rate)},
                 {"minimum", num(t.granting_commission.minimum)}}) +
           ",\n";
    out += "  \"insurance\": " + list(insurance, "  ") + ",\n";
    out += "  \"management_commission\": {\n";
    out += "    \"initial\": " +
           line({{"direct_debit", num(initial.direct_debit)}, {"cash", num(initial.cash)}}) + ",\n";
    out += "    \"bands\": " + list(bands, "    ") + "\n";
    out += "  },\n";
    out += "  \"interest\": " + list(rules, "  ") + ",\n";
    out += "  \"indebtedness_limit\": " + num(t.indebtedness_limit) + legalBlocks(t) + "\n";
    out += "}\n";
    return out;
}

} // namespace tariff
