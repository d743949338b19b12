#include "offer/duration_rows.h"
#include "offer/legal.h"
#include "offer/schedule_offer.h"
#include "runtime/format.h"
#include "runtime/json_text.h"
#include "server/answers.h"

#include <algorithm>
#include <optional>

namespace server {
namespace {

using core::Control;

// What a product page shows for one duration: the figures of the representative example.
struct RateRow {
    double duration = 0;
    std::string text; // the duration as typed into the copy
    double rataluna = 0;
    double rate = 0; // the fixed annual interest rate
    std::optional<double> dae;
    double totalCredit = 0;
    double grantingCommission = 0;
    double managementCommission = 0; // over the whole credit
    double insurance = 0;            // over the whole credit
    bool compulsoryInsurance = false;
    double totalCost = 0;
    double payable = 0;
};

// The legal figures of the form's offer, when it is valid and within every legal limit: what
// may be advertised.
std::optional<RateRow> rateRowOf(const ui::Form1& form, double duration) {
    const offer::ScheduleOffer s = offer::scheduleOffer(form);
    const offer::LegalFigures legal = offer::legalFigures(form, s);
    if (!legal.valid || !legal.breaches.empty() || !s.totals) {
        return std::nullopt;
    }
    const core::SimulationState& st = form.state();
    RateRow r;
    r.duration = duration;
    r.rataluna = st.rataluna;
    r.rate = st.dobanda;
    r.dae = legal.dae;
    r.totalCredit = legal.totalCredit.value_or(0);
    r.grantingCommission = legal.grantingCommission.value_or(0);
    r.managementCommission = s.totals->commission;
    r.insurance = s.totals->insurance;
    r.compulsoryInsurance = legal.compulsoryInsurance;
    r.totalCost = legal.totalCost.value_or(0);
    r.payable = legal.payable.value_or(0);
    return r;
}

// An amount as a shopper reads it: two decimals after a comma, "3000,00".
std::string lei(double value) {
    std::string text = runtime::Format(value, "0.00");
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string percent(double share) {
    return lei(share * 100) + " %";
}

runtime::JsonObject rowJson(const RateRow& r) {
    runtime::JsonObject out;
    out.number("duration", r.duration)
        .number("rataluna", r.rataluna)
        .number("rate", r.rate)
        .numberOrNull("dae", r.dae)
        .number("total_credit", r.totalCredit)
        .number("total_cost", r.totalCost)
        .number("payable", r.payable);
    return out;
}

// The representative example in one sentence that names every assumption behind its figures.
std::string exampleSentence(const RateRow& r, const ui::Form1& form, bool cash) {
    const core::SimulationState& st = form.state();
    const std::string insurance = form.controls().text(Control::cbasig);
    std::string s = "Exemplu reprezentativ: pentru un produs de " + lei(st.valoareprodus) +
                    " lei, cu un avans de " + lei(st.valavans) +
                    " lei, valoarea totala a creditului este de " + lei(r.totalCredit) +
                    " lei, pe " + runtime::NumberToText(r.duration) +
                    " de luni, cu o dobanda fixa de " + percent(r.rate) + " pe an";
    s += ", un comision de acordare de " + lei(r.grantingCommission) +
         " lei inclus in credit si un comision de gestiune lunar, de " +
         lei(r.managementCommission) + " lei in total, cu plata " +
         (cash ? "in numerar" : "prin debit direct");
    if (r.insurance > 0 && r.compulsoryInsurance) {
        s += "; asigurarea " + insurance + ", obligatorie, de " + lei(r.insurance) +
             " lei in total, este inclusa in rata lunara, in costul total si in DAE";
    } else if (r.insurance > 0) {
        s += "; asigurarea " + insurance + ", optionala, de " + lei(r.insurance) +
             " lei in total, este inclusa in rata lunara, dar nu si in costul total si in DAE";
    } else {
        s += ", fara asigurare";
    }
    s += ". Rata lunara este de " + lei(r.rataluna) + " lei, costul total al creditului de " +
         lei(r.totalCost) + " lei, DAE de " + (r.dae ? percent(*r.dae) : std::string("-")) +
         ", iar totalul de plata de " + lei(r.payable) +
         " lei. Calculul presupune un an de 12 luni egale, o dobanda fixa pe toata durata si "
         "plata fiecarei rate la termen.";
    return s;
}

} // namespace

std::string rateAnswer(const offer::TableRow& row, const tariff::Tariff& tarif) {
    ui::MessageLog log;
    ui::Form1 form(log, tarif);
    form.Form_Load();
    offer::playRow(form, row);
    offer::WhatIf whatIf(form);
    std::vector<RateRow> rows;
    for (const offer::DurationRow& d : offer::durationRows(whatIf, form)) {
        if (d.verdict != offer::Verdict::accepted) {
            continue;
        }
        if (std::optional<RateRow> r =
                rateRowOf(whatIf.set(Control::tbdurcred, d.text), d.duration)) {
            r->text = d.text;
            rows.push_back(std::move(*r));
        }
    }
    if (rows.empty()) {
        return R"({"rows":[],"from":null,"example":null})";
    }
    runtime::JsonArray list;
    double from = rows.front().rataluna;
    for (const RateRow& r : rows) {
        list.raw(rowJson(r).str());
        from = std::min(from, r.rataluna);
    }
    // The rows come in increasing duration: the example is the longest one.
    const RateRow& longest = rows.back();
    const ui::Form1& exampleForm = whatIf.set(Control::tbdurcred, longest.text);
    const std::string example =
        rowJson(longest).text("text", exampleSentence(longest, exampleForm, row.cash)).str();
    return runtime::JsonObject()
        .raw("rows", list.str())
        .number("from", from)
        .raw("example", example)
        .str();
}

} // namespace server
