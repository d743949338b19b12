#include "offer/schedule_json.h"

#include "offer/schedule_offer.h"
#include "offer/snapshot_json.h"

#include <nlohmann/json.hpp>

namespace offer {
namespace {

std::string text(const std::string& s) {
    return nlohmann::json(s).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string textOrNull(bool present, const std::string& s) {
    return present ? text(s) : "null";
}

} // namespace

std::string scheduleJson(const ui::Form1& form) {
    const offer::ScheduleOffer o = offer::scheduleOffer(form);
    std::string out = "{\"schedule\":{\"valid\":";
    out += o.valid ? "true" : "false";
    out += ",\"reason\":" + textOrNull(!o.valid, o.reason);
    out += ",\"months\":[";
    for (const offer::MonthRow& r : o.months) {
        if (r.month > 1) {
            out += ',';
        }
        out += "{\"month\":" + std::to_string(r.month);
        out += ",\"instalment\":" + jsonNumber(r.instalment);
        out += ",\"interest\":" + jsonNumber(r.interest);
        out += ",\"commission\":" + jsonNumber(r.commission);
        out += ",\"insurance\":" + jsonNumber(r.insurance);
        out += ",\"principal\":" + jsonNumber(r.principal);
        out += ",\"balance\":" + jsonNumber(r.balance) + '}';
    }
    out += "],\"totals\":";
    if (o.totals) {
        const offer::Totals& t = *o.totals;
        out += "{\"instalment\":" + jsonNumber(t.instalment);
        out += ",\"interest\":" + jsonNumber(t.interest);
        out += ",\"commission\":" + jsonNumber(t.commission);
        out += ",\"insurance\":" + jsonNumber(t.insurance);
        out += ",\"principal\":" + jsonNumber(t.principal) + '}';
    } else {
        out += "null";
    }
    out += ",\"dae\":" + jsonNumber(o.dae);
    out += ",\"dae_exact\":" + (o.daeExact ? jsonNumber(*o.daeExact) : std::string("null"));
    out += ",\"dae_exact_reason\":" + textOrNull(!o.daeExact, o.daeExactReason);
    out += "}}";
    return out;
}

} // namespace offer
