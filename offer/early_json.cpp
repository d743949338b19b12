#include "offer/early_json.h"

#include "offer/snapshot_json.h"

namespace offer {
namespace {

std::string figure(bool present, double value) {
    return present ? jsonNumber(value) : std::string("null");
}

} // namespace

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
    std::string out = "{\"early\":{\"valid\":";
    out += v ? "true" : "false";
    out += ",\"reason\":" + (v ? std::string("null") : jsonString(e.reason));
    out += ",\"month\":" + std::to_string(request.month);
    out += ",\"mode\":" + jsonString(earlyModeName(request.mode));
    out += ",\"balance\":" + figure(v, e.balance);
    // An invalid answer echoes the amount asked; a valid whole repayment states the balance.
    out += ",\"amount\":" + (v ? jsonNumber(e.amount) : figure(part, request.amount));
    out += ",\"compensation_rate\":" + figure(v, e.compensationRate);
    out += ",\"compensation\":" + figure(v, e.compensation);
    out += ",\"interest_left\":" + figure(v, e.interestLeft);
    out += ",\"refund\":" + figure(v, e.refund);
    out += ",\"pay_today\":" + figure(v, e.payToday);
    out += ",\"instalment\":" + figure(v && part, e.instalment);
    out += ",\"months\":[";
    for (const MonthRow& r : e.months) {
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
    out += "],\"future_total\":" + figure(v, e.futureTotal);
    out += ",\"saving\":" + figure(v, e.saving);
    out += "}}";
    return out;
}

} // namespace offer
