#include "core/calcule.h"

#include "loan/loan.h"
#include "runtime/format.h"
#include "runtime/runtime_error.h"
#include "runtime/val.h"
#include "schedule/schedule.h"

#include <string>

namespace core {
namespace {

using C = Control;
using runtime::Format;
using runtime::toDouble;

constexpr char CR = '\r';

void readInputs(SimulationState& s, const Window& w) {
    s.venitnet = runtime::Val(w.text(C::vn));
    s.ratealte = runtime::Val(w.text(C::ar));
    s.datoriialte = runtime::Val(w.text(C::ad));
    s.valoareprodus = runtime::Val(w.text(C::tbvp));
    s.valavans = runtime::Val(w.text(C::tbavans));
    s.durata = runtime::Val(w.text(C::tbdurcred));
}

// The duration and financed-amount limits; returns whether the error panel is shown.
bool showLimits(const SimulationState& s, Window& w) {
    w.setVisible(C::Label10, false);
    const double L = s.plafoncredit / (1 + s.comacord);
    const double F = s.valoareprodus - s.valavans;
    const bool depasire = s.durata > s.durmax || s.durata < s.durmin || F > L;

    std::string mesajdurata;
    if (s.durata > s.durmax) {
        mesajdurata = "Durata creditului este prea mare (Perioada maxima - " +
                      runtime::NumberToText(s.durmax) + " LUNI)." + CR;
    } else if (s.durata < s.durmin) {
        mesajdurata = "Durata creditului este prea mica (Perioada minima - " +
                      runtime::NumberToText(s.durmin) + " LUNI)." + CR;
    }
    std::string mesajvaloare;
    if (F > L) {
        mesajvaloare = "Valoare produs prea mare (nu trebuie sa depaseasca " +
                       Format(L + s.valavans, "## ###.00") + " RON)";
    } else if (F < s.creditmin - s.comacordmin) {
        mesajvaloare = "Valoare produs prea mica (Creditul minim este de " +
                       runtime::NumberToText(s.creditmin) + " RON)";
    }

    if (depasire) {
        w.setVisible(C::Eroare, true);
        w.setText(C::tbratatlx, "");
        w.setVisible(C::Label10, true);
        w.setCaption(C::Label10, mesajdurata + CR + mesajvaloare);
    } else {
        w.setVisible(C::Eroare, false);
        w.setVisible(C::Label10, false);
    }
    return depasire;
}

void showEffectiveRate(SimulationState& s, Window& w) {
    if (!(s.ratatotala > 0 && s.valoareprodus != 0)) {
        w.setCaption(C::lbdae, "");
        return;
    }
    try {
        const double cs = s.valoareprodus - s.valavans;
        s.daeval = schedule::dae_ok(cs, s.dobanda, s.comacord, s.durata, s.comgestluna, s.months);
    } catch (const runtime::RuntimeError&) {
        // A series the rate cannot be found for: no DAE is shown, the previous one is kept.
        w.setCaption(C::lbdae, "");
        return;
    }
    w.setCaption(C::lbdae, s.valoareprodus > 100 ? Format(s.daeval * 100, "0.00") + " %" : "");
}

} // namespace

void calcule(SimulationState& s, Window& w, MessageSink& messages) {
    Comision_Gestiune(s); // sees the credit value and duration of the previous recalculation
    readInputs(s, w);
    if (s.durata == 0) {
        s.durata = 1;
    }
    const tariff::Terms& tarif = s.tarif->terms();
    s.comacord = tarif.granting_commission.rate;

    if (s.durata > tarif.duration.guard) {
        messages.show({"EROARE", "Valoare nepermisa!", 16});
        // The tariff's own figure, not durmax; runs a whole nested recalculation.
        w.setText(C::tbdurcred, runtime::NumberToText(tarif.duration.after_guard));
        s.durata = tarif.duration.after_guard;
    }

    Comision_Gestiune(s); // new duration, previous credit value
    s.valoarecredit =
        toDouble(loan::valcredit(s.valoareprodus, s.comacord, s.valavans, s.comacordmin));
    s.dobanda = loan::dobgrila(s.durata, s.valoarecredit, tarif.interest);
    Comision_Gestiune(s);
    w.setText(C::tbdob, Format(s.dobanda * 100, " 0.00") + "%");
    s.procasig = toDouble(procent_asig(s, w.listIndex(C::cbasig)));

    const bool depasire = showLimits(s, w);

    if (w.value(C::Check1) == 1) {
        s.comgestluna = s.comgestdd;
    } else if (w.value(C::Check2) == 1) {
        s.comgestluna = s.comgestnum;
    }

    w.setCaption(C::lbcomisgest,
                 Format(toDouble(loan::calccomgestsold(s.valoarecredit, s.comgestluna)), "0.00"));

    s.rataluna = toDouble(schedule::calcratacomsold(s.valoarecredit, s.dobanda, s.durata,
                                                    s.comgestluna, s.procasig, s.months));
    w.setCaption(C::lbasig, runtime::NumberToText(s.months.aasig[1]));

    w.setCaption(C::lbrata, Format(s.rataluna, "0.00"));
    s.ratatotala = s.rataluna;

    double indicebnr = 0;
    if (s.venitnet != 0) {
        indicebnr = loan::INDBNR(s.venitnet, s.ratealte, s.ratatotala, s.datoriialte);
    }
    w.setText(C::bnr, Format(indicebnr * 100, "0.00") + "  %");

    s.sumamax = toDouble(schedule::sumacccomsold(
        s.venitnet, s.dobanda, s.comacord, s.durata, indicebnr, s.procasig, s.ratealte,
        s.datoriialte, s.comgestluna, s.plafoncredit, tarif.indebtedness_limit));
    if (s.sumamax == -1) {
        w.setText(C::tbsumacc, refusedText);
    } else if (s.venitnet != 0) {
        w.setText(C::tbsumacc, Format(s.sumamax + s.valavans, "0.00"));
    } // with no income the box keeps its text

    if (!depasire) {
        w.setText(C::tbratatlx, Format(s.ratatotala, "0.00"));
    }

    const double cost = toDouble(loan::DOBAFERENTA(s.ratatotala, s.valoarecredit, s.durata)) +
                        (s.valoareprodus - s.valavans) * s.comacord;
    w.setCaption(C::lbdobaferenta, Format(cost, "0.00"));

    showEffectiveRate(s, w);

    w.setVisible(C::Frame6, false);
    if (s.sumamax == -1 && !depasire) {
        w.setVisible(C::Frame6, true);
    }
}

} // namespace core
