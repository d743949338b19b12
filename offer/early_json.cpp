#include "offer/early_json.h"

#include "offer/schedule_json.h"
#include "runtime/json_text.h"

namespace offer {

const char* earlyModeName(EarlyMode mode) {
    switch (mode) {
    case EarlyMode::total:
        return "total";
    case EarlyMode::rata:
        return "rata";
    case EarlyMode::durata:
        return "durata";
    }
    return "total";
}

std::string earlyJson(const EarlyRequest& request, const Early& e) {
    const bool v = e.valid;
    const bool part = request.mode != EarlyMode::total;
    runtime::JsonObject out;
    out.boolean("valid", v)
        .textIf("reason", !v, e.reason)
        .integer("month", request.month)
        .text("mode", earlyModeName(request.mode))
        .numberIf("balance", v, e.balance);
    // An invalid answer echoes the amount asked; a valid whole repayment states the balance.
    if (v) {
        out.number("amount", e.amount);
    } else {
        out.numberIf("amount", part, request.amount);
    }
    out.numberIf("compensation_rate", v, e.compensationRate)
        .numberIf("compensation", v, e.compensation)
        .numberIf("interest_left", v, e.interestLeft)
        .numberIf("refund", v, e.refund)
        .numberIf("pay_today", v, e.payToday)
        .numberIf("instalment", v && part, e.instalment)
        .raw("months", monthsJson(e.months))
        .numberIf("future_total", v, e.futureTotal)
        .numberIf("saving", v, e.saving);
    return runtime::JsonObject().raw("early", out.str()).str();
}

} // namespace offer
