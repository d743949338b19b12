#include "server/answers.h"

#include "offer/legal_json.h"
#include "offer/schedule_json.h"
#include "offer/snapshot_json.h"
#include "offer/variants_json.h"
#include "runtime/json_text.h"

namespace server {
namespace {

// A form after start-up with the row played into it, and what it recorded on the way.
struct PlayedForm {
    PlayedForm(const offer::TableRow& row, const tariff::Tariff& tarif) : form(log, tarif) {
        form.setFaultSink(&faults);
        form.Form_Load();
        offer::playRow(form, row);
    }
    ui::MessageLog log;
    ui::FaultLog faults;
    ui::Form1 form;
};

} // namespace

std::string innerObject(const std::string& line) {
    const std::size_t colon = line.find(':');
    return line.substr(colon + 1, line.size() - colon - 2);
}

std::string simulationAnswer(const offer::TableRow& row, const tariff::Tariff& tarif) {
    const PlayedForm played(row, tarif);
    return runtime::JsonObject()
        .raw("snapshot", offer::snapshotJson(played.form, played.log.shown, &played.faults))
        .raw("schedule", innerObject(offer::scheduleJson(played.form)))
        .raw("legal", innerObject(offer::legalJson(played.form)))
        .str();
}

std::string variantsAnswer(const offer::TableRow& row, const tariff::Tariff& tarif) {
    const PlayedForm played(row, tarif);
    return offer::variantsJson(played.form);
}

} // namespace server
