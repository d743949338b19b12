#include "offer/offer_text.h"

#include "offer/cent_schedule.h"
#include "offer/legal.h"

#include "runtime/csv.h"
#include "runtime/format.h"
#include "ui/window_facts.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace offer {
namespace {

using core::Control;

std::string ron(Cents value) {
    return centsText(value) + " RON";
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string orNoValue(const std::string& text) {
    return text.empty() ? std::string(noValue) : text;
}

// The insurance option chosen in the list; typed text that is no item insures nothing.
std::string insuranceOf(const ui::ControlModel& w) {
    const std::int16_t index = w.listIndex(Control::cbasig);
    const std::vector<std::string>& items = w.data(Control::cbasig).items;
    if (index >= 0 && static_cast<std::size_t>(index) < items.size()) {
        return items[static_cast<std::size_t>(index)];
    }
    return items.empty() ? std::string() : items[0];
}

std::string paymentOf(const ui::ControlModel& w) {
    if (w.value(Control::Check1) == 1) {
        return std::string(ui::directDebitCaption);
    }
    if (w.value(Control::Check2) == 1) {
        return std::string(ui::cashCaption);
    }
    return noValue;
}

} // namespace

// A figure that is no number is shown as having no value, never as "NaN" or "Infinity".
std::string amount(double value) {
    return std::isfinite(value) ? runtime::Format(value, "0.00") : std::string(noValue);
}

std::string percent(double rate) {
    return std::isfinite(rate * 100) ? runtime::Format(rate * 100, "0.00") + " %"
                                     : std::string(noValue);
}

std::string legalPercent(double rate) {
    const auto hundredths = static_cast<std::int64_t>(std::floor(rate * 10000 + 0.5));
    return amount(static_cast<double>(hundredths) / 100) + " %";
}

OfferText offerText(const ui::Form1& form) {
    return offerText(form, scheduleOffer(form));
}

OfferText offerText(const ui::Form1& form, const ScheduleOffer& schedule) {
    OfferText out;
    out.program = form.controls().caption(Control::Form1);
    out.subtitle = "Tarif: " + form.state().tarif->label(); // the figures' source, dated
    out.valid = schedule.valid;
    out.reason = schedule.reason;
    out.header = {"Luna",      "Rata lunara", "Dobanda", "Comision gestiune",
                  "Asigurare", "Principal",   "Sold"};
    if (!schedule.valid) {
        return out;
    }
    const core::SimulationState& s = form.state();
    const ui::ControlModel& w = form.controls();
    // What the customer pays is counted in cents: every printed column adds up to its total.
    const std::optional<CentSchedule> cents = centSchedule(schedule, s.valoarecredit);
    const auto financed = toCents(s.valoareprodus - s.valavans);
    const auto product = toCents(s.valoareprodus);
    const auto downPayment = toCents(s.valavans);
    if (!cents || !financed || !product || !downPayment) {
        out.valid = false;
        out.reason = "Sumele creditului sunt prea mari pentru a fi scrise in oferta.";
        return out;
    }
    out.financed = s.valoareprodus - s.valavans;
    out.months = static_cast<int>(schedule.months.size());

    out.inputs = {
        {"Valoare produs", ron(*product)},
        {"Avans", ron(*downPayment)},
        {"Suma finantata", ron(*financed)},
        {"Comision de acordare", ron(cents->credit - *financed)},
        {"Valoare credit", ron(cents->credit)},
        {"Durata", runtime::NumberToText(s.durata) + " luni"},
        {"Dobanda anuala", percent(s.dobanda)},
        {"Asigurare", insuranceOf(w)},
        {"Modalitate de plata", paymentOf(w)},
    };

    const CentTotals& t = cents->totals;
    const CentRow& first = cents->months.front();
    std::string exact = noValue;
    if (schedule.daeExact) {
        exact = percent(*schedule.daeExact);
    } else {
        exact += " (" + schedule.daeExactReason + ")";
    }
    const std::string& cost = w.caption(Control::lbdobaferenta);
    out.keyFigures = {
        {"Rata lunara", ron(first.instalment)},
        {"Asigurare luna 1", ron(first.insurance)},
        {"Comision de gestiune luna 1", ron(first.commission)},
        {"Total de rambursat", ron(t.instalment)},
        {"Cost total", cost.empty() ? std::string(noValue) : cost + " RON"},
        {"DAE", orNoValue(trimmed(w.caption(Control::lbdae)))},
        {"DAE exacta", exact},
    };
    // The agent may compare the window's DAE with the exact one; the customer's paper shows
    // only the legal DAE, which counts a compulsory insurance, under the plain name.
    const LegalFigures legal = legalFigures(form, schedule);
    std::string legalDae = noValue;
    if (legal.dae) {
        legalDae = legalPercent(*legal.dae);
    } else {
        legalDae += " (" + legal.daeReason + ")";
    }
    out.documentFigures.assign(out.keyFigures.begin(), out.keyFigures.end() - 2);
    out.documentFigures.push_back({"DAE", legalDae});

    out.rows.reserve(cents->months.size());
    for (const CentRow& r : cents->months) {
        out.rows.push_back({std::to_string(r.month), centsText(r.instalment), centsText(r.interest),
                            centsText(r.commission), centsText(r.insurance), centsText(r.principal),
                            centsText(r.balance)});
    }
    out.totals = {"Total",
                  centsText(t.instalment),
                  centsText(t.interest),
                  centsText(t.commission),
                  centsText(t.insurance),
                  centsText(t.principal),
                  ""};
    return out;
}

std::string scheduleCsv(const OfferText& text) {
    if (!text.valid) {
        return {};
    }
    std::string out;
    auto write = [&out](const Row& row) { out += runtime::csvRecord(row); };
    write(text.header);
    for (const Row& row : text.rows) {
        write(row);
    }
    write(text.totals);
    return out;
}

} // namespace offer
