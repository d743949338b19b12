#include "offer/variants_json.h"

#include "offer/duration_rows.h"
#include "offer/what_would_pass.h"
#include "runtime/json_text.h"

#include <optional>
#include <string_view>

namespace offer {
namespace {

runtime::JsonObject& answer(runtime::JsonObject& out, std::string_view key,
                            const std::optional<long long>& value) {
    return value ? out.integer(key, *value) : out.raw(key, "null");
}

std::string row(const offer::DurationRow& r) {
    runtime::JsonObject out;
    out.number("duration", r.duration)
        .boolean("current", r.current)
        .text("verdict", offer::verdictName(r.verdict))
        .text("tbdob", r.tbdob)
        .text("lbrata", r.lbrata)
        .text("lbdobaferenta", r.lbdobaferenta)
        .text("lbdae", r.lbdae)
        .text("bnr", r.bnr)
        .text("tbsumacc", r.tbsumacc)
        .number("dobanda", r.dobanda)
        .number("rataluna", r.rataluna)
        .number("daeval", r.daeval);
    return out.str();
}

} // namespace

std::string variantsJson(const ui::Form1& form) {
    offer::WhatIf whatIf(form);
    runtime::JsonArray rows;
    for (const offer::DurationRow& r : offer::durationRows(whatIf, form)) {
        rows.raw(row(r));
    }
    const offer::Answers a = offer::whatWouldPass(whatIf, form);
    runtime::JsonObject out;
    out.raw("rows", rows.str());
    answer(out, "min_down_payment", a.minDownPayment);
    answer(out, "min_duration", a.minDuration);
    answer(out, "max_duration", a.maxDuration);
    answer(out, "max_product_value", a.maxProductValue);
    return runtime::JsonObject().raw("variants", out.str()).str();
}

} // namespace offer
