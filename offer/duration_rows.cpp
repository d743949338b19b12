#include "offer/duration_rows.h"

#include "runtime/format.h"

#include <cmath>

namespace offer {
namespace {

DurationRow rowOf(WhatIf& whatIf, double duration, std::string text, double current) {
    const ui::Form1& copy = whatIf.set(Control::tbdurcred, text);
    const ui::ControlModel& m = copy.controls();
    DurationRow row;
    row.duration = duration;
    row.text = std::move(text);
    row.current = duration == current;
    row.verdict = whatIf.verdict();
    row.tbdob = m.text(Control::tbdob);
    row.lbrata = m.caption(Control::lbrata);
    row.lbdobaferenta = m.caption(Control::lbdobaferenta);
    row.lbdae = m.caption(Control::lbdae);
    row.bnr = m.text(Control::bnr);
    row.tbsumacc = m.text(Control::tbsumacc);
    if (m.visible(Control::Eroare)) {
        row.limitText = m.caption(Control::Label10);
    }
    if (row.verdict == Verdict::over_limit) {
        row.legalLimit = whatIf.breachedLimit().value_or(std::string());
    }
    row.dobanda = copy.state().dobanda;
    row.rataluna = copy.state().rataluna;
    row.daeval = copy.state().daeval;
    return row;
}

} // namespace

std::string verdictText(const DurationRow& row) {
    switch (row.verdict) {
    case Verdict::accepted:
        return "Acceptat";
    case Verdict::refused:
        return "Refuzat - indatorare";
    case Verdict::no_offer:
        return "Nicio oferta posibila";
    case Verdict::limit:
        return limitSummary(row.limitText);
    case Verdict::over_limit:
        return "Peste limita legala: " + row.legalLimit;
    case Verdict::fault:
        break;
    }
    return "Eroare de calcul";
}

std::vector<DurationRow> durationRows(WhatIf& whatIf, const ui::Form1& form) {
    const double current = form.state().durata;
    bool listed = !std::isfinite(current);
    for (const int d : listedDurations) {
        listed = listed || current == d;
    }
    std::vector<DurationRow> rows;
    rows.reserve(listedDurations.size() + 1);
    for (const int d : listedDurations) {
        if (!listed && current < d) {
            rows.push_back(rowOf(whatIf, current, runtime::NumberToText(current), current));
            listed = true;
        }
        rows.push_back(rowOf(whatIf, d, std::to_string(d), current));
    }
    if (!listed) {
        rows.push_back(rowOf(whatIf, current, runtime::NumberToText(current), current));
    }
    return rows;
}

} // namespace offer
