#include "offer/legal_json.h"

#include "runtime/json_text.h"

namespace offer {

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
    runtime::JsonArray breaches;
    for (const LimitBreach& b : f.breaches) {
        breaches.raw(runtime::JsonObject()
                         .text("name", b.name)
                         .text("measure", measureName(b.measure))
                         .number("limit", b.limit)
                         .numberOrNull("value", b.value)
                         .str());
    }
    const std::string legal = runtime::JsonObject()
                                  .boolean("valid", f.valid)
                                  .textIf("reason", !f.valid, f.reason)
                                  .numberOrNull("total_credit", f.totalCredit)
                                  .numberOrNull("granting_commission", f.grantingCommission)
                                  .numberOrNull("total_cost", f.totalCost)
                                  .numberOrNull("payable", f.payable)
                                  .numberOrNull("payments", f.payments)
                                  .boolean("compulsory_insurance", f.compulsoryInsurance)
                                  .numberOrNull("dae", f.dae)
                                  .textIf("dae_reason", !f.dae, f.daeReason)
                                  .numberOrNull("daily_cost", f.dailyCost)
                                  .numberOrNull("payable_ratio", f.payableRatio)
                                  .raw("breaches", breaches.str())
                                  .boolean("creditor", f.creditor)
                                  .str();
    return runtime::JsonObject().raw("legal", legal).str();
}

std::string legalJson(const ui::Form1& form) {
    return legalJson(legalFigures(form));
}

} // namespace offer
