#include "offer/schedule_json.h"

#include "offer/schedule_offer.h"
#include "runtime/json_text.h"

namespace offer {

std::string monthsJson(const std::vector<MonthRow>& months) {
    runtime::JsonArray out;
    for (const MonthRow& r : months) {
        out.raw(runtime::JsonObject()
                    .integer("month", r.month)
                    .number("instalment", r.instalment)
                    .number("interest", r.interest)
                    .number("commission", r.commission)
                    .number("insurance", r.insurance)
                    .number("principal", r.principal)
                    .number("balance", r.balance)
                    .str());
    }
    return out.str();
}

std::string scheduleJson(const ui::Form1& form) {
    const offer::ScheduleOffer o = offer::scheduleOffer(form);
    std::string totals = "null";
    if (o.totals) {
        const offer::Totals& t = *o.totals;
        totals = runtime::JsonObject()
                     .number("instalment", t.instalment)
                     .number("interest", t.interest)
                     .number("commission", t.commission)
                     .number("insurance", t.insurance)
                     .number("principal", t.principal)
                     .str();
    }
    const std::string schedule = runtime::JsonObject()
                                     .boolean("valid", o.valid)
                                     .textIf("reason", !o.valid, o.reason)
                                     .raw("months", monthsJson(o.months))
                                     .raw("totals", totals)
                                     .number("dae", o.dae)
                                     .numberOrNull("dae_exact", o.daeExact)
                                     .textIf("dae_exact_reason", !o.daeExact, o.daeExactReason)
                                     .str();
    return runtime::JsonObject().raw("schedule", schedule).str();
}

} // namespace offer
