#include "offer/legal_json.h"

#include "offer/snapshot_json.h"

namespace offer {
namespace {

std::string number(const std::optional<double>& x) {
    return x ? jsonNumber(*x) : std::string("null");
}

std::string textOrNull(bool present, const std::string& s) {
    return present ? jsonString(s) : std::string("null");
}

} // namespace

std::string_view measureName(tariff::LegalLimit::Measure m) {
    switch (m) {
    case tariff::LegalLimit::Measure::dae:
        return "dae";
    case tariff::LegalLimit::Measure::daily_cost:
        return "daily_cost";
    case tariff::LegalLimit::Measure::payable_ratio:
        break;
    }
    return "payable_ratio";
}

std::string legalJson(const LegalFigures& f) {
    std::string out = "{\"legal\":{\"valid\":";
    out += f.valid ? "true" : "false";
    out += ",\"reason\":" + textOrNull(!f.valid, f.reason);
    out += ",\"total_credit\":" + number(f.totalCredit);
    out += ",\"granting_commission\":" + number(f.grantingCommission);
    out += ",\"total_cost\":" + number(f.totalCost);
    out += ",\"payable\":" + number(f.payable);
    out += ",\"payments\":" + number(f.payments);
    out += ",\"compulsory_insurance\":";
    out += f.compulsoryInsurance ? "true" : "false";
    out += ",\"dae\":" + number(f.dae);
    out += ",\"dae_reason\":" + textOrNull(!f.dae, f.daeReason);
    out += ",\"daily_cost\":" + number(f.dailyCost);
    out += ",\"payable_ratio\":" + number(f.payableRatio);
    out += ",\"breaches\":[";
    for (std::size_t i = 0; i < f.breaches.size(); ++i) {
        const LimitBreach& b = f.breaches[i];
        out += i > 0 ? ",{\"name\":" : "{\"name\":";
        out += jsonString(b.name);
        out += ",\"measure\":\"";
        out += measureName(b.measure);
        out += "\",\"limit\":" + jsonNumber(b.limit);
        out += ",\"value\":" + number(b.value) + '}';
    }
    out += "],\"creditor\":";
    out += f.creditor ? "true" : "false";
    out += "}}";
    return out;
}

std::string legalJson(const ui::Form1& form) {
    return legalJson(legalFigures(form));
}

} // namespace offer
