#include "offer/document_gate.h"
#include "offer/standard_form.h"
#include "tariff/read.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The standard information form as text, below the window that prints it: its figures add up,
// its sentences follow the tariff, and a credit that may not be granted gets no form.
namespace {

using core::Control;
using nlohmann::json;

tariff::Tariff lenderTariff(const std::function<void(json&)>& edit) {
    std::ifstream in(SIMCREDIT_LENDER_TARIFF, std::ios::binary);
    json doc = json::parse(std::string(std::istreambuf_iterator<char>(in), {}));
    doc["legal_limits"] = json::array();
    edit(doc);
    tariff::ReadResult r = tariff::read(doc.dump());
    EXPECT_TRUE(r.tariff) << (r.problems.empty() ? "" : r.problems[0].text());
    return std::move(*r.tariff);
}

// The assessed customer of the offer example: 3500 with 500 down over 24 months.
class Customer {
public:
    explicit Customer(tariff::Tariff tarif, int insurance = 1, const std::string& vn = "4200")
        : tarif_(std::make_unique<tariff::Tariff>(std::move(tarif))), form_(log_, *tarif_) {
        form_.Form_Load();
        ui::ControlModel& c = form_.controls();
        c.setText(Control::vn, vn);
        c.setText(Control::ar, "350");
        c.setText(Control::ad, "100");
        c.setText(Control::tbvp, "3500");
        c.setText(Control::tbavans, "500");
        c.setText(Control::tbdurcred, "24");
        c.select(Control::cbasig, static_cast<std::int16_t>(insurance));
    }
    ui::Form1& form() { return form_; }

private:
    ui::MessageLog log_;
    std::unique_ptr<tariff::Tariff> tarif_;
    ui::Form1 form_;
};

const offer::FormSection& section(const offer::StandardForm& f, const std::string& heading) {
    for (const offer::FormSection& s : f.sections) {
        if (s.heading == heading) {
            return s;
        }
    }
    ADD_FAILURE() << "no section " << heading;
    static const offer::FormSection none;
    return none;
}

std::string value(const offer::FormSection& s, const std::string& label) {
    for (const offer::Line& line : s.lines) {
        if (line.label == label) {
            return line.value;
        }
    }
    ADD_FAILURE() << "no line " << label << " in " << s.heading;
    return {};
}

bool hasLine(const offer::FormSection& s, const std::string& label) {
    for (const offer::Line& line : s.lines) {
        if (line.label == label) {
            return true;
        }
    }
    return false;
}

// "2345.67 RON" (or a value starting so) in cents; -1 when it does not start with an amount.
std::int64_t centsOf(const std::string& text) {
    std::int64_t whole = 0;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, whole);
    if (ec != std::errc{} || p + 3 > end || *p != '.') {
        return -1;
    }
    std::int64_t hundredths = 0;
    auto [q, ec2] = std::from_chars(p + 1, p + 3, hundredths);
    return ec2 == std::errc{} && q == p + 3 ? whole * 100 + hundredths : -1;
}

TEST(StandardForm, FiguresAddUpAndFollowTheTariff) {
    Customer customer(lenderTariff([](json&) {}));
    const ui::Shop shop{"Magazinul Ștefan", "Str. Țării 9", std::string("0700 000 000")};
    const offer::StandardForm f = offer::standardForm(customer.form(), shop, "08.12.2026 14:30");
    ASSERT_TRUE(f.valid) << f.reason;
    EXPECT_EQ(f.reason, "");
    EXPECT_EQ(f.title, offer::standardFormTitle);
    EXPECT_EQ(f.creditor, "Omnira Credit IFN S.A.");
    ASSERT_EQ(f.sections.size(), 5U);

    const offer::FormSection& essentials = section(f, offer::essentialsHeading);
    const offer::FormSection& costs = section(f, offer::costsHeading);
    const offer::FormSection& features = section(f, offer::featuresHeading);
    const std::int64_t credit = centsOf(value(essentials, "Valoarea totală a creditului"));
    const std::int64_t payable = centsOf(value(essentials, "Valoarea totală plătibilă"));
    const std::int64_t cost = centsOf(value(costs, "Costul total al creditului"));
    const std::int64_t interest = centsOf(value(costs, "Dobânda totală"));
    EXPECT_EQ(credit, 300000); // the product less the down payment
    EXPECT_GT(cost, interest); // the commissions are costs too, never rebates
    EXPECT_EQ(payable, credit + cost);
    EXPECT_EQ(centsOf(value(features, "Valoarea totală plătibilă")), payable);
    EXPECT_EQ(centsOf(value(features, "Avansul plătit")), 50000);
    EXPECT_EQ(value(essentials, "Durata contractului de credit"), "24 luni");
    EXPECT_EQ(value(essentials, "Costuri în caz de plăți întârziate"),
              "Dobanda penalizatoare de 0,1% pe zi aplicata sumei restante.");
    const std::string granting = value(costs, "Comision de acordare");
    EXPECT_NE(granting.find("finanțat în credit"), std::string::npos) << granting;
    EXPECT_EQ(granting.find('-'), std::string::npos) << granting;

    // The optional "Standard" insurance: in the instalments, not in the cost.
    EXPECT_EQ(value(costs, "Asigurare obligatorie pentru obținerea creditului"), "Nu");
    const std::string insurance = value(costs, "Asigurare");
    EXPECT_EQ(insurance.rfind("Standard, ", 0), 0U) << insurance;
    EXPECT_NE(insurance.find("; facultativă"), std::string::npos) << insurance;
    EXPECT_GT(centsOf(value(features, "Totalul ratelor lunare, cu asigurarea facultativă")),
              payable - credit);
    EXPECT_NE(costs.sentences.at(0).find("fără asigurare"), std::string::npos);

    const offer::FormSection& creditor = section(f, offer::creditorHeading);
    EXPECT_EQ(value(creditor, "Tipul creditorului"), "Instituție financiară nebancară (IFN)");
    EXPECT_EQ(value(creditor, "E-mail"), "contact@omnira.example");
    EXPECT_EQ(value(creditor, "Intermediar de credit"), "Magazinul Ștefan");
    EXPECT_EQ(value(creditor, "Telefonul intermediarului"), "0700 000 000");
    const offer::FormSection& legal = section(f, offer::legalHeading);
    EXPECT_EQ(legal.sentences.back(), "Perioada de valabilitate: Informațiile din acest formular "
                                      "sunt valabile 15 zile de la data emiterii de mai jos.");
    ASSERT_EQ(f.closing.size(), 2U);
    EXPECT_EQ(f.closing[0].value, "08.12.2026 14:30");
    EXPECT_FALSE(f.acknowledgement.empty());
}

TEST(StandardForm, CompulsoryInsuranceABankAndNoShop) {
    Customer customer(lenderTariff([](json& doc) {
        doc["insurance"][1]["compulsory"] = true;
        doc["creditor"]["kind"] = "banca";
        doc["creditor"].erase("phone");
        doc["creditor"].erase("email");
        doc["creditor"].erase("web");
        doc["creditor"].erase("registry");
        doc.erase("information_valid_days");
        doc.erase("late_payment");
    }));
    const offer::StandardForm f = offer::standardForm(customer.form(), std::nullopt, "today");
    ASSERT_TRUE(f.valid) << f.reason;
    const offer::FormSection& costs = section(f, offer::costsHeading);
    EXPECT_EQ(value(costs, "Asigurare obligatorie pentru obținerea creditului"), "Da");
    EXPECT_NE(value(costs, "Asigurare").find("; obligatorie"), std::string::npos);
    EXPECT_NE(costs.sentences.at(0).find("cu asigurarea obligatorie Standard inclusă"),
              std::string::npos)
        << costs.sentences.at(0);
    // A compulsory insurance is a cost of the credit: the payable total holds it.
    const offer::FormSection& essentials = section(f, offer::essentialsHeading);
    const std::int64_t credit = centsOf(value(essentials, "Valoarea totală a creditului"));
    EXPECT_EQ(centsOf(value(essentials, "Valoarea totală plătibilă")),
              credit + centsOf(value(costs, "Costul total al creditului")));

    const offer::FormSection& creditor = section(f, offer::creditorHeading);
    EXPECT_EQ(value(creditor, "Tipul creditorului"), "Instituție de credit (bancă)");
    for (const char* absent : {"Telefon", "E-mail", "Adresa de internet", "Intermediar de credit",
                               "Număr de înregistrare în registrul creditorilor"}) {
        EXPECT_FALSE(hasLine(creditor, absent)) << absent;
    }
    EXPECT_EQ(value(essentials, "Costuri în caz de plăți întârziate"),
              "Stabilite prin contractul de credit.");
    EXPECT_EQ(section(f, offer::legalHeading).sentences.back(),
              "Perioada de valabilitate: Informațiile din acest formular sunt valabile la data "
              "emiterii de mai jos.");
}

TEST(StandardForm, NoFormForACreditThatMayNotBeGranted) {
    // Over a legal ceiling of the DAE: refused with the breach named, and nothing else written.
    Customer over(lenderTariff([](json& doc) {
        doc["legal_limits"] = json::parse(R"([{"name": "DAE maxima IFN", "dae_max": 0.345}])");
    }));
    const offer::StandardForm f = offer::standardForm(over.form(), std::nullopt, "today");
    EXPECT_FALSE(f.valid);
    EXPECT_EQ(f.reason, offer::standardFormRefusal(over.form()));
    EXPECT_NE(f.reason.find("DAE maxima IFN"), std::string::npos) << f.reason;
    EXPECT_EQ(f.creditor, "Omnira Credit IFN S.A.");
    EXPECT_TRUE(f.sections.empty());
    EXPECT_TRUE(f.closing.empty());
    const std::string summary = offer::legalSummary(over.form());
    EXPECT_EQ(summary.rfind("Cifre legale: credit total 3000.00 RON", 0), 0U) << summary;
    EXPECT_NE(summary.find("\nDepaseste limita legala: DAE maxima IFN: 45.04 % > 34.50 %"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find(", cost pe zi "), std::string::npos) << summary;

    // A refused customer: no form, no legal summary.
    Customer refused(lenderTariff([](json&) {}), 1, "500");
    const offer::StandardForm none = offer::standardForm(refused.form(), std::nullopt, "today");
    EXPECT_FALSE(none.valid);
    EXPECT_FALSE(none.reason.empty());
    EXPECT_EQ(offer::legalSummary(refused.form()), "");
    EXPECT_EQ(offer::documentRefusal(refused.form()), none.reason);
}

// A typed insurance that is no item of the list insures nothing, and a shop without a phone
// is named without one.
TEST(StandardForm, TypedInsuranceAndAShopWithoutPhone) {
    Customer customer(lenderTariff([](json&) {}));
    customer.form().controls().setText(Control::cbasig, "Altceva");
    const ui::Shop shop{"Magazinul Ștefan", "Str. Țării 9", std::nullopt};
    const offer::StandardForm f = offer::standardForm(customer.form(), shop, "today");
    ASSERT_TRUE(f.valid) << f.reason;
    const offer::FormSection& costs = section(f, offer::costsHeading);
    EXPECT_EQ(value(costs, "Asigurare obligatorie pentru obținerea creditului"), "Nu");
    EXPECT_EQ(value(costs, "Asigurare"), "fără asigurare");
    const offer::FormSection& features = section(f, offer::featuresHeading);
    EXPECT_EQ(value(features, "Ce cuprinde fiecare rată"),
              "dobânda, comisionul de administrare și o parte din credit (principal)");
    // Without insurance the instalments pay exactly the credit and its cost.
    EXPECT_EQ(centsOf(value(features, "Totalul ratelor lunare, cu asigurarea facultativă")),
              centsOf(value(features, "Valoarea totală plătibilă")));
    const offer::FormSection& creditor = section(f, offer::creditorHeading);
    EXPECT_EQ(value(creditor, "Intermediar de credit"), "Magazinul Ștefan");
    EXPECT_EQ(value(creditor, "Adresa intermediarului"), "Str. Țării 9");
    EXPECT_FALSE(hasLine(creditor, "Telefonul intermediarului"));
}

// A lender that refunds nothing on early repayment says so; a tariff without its creditor gets
// no form at all.
TEST(StandardForm, NoRefundAndNoCreditor) {
    Customer noRefund(lenderTariff(
        [](json& doc) { doc["early_repayment"]["granting_commission_refund"] = "none"; }));
    const offer::StandardForm f = offer::standardForm(noRefund.form(), std::nullopt, "today");
    ASSERT_TRUE(f.valid) << f.reason;
    const std::string repayment = section(f, offer::legalHeading).sentences.at(1);
    EXPECT_NE(repayment.find("compensație de 1.00 % din suma rambursată anticipat, respectiv de "
                             "0.50 %"),
              std::string::npos)
        << repayment;
    EXPECT_TRUE(repayment.ends_with(" Comisionul de acordare nu se restituie.")) << repayment;

    Customer anonymous(lenderTariff([](json& doc) { doc.erase("creditor"); }));
    const offer::StandardForm none = offer::standardForm(anonymous.form(), std::nullopt, "today");
    EXPECT_FALSE(none.valid);
    EXPECT_EQ(none.creditor, "");
    EXPECT_EQ(none.reason, "Tariful nu numeste creditorul: formularul de informatii standard nu "
                           "poate fi emis.");
    EXPECT_TRUE(none.sections.empty());
}

// Early repayment is stated with the lender's own shares, and with the usual ones and the
// linear refund when the tariff leaves them out.
TEST(StandardForm, EarlyRepaymentOnTheLendersTerms) {
    struct Case {
        const char* what;
        std::function<void(json&)> edit;
        const char* shares;
    };
    const std::vector<Case> cases = {
        {"own shares",
         [](json& doc) {
             doc["early_repayment"] = {{"compensation", 0.008},
                                       {"compensation_last_year", 0.0025},
                                       {"granting_commission_refund", "linear"}};
         },
         "compensație de 0.80 % din suma rambursată anticipat, respectiv de 0.25 % când"},
        {"block left out", [](json& doc) { doc.erase("early_repayment"); },
         "compensație de 1.00 % din suma rambursată anticipat, respectiv de 0.50 % când"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Customer customer(lenderTariff(c.edit));
        const offer::StandardForm f = offer::standardForm(customer.form(), std::nullopt, "today");
        ASSERT_TRUE(f.valid) << f.reason;
        const std::string repayment = section(f, offer::legalHeading).sentences.at(1);
        EXPECT_TRUE(repayment.starts_with("Rambursarea anticipată: Puteți rambursa creditul "
                                          "anticipat oricând, integral sau parțial."))
            << repayment;
        EXPECT_NE(repayment.find(c.shares), std::string::npos) << repayment;
        EXPECT_TRUE(repayment.ends_with(" Comisionul de acordare vi se restituie proporțional cu "
                                        "lunile rămase din contract."))
            << repayment;
    }
}

// Figures no form computes, set by hand in an accepted simulation: a month that receives money
// leaves the credit without a legal DAE, and an amount beyond what cents count cannot be
// printed. Neither may reach the customer's paper, and each refusal says why.
TEST(StandardForm, NoFormWithoutADaeOrForAmountsBeyondCents) {
    const std::string notUnique = offer::daeExactFailureText(schedule::DaeExactFailure::NotUnique);
    Customer ceiling(lenderTariff([](json& doc) {
        doc["legal_limits"] = json::parse(R"([{"name": "DAE maxima IFN", "dae_max": 0.345}])");
    }));
    // Month 3 receives 5000 that month 4 pays back: the totals, and so the cost, stay.
    const auto receive = [](Customer& c) {
        c.form().state().months.aprincipal[3] -= 5000;
        c.form().state().months.aprincipal[4] += 5000;
    };
    receive(ceiling);
    const offer::ScheduleOffer schedule = offer::scheduleOffer(ceiling.form());
    ASSERT_TRUE(schedule.valid) << schedule.reason;
    EXPECT_FALSE(schedule.daeExact);
    EXPECT_EQ(schedule.daeExactReason, notUnique);
    EXPECT_EQ(offer::offerText(ceiling.form(), schedule).keyFigures.at(6).value,
              std::string(offer::noValue) + " (" + notUnique + ")");
    const offer::LegalFigures legal = offer::legalFigures(ceiling.form());
    ASSERT_TRUE(legal.valid);
    EXPECT_FALSE(legal.dae);
    EXPECT_EQ(legal.daeReason, notUnique);
    // A DAE that cannot be found is not within its ceiling.
    ASSERT_EQ(legal.breaches.size(), 1U);
    EXPECT_FALSE(legal.breaches[0].value);
    const std::string breach = "DAE maxima IFN: DAE nu poate fi calculata, limita este 34.50 %";
    EXPECT_EQ(offer::documentGate(ceiling.form()).reason, "Depaseste limita legala: " + breach);
    EXPECT_EQ(offer::standardFormRefusal(ceiling.form()), "Depaseste limita legala: " + breach);
    const std::string summary = offer::legalSummary(ceiling.form());
    EXPECT_NE(summary.find(", DAE legala nu exista (" + notUnique + "), cost pe zi "),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("\nDepaseste limita legala: " + breach), std::string::npos) << summary;

    // Without a ceiling the gate lets it through, but the form must show a DAE.
    Customer plain(lenderTariff([](json&) {}));
    receive(plain);
    EXPECT_TRUE(offer::documentGate(plain.form()).allowed);
    const std::string noDae = "DAE legala nu poate fi calculata (" + notUnique +
                              "): formularul de informatii standard nu poate fi emis.";
    EXPECT_EQ(offer::standardFormRefusal(plain.form()), noDae);
    const offer::StandardForm f = offer::standardForm(plain.form(), std::nullopt, "today");
    EXPECT_FALSE(f.valid);
    EXPECT_EQ(f.reason, noDae);
    EXPECT_TRUE(f.sections.empty());

    // Paid back nowhere, the 5000 make the cost negative: the cost per day keeps its sign.
    Customer negative(lenderTariff([](json&) {}));
    negative.form().state().months.aprincipal[3] -= 5000;
    const offer::LegalFigures rebate = offer::legalFigures(negative.form());
    ASSERT_TRUE(rebate.dailyCost && *rebate.dailyCost < 0);
    const std::string rebateSummary = offer::legalSummary(negative.form());
    const std::size_t at = rebateSummary.find(", cost pe zi -");
    ASSERT_NE(at, std::string::npos) << rebateSummary;
    double perDay = 0;
    const char* first = rebateSummary.data() + at + 13;
    const auto [end, ec] =
        std::from_chars(first, rebateSummary.data() + rebateSummary.size(), perDay);
    ASSERT_EQ(ec, std::errc{});
    EXPECT_EQ(end - first, static_cast<std::ptrdiff_t>(std::string_view(first).find('.') + 5));
    EXPECT_NEAR(perDay, *rebate.dailyCost * 100, 0.00005);
    EXPECT_EQ(std::string_view(end, 2), " %");

    // An optional insurance of 10^13 RON in one month: the DAE stands, the cents do not.
    Customer large(lenderTariff([](json&) {}));
    large.form().state().months.aasig[3] = 1e13;
    EXPECT_EQ(offer::standardFormRefusal(large.form()), "");
    const offer::StandardForm big = offer::standardForm(large.form(), std::nullopt, "today");
    EXPECT_FALSE(big.valid);
    EXPECT_EQ(big.reason, "Sumele creditului sunt prea mari pentru a fi scrise in formular.");
    EXPECT_TRUE(big.sections.empty() && big.closing.empty());
    const offer::OfferText text = offer::offerText(large.form());
    EXPECT_FALSE(text.valid);
    EXPECT_EQ(text.reason, "Sumele creditului sunt prea mari pentru a fi scrise in oferta.");
    EXPECT_TRUE(text.rows.empty() && text.inputs.empty());
}

} // namespace
