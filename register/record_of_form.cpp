#include "register/record_of_form.h"

#include "offer/legal.h"
#include "offer/legal_json.h"
#include "offer/schedule_json.h"
#include "offer/schedule_offer.h"
#include "offer/snapshot_json.h"
#include "runtime/json_text.h"
#include "tariff/write.h"
#include "ui/window_facts.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QUuid>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace reg {

std::string sha256Hex(std::string_view bytes) {
    return QCryptographicHash::hash(
               QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
               QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

std::optional<std::string> sha256OfFile(const std::filesystem::path& file) {
    QFile f(QString::fromStdString(file.string()));
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&f)) {
        return std::nullopt;
    }
    return hash.result().toHex().toStdString();
}

std::optional<std::string> customerName(const std::optional<std::string>& typed, bool& cut) {
    cut = false;
    if (!typed || typed->find_first_not_of(" \t\r\n") == std::string::npos) {
        return std::nullopt;
    }
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < typed->size();) {
        const auto lead = static_cast<unsigned char>((*typed)[i]);
        std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC0 ? 2
                                            : 1;
        length = std::min(length, typed->size() - i);
        if (lead == 0) {
            cut = true;
            ++i;
            continue;
        }
        if (characters == customerNameLimit) {
            cut = true;
            break;
        }
        out.append(*typed, i, length);
        ++characters;
        i += length;
    }
    return out;
}

std::string operatingSystemUser() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name) {
        return found->pw_name;
    }
    const char* user = std::getenv("USER");
    return user ? user : std::to_string(geteuid());
}

std::string programVersion() {
    return SIMCREDIT_VERSION;
}

MadeRecord makeRecord(const ui::Form1& form, std::string_view kind,
                      const std::optional<std::string>& shop,
                      const std::optional<std::string>& customer) {
    MadeRecord made;
    Record& r = made.record;
    r.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    r.issued_at = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
    r.program = programVersion();
    r.kind = kind;
    r.shop = shop;
    r.agent = operatingSystemUser();
    r.customer = customerName(customer, made.customerCut);

    const ui::ControlModel& m = form.controls();
    using core::Control;
    r.inputs = {
        m.text(Control::vn),
        m.text(Control::ar),
        m.text(Control::ad),
        m.text(Control::tbvp),
        m.text(Control::tbavans),
        m.text(Control::tbdurcred),
        m.text(Control::cbasig),
        std::string(m.value(Control::Check2) == 1 ? ui::cashCaption : ui::directDebitCaption)};

    r.figures.snapshot = offer::snapshotJson(form, {});
    r.figures.schedule = offer::scheduleJson(form);
    r.figures.legal = offer::legalJson(form);

    const tariff::Tariff& tarif = *form.state().tarif;
    made.tariffJson = tariff::write(tarif);
    r.tariff = {tarif->name, tarif->valid_from, sha256Hex(made.tariffJson)};

    const offer::ScheduleOffer schedule = offer::scheduleOffer(form);
    const offer::LegalFigures legal = offer::legalFigures(form, schedule);
    r.summary.productValue = form.state().valoareprodus;
    r.summary.credit = legal.totalCredit;
    r.summary.duration = form.state().durata;
    if (!schedule.months.empty()) {
        r.summary.instalment = schedule.months.front().instalment;
    }
    r.summary.dae = legal.dae;
    return made;
}

} // namespace reg
