// Early repayment as the window writes it: the amount as typed, the plain words and the months
// after in cents that add up.

#include "offer/early_text.h"
#include "tariff/read.h"
#include "ui/form1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using offer::EarlyMode;

TEST(EarlyAmount, ReadAsAnAgentTypesIt) {
    struct Case {
        std::string text;
        std::optional<double> value;
    };
    const std::vector<Case> cases = {
        {"1000", 1000},
        {"1000.50", 1000.5},
        {"1000,50", 1000.5},
        {" 250 ", 250},
        {"\t1000,5\t", 1000.5},
        {" \t-7 \t", -7},
        {" \t ", std::nullopt},
        {"0", 0},
        {"-5", -5},
        {".5", 0.5},
        {"", std::nullopt},
        {"1.000,50", std::nullopt},
        {"1e3", std::nullopt},
        {"abc", std::nullopt},
        {"5-", std::nullopt},
        {"-", std::nullopt},
        {",", std::nullopt},
        {"nan", std::nullopt},
        {"1" + std::string(400, '0'), std::nullopt}, // beyond what a double holds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("'" + c.text + "'");
        EXPECT_EQ(offer::readAmount(c.text), c.value);
    }
}

struct Window {
    ui::MessageLog log;
    ui::Form1 form{log};

    Window() {
        form.Form_Load();
        form.controls().setText(core::Control::tbvp, "2000");
        form.controls().setText(core::Control::tbavans, "200");
        form.controls().setText(core::Control::tbdurcred, "24");
        form.controls().select(core::Control::cbasig, 1);
    }
};

long long cents(const std::string& text) {
    const auto point = text.find('.');
    const long long whole = std::stoll(text.substr(0, point));
    const long long fraction = std::stoll(text.substr(point + 1));
    return text.starts_with('-') ? whole * 100 - fraction : whole * 100 + fraction;
}

TEST(EarlyText, MonthsAfterInCentsAddUp) {
    const Window w;
    for (EarlyMode mode : {EarlyMode::rata, EarlyMode::durata}) {
        for (long long month : {1LL, 12LL, 23LL}) {
            SCOPED_TRACE(std::to_string(month));
            const offer::EarlyText t = offer::earlyText(w.form, {month, mode, 77.77});
            ASSERT_TRUE(t.valid) << t.reason;
            ASSERT_FALSE(t.rows.empty());
            for (std::size_t column = 1; column <= 5; ++column) {
                long long sum = 0;
                for (const offer::Row& r : t.rows) {
                    sum += cents(r[column]);
                }
                EXPECT_EQ(sum, cents(t.totals[column])) << t.header[column];
            }
            EXPECT_EQ(t.rows.back()[6], "0.00");
            // The principal repays what is left after the repayment, to the cent.
            const offer::Early e = offer::earlyRepayment(w.form, {month, mode, 77.77});
            EXPECT_EQ(t.totals[5], offer::amount(e.balance - e.amount));
        }
    }
}

TEST(EarlyText, PlainWords) {
    const Window w;
    const offer::Early whole = offer::earlyRepayment(w.form, {12, EarlyMode::total, 0});
    const offer::EarlyText t = offer::earlyText(w.form, {12, EarlyMode::total, 0});
    ASSERT_TRUE(t.valid);
    EXPECT_EQ(t.lastMonth, 23);
    EXPECT_EQ(t.payToday,
              "Astazi clientul plateste " + offer::amount(whole.payToday) +
                  " RON: suma rambursata de " + offer::amount(whole.amount) +
                  " RON plus compensatia de " + offer::amount(whole.compensation) + " RON minus " +
                  offer::amount(whole.refund) +
                  " RON din comisionul de acordare, pentru lunile care nu mai urmeaza.");
    EXPECT_EQ(t.saving, "Fata de plata tuturor ratelor ramase, clientul economiseste " +
                            offer::amount(whole.saving) + " RON.");
    EXPECT_NE(t.compensation.find("0.50 % din suma"), std::string::npos) << t.compensation;
    EXPECT_NE(t.compensation.find("cel mult un an"), std::string::npos);
    EXPECT_EQ(t.after, "Creditul se inchide: nu mai urmeaza nicio rata.");
    EXPECT_TRUE(t.rows.empty());
    EXPECT_EQ(t.figures.size(), 8U);

    const offer::EarlyText late = offer::earlyText(w.form, {23, EarlyMode::total, 0});
    EXPECT_NE(late.compensation.find(" Compensatia este 0.55 RON."), std::string::npos)
        << late.compensation;

    const offer::EarlyText shorter = offer::earlyText(w.form, {12, EarlyMode::durata, 1000});
    EXPECT_EQ(shorter.after.rfind("Rata ramane " + offer::amount(w.form.state().rataluna) +
                                      " RON: urmeaza 2 rate in loc de 12, ultima de 32.11 RON.",
                                  0),
              0U)
        << shorter.after;
    EXPECT_EQ(shorter.figures.size(), 9U);
    // The words and the table say the same last instalment and total, in cents.
    EXPECT_EQ(shorter.rows.back()[1], "32.11");
    EXPECT_EQ(shorter.figures[7].value, shorter.totals[1] + " RON");
    // Named as the schedule and the documents name them: the monthly payment and the whole
    // amount repaid.
    EXPECT_EQ(shorter.header[1], "Rata lunara");
    EXPECT_EQ(shorter.figures[7].label, "Total de rambursat in lunile urmatoare");

    const offer::EarlyText none = offer::earlyText(w.form, {12, EarlyMode::rata, 5000});
    EXPECT_FALSE(none.valid);
    EXPECT_EQ(none.lastMonth, 23);
    EXPECT_TRUE(none.figures.empty());
}

// One month left after the repayment is said in the singular; with no offer there is no month
// to repay after.
TEST(EarlyText, OneMonthLeftAndNoOffer) {
    Window w;
    const double rataluna = w.form.state().rataluna;
    const offer::EarlyText lower = offer::earlyText(w.form, {23, EarlyMode::rata, 10});
    ASSERT_TRUE(lower.valid) << lower.reason;
    ASSERT_EQ(lower.rows.size(), 1U);
    EXPECT_EQ(lower.after, "Durata ramane aceeasi: urmeaza o rata de " + lower.rows[0][1] +
                               " RON in loc de " + offer::amount(rataluna) + " RON.");
    EXPECT_EQ(lower.figures[6].label, "Rata noua");
    EXPECT_EQ(lower.figures[6].value, lower.rows[0][1] + " RON"); // as the table says it
    const offer::EarlyText shorter = offer::earlyText(w.form, {23, EarlyMode::durata, 10});
    ASSERT_TRUE(shorter.valid) << shorter.reason;
    EXPECT_EQ(shorter.after, "Rata ramane " + offer::amount(rataluna) +
                                 " RON: urmeaza o rata in loc de 1, ultima de " +
                                 shorter.rows[0][1] + " RON.");
    EXPECT_EQ(shorter.figures[6].label, "Rata lunara");

    w.form.controls().setText(core::Control::tbvp, "");
    const offer::EarlyText none = offer::earlyText(w.form, {1, EarlyMode::total, 0});
    EXPECT_FALSE(none.valid);
    EXPECT_EQ(none.lastMonth, 0);
    EXPECT_EQ(none.reason, offer::scheduleOffer(w.form).reason);
    EXPECT_TRUE(none.figures.empty() && none.rows.empty());
}

// A credit of 1800 over 24 months on a lender's tariff file.
struct LenderForm {
    explicit LenderForm(const char* file) : read(tariff::readFile(file)) {
        if (!read.tariff) {
            return;
        }
        form = std::make_unique<ui::Form1>(log, *read.tariff);
        form->Form_Load();
        form->controls().setText(core::Control::tbvp, "2000");
        form->controls().setText(core::Control::tbavans, "200");
        form->controls().setText(core::Control::tbdurcred, "24");
    }
    tariff::ReadResult read;
    ui::MessageLog log;
    std::unique_ptr<ui::Form1> form;
};

// A lender whose grid has no interest beyond a year: the compensation's cap is nothing.
TEST(EarlyText, WithoutInterestTheCapIsNothing) {
    LenderForm w(SIMCREDIT_NORD_TARIFF);
    ASSERT_TRUE(w.read.tariff);
    ui::Form1& form = *w.form;
    ASSERT_EQ(form.state().dobanda, 0);
    const offer::Early e = offer::earlyRepayment(form, {6, EarlyMode::total, 0});
    ASSERT_TRUE(e.valid) << e.reason;
    EXPECT_EQ(e.interestLeft, 0);
    EXPECT_EQ(e.compensation, 0);
    EXPECT_EQ(e.payToday, e.balance - e.refund);
    const offer::EarlyText t = offer::earlyText(form, {6, EarlyMode::total, 0});
    EXPECT_NE(t.compensation.find("Limita se aplica: compensatia este 0.00 RON."),
              std::string::npos)
        << t.compensation;
}

// A lender that refunds nothing says nothing of the granting commission; a saving below zero,
// from an instalment set by hand below what the months cost, is said as an extra payment.
TEST(EarlyText, NoRefundAndAPaymentAboveTheInstalments) {
    LenderForm w(SIMCREDIT_EARLY_NONE_TARIFF);
    ASSERT_TRUE(w.read.tariff);
    ui::Form1& form = *w.form;
    const offer::Early e = offer::earlyRepayment(form, {12, EarlyMode::total, 0});
    ASSERT_TRUE(e.valid) << e.reason;
    EXPECT_EQ(e.refund, 0);
    const offer::EarlyText t = offer::earlyText(form, {12, EarlyMode::total, 0});
    EXPECT_EQ(t.payToday, "Astazi clientul plateste " + offer::amount(e.payToday) +
                              " RON: suma rambursata de " + offer::amount(e.amount) +
                              " RON plus compensatia de " + offer::amount(e.compensation) +
                              " RON.");

    form.state().rataluna = 10;
    const offer::Early costly = offer::earlyRepayment(form, {12, EarlyMode::total, 0});
    ASSERT_TRUE(costly.valid) << costly.reason;
    ASSERT_LT(costly.saving, 0);
    EXPECT_EQ(offer::earlyText(form, {12, EarlyMode::total, 0}).saving,
              "Fata de plata tuturor ratelor ramase, clientul plateste cu " +
                  offer::amount(-costly.saving) + " RON mai mult.");
}

} // namespace
