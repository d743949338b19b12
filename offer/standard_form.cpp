#include "offer/standard_form.h"

#include "offer/cent_schedule.h"
#include "offer/document_gate.h"
#include "offer/legal.h"
#include "offer/schedule_offer.h"
#include "runtime/format.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace offer {
namespace {

using core::Control;

// The documents count in whole cents: every figure below is one, and sums of them add up.
Cents cents(double value) {
    return std::llround(value * 100);
}

std::string ron(Cents value) {
    return amount(static_cast<double>(value) / 100) + " RON";
}

// The figures the form prints, in cents.
struct FormFigures {
    Cents totalCredit = 0; // what the customer is lent: the product value less the down payment
    Cents granting = 0;    // the granting commission, financed into the credit
    Cents interest = 0;
    Cents commission = 0; // management commission
    Cents insurance = 0;
    Cents instalment = 0; // one month's payment
    Cents payments = 0;   // every instalment, optional insurance included
    Cents totalCost = 0;
    Cents payable = 0;
};

// The insurance item chosen by position; a typed text that is no item's insures nothing
// compulsory.
const tariff::InsuranceOption* chosenInsurance(const ui::Form1& form) {
    const std::int16_t index = form.controls().listIndex(Control::cbasig);
    const auto& items = form.state().tarif->terms().insurance;
    if (index >= 0 && static_cast<std::size_t>(index) < items.size()) {
        return &items[static_cast<std::size_t>(index)];
    }
    return nullptr;
}

// The totals are those of the schedule the customer pays, in cents (the offer's), so that the
// form and the offer handed over together print the same figures. Empty when the amounts are
// beyond what cents can count.
std::optional<FormFigures> figuresOf(const ui::Form1& form, const ScheduleOffer& schedule,
                                     bool compulsory) {
    const core::SimulationState& s = form.state();
    const std::optional<CentSchedule> paid = centSchedule(schedule, s.valoarecredit);
    const std::optional<Cents> financed = toCents(s.valoareprodus - s.valavans);
    if (!paid || !financed || paid->months.empty()) {
        return std::nullopt;
    }
    const CentTotals& t = paid->totals;
    FormFigures f;
    f.totalCredit = *financed;
    f.granting = paid->credit - *financed;
    f.interest = t.interest;
    f.commission = t.commission;
    f.insurance = t.insurance;
    f.instalment = paid->months.front().instalment;
    f.payments = t.instalment;
    f.totalCost = f.interest + f.commission + f.granting + (compulsory ? f.insurance : 0);
    f.payable = f.totalCredit + f.totalCost;
    return f;
}

// A figure with four decimals, by own digit code. A negative one keeps its sign: padding its
// digits as if positive would throw.
std::string fourDecimals(double value) {
    const std::int64_t n = std::llround(value * 10000);
    const std::int64_t magnitude = n < 0 ? -n : n;
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    return (n < 0 ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction;
}

std::string months(double durata) {
    return runtime::NumberToText(durata) + " luni";
}

FormSection essentials(const tariff::Terms& terms, const core::SimulationState& s,
                       const FormFigures& f, const std::string& dae, const std::string& late) {
    return {essentialsHeading,
            {
                {"Creditor", terms.creditor->name},
                {"Valoarea totală a creditului", ron(f.totalCredit)},
                {"Durata contractului de credit", months(s.durata)},
                {"Rata dobânzii anuale (fixă)", percent(s.dobanda)},
                {"Dobânda anuală efectivă (DAE)", dae},
                {"Valoarea totală plătibilă", ron(f.payable)},
                {"Rata lunară", ron(f.instalment)},
                {"Produsul și prețul său cu plata integrală", ron(cents(s.valoareprodus))},
                {"Costuri în caz de plăți întârziate", late},
            },
            {"Aceste informații esențiale sunt detaliate în secțiunile 1-4 ale formularului."}};
}

FormSection creditorSection(const tariff::Creditor& c, const std::optional<ui::Shop>& shop) {
    FormSection out{creditorHeading, {}, {}};
    out.lines.push_back({"Creditor", c.name});
    out.lines.push_back({"Tipul creditorului", c.kind == tariff::Creditor::Kind::banca
                                                   ? "Instituție de credit (bancă)"
                                                   : "Instituție financiară nebancară (IFN)"});
    out.lines.push_back({"Adresa", c.address});
    if (c.phone) {
        out.lines.push_back({"Telefon", *c.phone});
    }
    if (c.email) {
        out.lines.push_back({"E-mail", *c.email});
    }
    if (c.web) {
        out.lines.push_back({"Adresa de internet", *c.web});
    }
    if (c.registry) {
        out.lines.push_back({"Număr de înregistrare în registrul creditorilor", *c.registry});
    }
    if (shop) {
        out.lines.push_back({"Intermediar de credit", shop->name});
        out.lines.push_back({"Adresa intermediarului", shop->address});
        if (shop->phone) {
            out.lines.push_back({"Telefonul intermediarului", *shop->phone});
        }
    }
    return out;
}

FormSection featuresSection(const core::SimulationState& s, const FormFigures& f,
                            const ScheduleOffer& schedule, bool insured) {
    const std::string count = std::to_string(schedule.months.size());
    return {featuresHeading,
            {
                {"Tipul creditului", "Credit de consum legat de cumpărarea unui produs"},
                {"Valoarea totală a creditului", ron(f.totalCredit)},
                {"Condițiile de tragere",
                 "Suma se plătește direct vânzătorului, la semnarea contractului de credit."},
                {"Durata contractului de credit", months(s.durata)},
                {"Ratele", count + " rate lunare egale de " + ron(f.instalment)},
                {"Ce cuprinde fiecare rată",
                 insured ? "dobânda, comisionul de administrare, asigurarea și o parte din "
                           "credit (principal)"
                         : "dobânda, comisionul de administrare și o parte din credit "
                           "(principal)"},
                {"Valoarea totală plătibilă", ron(f.payable)},
                {"Totalul ratelor lunare, cu asigurarea facultativă", ron(f.payments)},
                {"Produsul", "Produsul cumpărat în rate de la intermediarul de credit"},
                {"Prețul produsului", ron(cents(s.valoareprodus))},
                {"Avansul plătit", ron(cents(s.valavans))},
                {"Garanții", "Nu se cer garanții."},
            },
            {"Valoarea totală plătibilă cuprinde creditul și costul total al creditului. Totalul "
             "ratelor lunare cuprinde în plus asigurarea facultativă, dacă ați ales una."}};
}

FormSection costsSection(const ui::Form1& form, const FormFigures& f, const std::string& dae,
                         const tariff::InsuranceOption* insurance, const std::string& late) {
    const core::SimulationState& s = form.state();
    const tariff::Terms& terms = s.tarif->terms();
    const bool compulsory = insurance != nullptr && insurance->compulsory;
    const bool insured = insurance != nullptr && insurance->monthly_rate > 0;
    FormSection out{costsHeading, {}, {}};
    out.lines = {
        {"Rata dobânzii anuale", percent(s.dobanda) + ", fixă pe toată durata creditului"},
        {"Dobânda anuală efectivă (DAE)", dae},
        {"Asigurare obligatorie pentru obținerea creditului", compulsory ? "Da" : "Nu"},
        {"Comision de acordare", percent(terms.granting_commission.rate) + " din credit (minimum " +
                                     ron(cents(terms.granting_commission.minimum)) +
                                     "): " + ron(f.granting) + ", finanțat în credit"},
        {"Comision de administrare",
         percent(s.comgestluna) + " pe lună din soldul creditului; total " + ron(f.commission)},
        {"Asigurare", insured ? insurance->name + ", " + percent(insurance->monthly_rate) +
                                    " pe lună; total " + ron(f.insurance) +
                                    (compulsory ? "; obligatorie" : "; facultativă")
                              : std::string("fără asigurare")},
        {"Dobânda totală", ron(f.interest)},
        {"Costul total al creditului", ron(f.totalCost)},
        {"Costuri în caz de plăți întârziate", late},
    };
    std::string example = "Exemplu reprezentativ: pentru o valoare totală a creditului de " +
                          ron(f.totalCredit) + ", pe " + months(s.durata) +
                          ", cu o rată a dobânzii fixe de " + percent(s.dobanda) +
                          " pe an, un comision de acordare de " + ron(f.granting) +
                          " finanțat în credit și un comision de administrare de " +
                          percent(s.comgestluna) + " pe lună din sold, ";
    if (compulsory) {
        example += "cu asigurarea obligatorie " + insurance->name + " inclusă, ";
    } else {
        example += "fără asigurare (o asigurare facultativă nu intră în DAE), ";
    }
    example += "DAE este " + dae + ", iar valoarea totală plătibilă este " + ron(f.payable) + ".";
    out.sentences = {
        example,
        "DAE este calculată presupunând că rata dobânzii și comisioanele rămân neschimbate pe "
        "toată durata contractului, că ratele se plătesc la termen și că anul are douăsprezece "
        "luni egale.",
    };
    return out;
}

FormSection legalSection(const tariff::Terms& terms) {
    const tariff::EarlyRepayment early = terms.earlyRepayment();
    std::string repayment =
        "Puteți rambursa creditul anticipat oricând, integral sau parțial. Creditorul poate cere o "
        "compensație de " +
        percent(early.compensation) + " din suma rambursată anticipat, respectiv de " +
        percent(early.compensation_last_year) +
        " când până la sfârșitul contractului a rămas cel mult un an. ";
    repayment += early.granting_commission_refund == tariff::EarlyRepayment::Refund::linear
                     ? "Comisionul de acordare vi se restituie proporțional cu lunile rămase "
                       "din contract."
                     : "Comisionul de acordare nu se restituie.";
    // Without a period in the tariff the form promises nothing beyond the day it is issued.
    const std::string validity =
        terms.information_valid_days
            ? "Informațiile din acest formular sunt valabile " +
                  std::to_string(*terms.information_valid_days) +
                  " zile de la data emiterii de mai jos."
            : std::string("Informațiile din acest formular sunt valabile la data emiterii de mai "
                          "jos.");
    return {legalHeading,
            {},
            {
                ("Dreptul de retragere: aveți dreptul să vă retrageți din contractul de credit în "
                 "termen de 14 zile calendaristice de la semnare, fără să precizați motivul."),
                "Rambursarea anticipată: " + repayment,
                ("Consultarea unei baze de date: dacă cererea de credit este respinsă în urma "
                 "consultării unei baze de date, creditorul vă informează imediat și gratuit "
                 "despre rezultat și despre baza de date consultată."),
                ("Dreptul la un exemplar al proiectului de contract: la cerere, primiți gratuit un "
                 "exemplar al proiectului de contract de credit."),
                "Perioada de valabilitate: " + validity,
            }};
}

} // namespace

std::string legalSummary(const ui::Form1& form) {
    const LegalFigures legal = legalFigures(form);
    if (!legal.valid) {
        return {};
    }
    const auto ronOf = [](const std::optional<double>& x) {
        return x ? amount(*x) + " RON" : std::string(noValue);
    };
    std::string out =
        "Cifre legale: credit total " + ronOf(legal.totalCredit) + ", cost total " +
        ronOf(legal.totalCost) + ", total platibil " + ronOf(legal.payable) + ", DAE legala " +
        (legal.dae ? legalPercent(*legal.dae) : "nu exista (" + legal.daeReason + ")");
    // The cost per day is a small share: four decimals of a percent keep it readable.
    if (legal.dailyCost) {
        out += ", cost pe zi " + fourDecimals(*legal.dailyCost * 100) + " %";
    }
    if (legal.payableRatio) {
        out += ", total platibil / credit " + amount(*legal.payableRatio);
    }
    for (const LimitBreach& breach : legal.breaches) {
        out += "\nDepaseste limita legala: " + breachText(breach);
    }
    return out;
}

std::string documentRefusal(const ui::Form1& form) {
    return documentGate(form).reason;
}

std::string standardFormRefusal(const ui::Form1& form) {
    if (const DocumentGate gate = informationFormGate(form); !gate.allowed) {
        return gate.reason;
    }
    // The form must show the DAE; a credit whose flows have none is not one to sign.
    if (const LegalFigures legal = legalFigures(form); !legal.dae) {
        return "DAE legala nu poate fi calculata (" + legal.daeReason +
               "): formularul de informatii standard nu poate fi emis.";
    }
    return {};
}

StandardForm standardForm(const ui::Form1& form, const std::optional<ui::Shop>& shop,
                          const std::string& issued) {
    StandardForm out;
    out.title = standardFormTitle;
    out.reason = standardFormRefusal(form);
    const tariff::Tariff& tarif = *form.state().tarif;
    if (tarif->creditor) {
        out.creditor = tarif->creditor->name;
    }
    if (!out.reason.empty()) {
        return out;
    }
    out.valid = true;
    const ScheduleOffer schedule = scheduleOffer(form);
    const LegalFigures legal = legalFigures(form, schedule);
    const tariff::InsuranceOption* insurance = chosenInsurance(form);
    const std::optional<FormFigures> figures = figuresOf(form, schedule, legal.compulsoryInsurance);
    if (!figures) {
        out.valid = false;
        out.reason = "Sumele creditului sunt prea mari pentru a fi scrise in formular.";
        return out;
    }
    const FormFigures& f = *figures;
    const std::string dae = legal.dae ? legalPercent(*legal.dae) : std::string(noValue);
    const std::string late = tarif->late_payment.value_or("Stabilite prin contractul de credit.");
    const core::SimulationState& s = form.state();
    out.sections = {
        essentials(tarif.terms(), s, f, dae, late),
        creditorSection(*tarif->creditor, shop),
        featuresSection(s, f, schedule, insurance != nullptr && insurance->monthly_rate > 0),
        costsSection(form, f, dae, insurance, late),
        legalSection(tarif.terms()),
    };
    out.closing = {
        {"Data și ora emiterii", issued},
        {"Tariful", tarif.label()},
    };
    out.acknowledgement = "Am primit acest formular, pe hârtie, înainte de a semna contractul de "
                          "credit.";
    return out;
}

} // namespace offer
