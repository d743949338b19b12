#include "register/record_json.h"

#include "offer/snapshot_json.h"
#include "runtime/csv.h"
#include "runtime/json_text.h"

#include <string_view>

namespace reg {

namespace {

std::string text(const std::optional<std::string>& value) {
    return value ? runtime::jsonString(*value) : "null";
}

// `{"schedule":{...}}` as `{...}`: the key says it already.
std::string unwrapped(const std::string& json, std::string_view key) {
    const std::string prefix = "{\"" + std::string(key) + "\":";
    if (json.size() > prefix.size() && json.starts_with(prefix) && json.back() == '}') {
        return json.substr(prefix.size(), json.size() - prefix.size() - 1);
    }
    return json.empty() ? "null" : json;
}

std::string csvNumber(const std::optional<double>& value) {
    return value ? runtime::jsonNumber(*value) : std::string();
}

} // namespace

std::string recordJson(const Record& r) {
    std::string out = "{\"id\":" + runtime::jsonString(r.id);
    out += ",\"issued_at\":" + runtime::jsonString(r.issued_at);
    out += ",\"program\":" + runtime::jsonString(r.program);
    out += ",\"kind\":" + runtime::jsonString(r.kind);
    out += ",\"shop\":" + text(r.shop);
    out += ",\"agent\":" + runtime::jsonString(r.agent);
    out += ",\"customer\":" + text(r.customer);
    const Inputs& in = r.inputs;
    out += ",\"inputs\":{\"vn\":" + runtime::jsonString(in.vn);
    out += ",\"ar\":" + runtime::jsonString(in.ar);
    out += ",\"ad\":" + runtime::jsonString(in.ad);
    out += ",\"tbvp\":" + runtime::jsonString(in.tbvp);
    out += ",\"tbavans\":" + runtime::jsonString(in.tbavans);
    out += ",\"tbdurcred\":" + runtime::jsonString(in.tbdurcred);
    out += ",\"cbasig\":" + runtime::jsonString(in.cbasig);
    out += ",\"plata\":" + runtime::jsonString(in.plata) + '}';
    out += ",\"figures\":{\"snapshot\":" + unwrapped(r.figures.snapshot, "snapshot");
    out += ",\"schedule\":" + unwrapped(r.figures.schedule, "schedule");
    out += ",\"legal\":" + unwrapped(r.figures.legal, "legal") + '}';
    out += ",\"tariff\":{\"name\":" + runtime::jsonString(r.tariff.name);
    out += ",\"valid_from\":" + text(r.tariff.valid_from);
    out += ",\"sha256\":" + runtime::jsonString(r.tariff.sha256) + '}';
    out += ",\"document_sha256\":" + text(r.document_sha256) + '}';
    return out;
}

std::string csvHeader() {
    return "id,issued_at,program,kind,shop,agent,customer,vn,ar,ad,tbvp,tbavans,tbdurcred,cbasig,"
           "plata,tariff_name,tariff_valid_from,tariff_sha256,document_sha256,product_value,"
           "credit,duration,instalment,dae";
}

// A text cell a spreadsheet would run as a formula ("=HYPERLINK(...)", "-2+3+cmd|...") starts
// with a quote, which shows it as text. Only the CSV is meant for a spreadsheet: the JSON keeps
// every byte as typed.
std::string spreadsheetText(std::string_view field) {
    if (!field.empty() &&
        std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos) {
        return '\'' + std::string(field);
    }
    return std::string(field);
}

std::string recordCsv(const Record& r) {
    std::string out = runtime::csvField(r.id);
    auto add = [&](std::string_view field) {
        out += ',' + runtime::csvField(spreadsheetText(field));
    };
    for (std::string_view f :
         {std::string_view(r.issued_at), std::string_view(r.program), std::string_view(r.kind)}) {
        add(f);
    }
    add(r.shop.value_or(""));
    add(r.agent);
    add(r.customer.value_or(""));
    const Inputs& in = r.inputs;
    for (const std::string* f : {&in.vn, &in.ar, &in.ad, &in.tbvp, &in.tbavans, &in.tbdurcred,
                                 &in.cbasig, &in.plata, &r.tariff.name}) {
        add(*f);
    }
    add(r.tariff.valid_from.value_or(""));
    add(r.tariff.sha256);
    add(r.document_sha256.value_or(""));
    for (const std::optional<double>* v :
         {&r.summary.productValue, &r.summary.credit, &r.summary.duration, &r.summary.instalment,
          &r.summary.dae}) {
        out += ',' + csvNumber(*v);
    }
    return out;
}

} // namespace reg
