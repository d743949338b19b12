#include "offer/variants_json.h"

#include "offer/duration_rows.h"
#include "offer/snapshot_json.h"
#include "offer/what_would_pass.h"

#include <optional>

namespace offer {
namespace {

std::string answer(const std::optional<long long>& value) {
    return value ? std::to_string(*value) : "null";
}

std::string row(const offer::DurationRow& r) {
    std::string out = "{\"duration\":" + jsonNumber(r.duration);
    out += ",\"current\":";
    out += r.current ? "true" : "false";
    out += ",\"verdict\":" + jsonString(offer::verdictName(r.verdict));
    for (const auto& [key, text] : {std::pair{"tbdob", &r.tbdob},
                                    {"lbrata", &r.lbrata},
                                    {"lbdobaferenta", &r.lbdobaferenta},
                                    {"lbdae", &r.lbdae},
                                    {"bnr", &r.bnr},
                                    {"tbsumacc", &r.tbsumacc}}) {
        out += ",\"";
        out += key;
        out += "\":" + jsonString(*text);
    }
    out += ",\"dobanda\":" + jsonNumber(r.dobanda);
    out += ",\"rataluna\":" + jsonNumber(r.rataluna);
    out += ",\"daeval\":" + jsonNumber(r.daeval);
    out += '}';
    return out;
}

} // namespace

std::string variantsJson(const ui::Form1& form) {
    offer::WhatIf whatIf(form);
    std::string out = "{\"variants\":{\"rows\":[";
    bool first = true;
    for (const offer::DurationRow& r : offer::durationRows(whatIf, form)) {
        if (!first) {
            out += ',';
        }
        first = false;
        out += row(r);
    }
    const offer::Answers a = offer::whatWouldPass(whatIf, form);
    out += "],\"min_down_payment\":" + answer(a.minDownPayment);
    out += ",\"min_duration\":" + answer(a.minDuration);
    out += ",\"max_duration\":" + answer(a.maxDuration);
    out += ",\"max_product_value\":" + answer(a.maxProductValue);
    out += "}}";
    return out;
}

} // namespace offer
