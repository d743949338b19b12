#include "offer/document_gate.h"

#include "offer/offer_text.h"
#include "runtime/format.h"

#include <cmath>

namespace offer {
namespace {

using tariff::LegalLimit;

// The DAE and the cost per day as percentages, the payable ratio as a plain number, both with
// two decimals as the documents write them.
std::string measureText(LegalLimit::Measure m, double value) {
    return m == LegalLimit::Measure::payable_ratio ? runtime::Format(value, "0.00")
                                                   : percent(value);
}

// With more digits, for a figure just above its limit that two decimals would show equal to it.
std::string preciseText(LegalLimit::Measure m, double value) {
    return m == LegalLimit::Measure::payable_ratio ? runtime::NumberToText(value)
                                                   : runtime::NumberToText(value * 100) + " %";
}

} // namespace

std::string breachText(const LimitBreach& b) {
    if (!b.value) {
        return b.name + ": DAE nu poate fi calculata, limita este " + percent(b.limit);
    }
    std::string value = measureText(b.measure, *b.value);
    std::string limit = measureText(b.measure, b.limit);
    if (value == limit) {
        value = preciseText(b.measure, *b.value);
        limit = preciseText(b.measure, b.limit);
    }
    return b.name + ": " + value + " > " + limit;
}

DocumentGate documentGate(const ui::Form1& form, const LegalFigures& figures) {
    if (!figures.valid) {
        return {false, figures.reason};
    }
    if (!figures.breaches.empty()) {
        std::string reason = "Depaseste limita legala: ";
        for (std::size_t i = 0; i < figures.breaches.size(); ++i) {
            reason += (i > 0 ? "; " : "") + breachText(figures.breaches[i]);
        }
        return {false, reason};
    }
    const double income = form.state().venitnet;
    if (!(std::isfinite(income) && income > 0)) {
        return {false, "Venitul net al clientului nu este completat: fara el gradul de indatorare "
                       "nu a fost evaluat."};
    }
    return {true, {}};
}

DocumentGate documentGate(const ui::Form1& form) {
    return documentGate(form, legalFigures(form));
}

DocumentGate informationFormGate(const ui::Form1& form) {
    if (!form.state().tarif->terms().creditor) {
        return {false, "Tariful nu numeste creditorul: formularul de informatii standard nu poate "
                       "fi emis."};
    }
    return documentGate(form);
}

} // namespace offer
