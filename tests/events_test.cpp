#include "runtime/val.h"
#include "ui/form1.h"
#include "window_helpers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

// The window without a display, driven as the agent drives it: start-up, then keystrokes,
// choices and clicks, each one raising its notification.
namespace {

using core::Control;
using testing_helpers::backspace;
using testing_helpers::clear;
using testing_helpers::retype;
using testing_helpers::type;
using testing_helpers::visibleText;

const std::string tooLong = "Durata creditului este prea mare (Perioada maxima - 60 LUNI).\r";
const std::string tooShort = "Durata creditului este prea mica (Perioada minima - 6 LUNI).\r";
const std::string tooSmall = "Valoare produs prea mica (Creditul minim este de 510 RON)";

class Window : public ::testing::Test {
protected:
    void SetUp() override { form.Form_Load(); }

    ui::ControlModel& c() { return form.controls(); }
    const std::string& text(Control k) { return c().text(k); }
    const std::string& caption(Control k) { return c().caption(k); }
    std::string label10() { return visibleText(caption(Control::Label10)); }

    ui::MessageLog log;
    ui::Form1 form{log};
};

TEST_F(Window, StartUpEndState) {
    EXPECT_EQ(form.recalculations(), 2);
    EXPECT_TRUE(log.shown.empty());
    EXPECT_TRUE(form.faults().empty());
    EXPECT_EQ(caption(Control::Form1), "Simulator Credit Omnira");
    EXPECT_EQ(caption(Control::Label1), "CREDIT OMNIRA");
    EXPECT_EQ(text(Control::tbdurcred), "60");
    EXPECT_EQ(text(Control::cbasig), "Fara Asigurare");
    EXPECT_EQ(c().listIndex(Control::cbasig), 0);
    EXPECT_EQ(c().data(Control::cbasig).items,
              (std::vector<std::string>{"Fara Asigurare", "Standard", "Optim", "Senior"}));
    EXPECT_EQ(c().value(Control::Check1), 1);
    EXPECT_EQ(c().value(Control::Check2), 0);
    EXPECT_TRUE(c().visible(Control::Check1) && c().visible(Control::Check2));
    EXPECT_TRUE(c().visible(Control::Frame3) && c().visible(Control::Frame4));
    EXPECT_FALSE(c().visible(Control::Eroare));
    EXPECT_FALSE(c().visible(Control::Label10));
    EXPECT_FALSE(c().visible(Control::Frame6));
    // What the second recalculation wrote for empty boxes and 60 months.
    EXPECT_EQ(text(Control::tbdob), " 0.00%");
    EXPECT_EQ(caption(Control::lbrata), "0.00");
    EXPECT_EQ(caption(Control::lbasig), "0");
    EXPECT_EQ(caption(Control::lbcomisgest), "0.00");
    EXPECT_EQ(text(Control::bnr), "0.00  %");
    EXPECT_EQ(text(Control::tbsumacc), "");
    EXPECT_EQ(text(Control::tbratatlx), "0.00");
    EXPECT_EQ(caption(Control::lbdobaferenta), "0.00");
    EXPECT_EQ(caption(Control::lbdae), "");
    // Only the first recalculation saw an empty duration box: its error text is still there.
    EXPECT_EQ(label10(), visibleText(tooShort + "\r" + tooSmall));
    EXPECT_EQ(form.state().durata, 60);
    EXPECT_EQ(form.state().comacord, 0.087);
}

// Credit 2000 less 200 over 24 months for an income of 3000 with 200 of other instalments.
// Worked by hand: credit 1956.6 at 10.7 % (the grid, 13-36 months); commission 1.5 % of it
// 29.349; with "Standard" R = 113.447298 (the schedule example), insurance 8.60904, index
// 313.447298 / 3000 = 10.45 %, largest product 13110.198890 + 200, cost 24 R - 1956.6 + 156.6
// = 922.735, DAE 45.0399 % (the scan example). Without insurance a = 0.0239167 and
// R = 108.0945, index 10.27 %, cost 794.27, largest 14354.35, DAE 45.19 %. Paying cash, the
// commission is 1.7 %: 33.2622, and with "Standard" R = 115.93.
TEST_F(Window, WorkedCreditKeystrokeByKeystroke) {
    type(c(), Control::vn, "3000");
    type(c(), Control::ar, "200");
    type(c(), Control::tbvp, "2000");
    type(c(), Control::tbavans, "200");
    retype(c(), Control::tbdurcred, "24");
    struct Expected {
        const char* lbasig;
        const char* lbrata;
        const char* lbcomisgest;
        const char* bnr;
        const char* tbsumacc;
        const char* lbdobaferenta;
        const char* lbdae;
    };
    auto check = [this](const Expected& e) {
        EXPECT_EQ(text(Control::tbdob), " 10.70%");
        EXPECT_EQ(caption(Control::lbasig), e.lbasig);
        EXPECT_EQ(caption(Control::lbrata), e.lbrata);
        EXPECT_EQ(text(Control::tbratatlx), e.lbrata);
        EXPECT_EQ(caption(Control::lbcomisgest), e.lbcomisgest);
        EXPECT_EQ(text(Control::bnr), e.bnr);
        EXPECT_EQ(text(Control::tbsumacc), e.tbsumacc);
        EXPECT_EQ(caption(Control::lbdobaferenta), e.lbdobaferenta);
        EXPECT_EQ(caption(Control::lbdae), e.lbdae);
        EXPECT_FALSE(c().visible(Control::Eroare));
        EXPECT_FALSE(c().visible(Control::Frame6));
    };
    {
        SCOPED_TRACE("Fara Asigurare, Debit Direct");
        check({"0", "108.09", "29.35", "10.27  %", "14354.35", "794.26", "45.19 %"});
    }
    c().select(Control::cbasig, 1);
    {
        SCOPED_TRACE("Standard, Debit Direct");
        check({"8.60904", "113.45", "29.35", "10.45  %", "13310.20", "922.74", "45.04 %"});
    }
    form.click(Control::Check2);
    {
        SCOPED_TRACE("Standard, Numerar");
        check({"8.60904", "115.93", "33.26", "10.53  %", "13044.30", "982.24", "48.61 %"});
    }
    EXPECT_TRUE(form.faults().empty());
}

// The either-or pair: each click ends with exactly one box ticked and one recalculation, which
// sees both final values (the commission shows which rate it used).
TEST_F(Window, PaymentPairRows) {
    type(c(), Control::tbvp, "2000");
    type(c(), Control::tbavans, "200");
    retype(c(), Control::tbdurcred, "24");
    struct Row {
        const char* action;
        Control clicked;
        int check1, check2;
        const char* lbcomisgest;
    };
    const std::vector<Row> rows = {
        {"ticks Check2", Control::Check2, 0, 1, "33.26"},
        {"unticks Check2", Control::Check2, 1, 0, "29.35"},
        {"unticks Check1", Control::Check1, 0, 1, "33.26"},
        {"ticks Check1", Control::Check1, 1, 0, "29.35"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.action);
        const long before = form.recalculations();
        form.click(r.clicked);
        EXPECT_EQ(form.recalculations() - before, 1);
        EXPECT_EQ(c().value(Control::Check1), r.check1);
        EXPECT_EQ(c().value(Control::Check2), r.check2);
        EXPECT_EQ(caption(Control::lbcomisgest), r.lbcomisgest);
    }
}

// Durations typed digit by digit after the box is emptied, with a product value of 5000 that
// needs no text of its own.
TEST_F(Window, DurationsTyped) {
    struct Row {
        const char* typed;
        bool errorPanel;
        std::string label10;
    };
    const std::vector<Row> rows = {
        {"550", true, tooLong + "\r"},  {"60", false, ""},
        {"60.5", true, tooLong + "\r"}, {"6", false, ""},
        {"5.9", true, tooShort + "\r"}, {"", true, tooShort + "\r"},
    };
    type(c(), Control::tbvp, "5000");
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("tbdurcred \"") + r.typed + "\"");
        retype(c(), Control::tbdurcred, r.typed);
        EXPECT_TRUE(log.shown.empty());
        EXPECT_EQ(text(Control::tbdurcred), r.typed);
        EXPECT_EQ(c().visible(Control::Eroare), r.errorPanel);
        EXPECT_EQ(c().visible(Control::Label10), r.errorPanel);
        if (r.errorPanel) {
            EXPECT_EQ(label10(), visibleText(r.label10));
            EXPECT_EQ(text(Control::tbratatlx), "");
            EXPECT_NE(caption(Control::lbrata), "0.00"); // figures still computed
        } else {
            EXPECT_NE(text(Control::tbratatlx), "");
        }
    }
    EXPECT_EQ(form.state().durata, 1); // the empty box
    EXPECT_TRUE(form.faults().empty());
}

// Records each message box together with what the duration box shows while it is open.
struct PeekingLog final : core::MessageSink {
    const ui::Form1* form = nullptr;
    std::vector<core::Message> shown;
    std::vector<std::string> durationWhileShown;
    void show(const core::Message& m) override {
        shown.push_back(m);
        durationWhileShown.push_back(form->controls().text(Control::tbdurcred));
    }
};

// 551: one message box while the box still shows 551, then "60" with a nested recalculation;
// the window and the state end exactly as for a typed 60.
TEST(WindowDurationGuard, FiveHundredFiftyOneEndsAsSixty) {
    PeekingLog logA;
    ui::Form1 a(logA);
    logA.form = &a;
    a.Form_Load();
    ui::MessageLog logB;
    ui::Form1 b(logB);
    b.Form_Load();
    for (ui::Form1* f : {&a, &b}) {
        type(f->controls(), Control::tbvp, "5000");
        clear(f->controls(), Control::tbdurcred);
    }
    type(a.controls(), Control::tbdurcred, "55");
    const long before = a.recalculations();
    type(a.controls(), Control::tbdurcred, "1");
    type(b.controls(), Control::tbdurcred, "60");

    ASSERT_EQ(logA.shown.size(), 1u);
    EXPECT_EQ(logA.shown[0].title, "EROARE");
    EXPECT_EQ(logA.shown[0].prompt, "Valoare nepermisa!");
    EXPECT_EQ(logA.shown[0].style, 16);
    EXPECT_EQ(logA.durationWhileShown[0], "551");
    EXPECT_EQ(a.recalculations() - before, 2); // the keystroke and the nested one
    EXPECT_EQ(a.controls().text(Control::tbdurcred), "60");
    EXPECT_TRUE(a.faults().empty());
    EXPECT_TRUE(logB.shown.empty());
    EXPECT_EQ(testing_helpers::picture(a.controls()), testing_helpers::picture(b.controls()));
    EXPECT_EQ(testing_helpers::fields(a.state()), testing_helpers::fields(b.state()));
    EXPECT_TRUE(testing_helpers::sameSchedules(a.state(), b.state()));
}

// The ceiling of the financed amount is 30000 / 1.087 = 27598.896...
TEST_F(Window, FinancedAmountCeiling) {
    type(c(), Control::tbvp, "27598.89");
    EXPECT_FALSE(c().visible(Control::Eroare));
    retype(c(), Control::tbvp, "27598.90");
    EXPECT_TRUE(c().visible(Control::Eroare));
    EXPECT_EQ(label10(),
              visibleText("\rValoare produs prea mare (nu trebuie sa depaseasca 27 598.90 RON)"));
    EXPECT_EQ(text(Control::tbratatlx), "");
    // The limit quoted is the ceiling plus the down payment typed.
    type(c(), Control::tbavans, "500");
    retype(c(), Control::tbvp, "28098.90");
    EXPECT_EQ(label10(),
              visibleText("\rValoare produs prea mare (nu trebuie sa depaseasca 28 098.90 RON)"));
}

// Too small a product value is told only together with a duration error.
TEST_F(Window, TooSmallOnlyWithADurationError) {
    type(c(), Control::tbvp, "300");
    EXPECT_FALSE(c().visible(Control::Eroare));
    retype(c(), Control::tbdurcred, "70");
    EXPECT_TRUE(c().visible(Control::Eroare));
    EXPECT_EQ(label10(), visibleText(tooLong + "\r" + tooSmall));
}

// Which verdict panel shows: the error panel hides the indebtedness panel; a refused customer
// still reads "REFUZAT". Income 1000 with 300 of other instalments cannot carry 5000 over 24
// months (index 60 %).
TEST_F(Window, VerdictPanels) {
    type(c(), Control::vn, "1000");
    type(c(), Control::ar, "300");
    type(c(), Control::tbvp, "5000");
    retype(c(), Control::tbdurcred, "24");
    EXPECT_EQ(text(Control::tbsumacc), "REFUZAT");
    EXPECT_EQ(text(Control::bnr), "60.03  %");
    EXPECT_TRUE(c().visible(Control::Frame6));
    EXPECT_FALSE(c().visible(Control::Eroare));

    retype(c(), Control::tbdurcred, "70");
    EXPECT_EQ(text(Control::tbsumacc), "REFUZAT");
    EXPECT_TRUE(c().visible(Control::Eroare));
    EXPECT_FALSE(c().visible(Control::Frame6));
    EXPECT_EQ(label10(), visibleText(tooLong + "\r"));

    retype(c(), Control::ar, "0"); // affordable again
    retype(c(), Control::tbdurcred, "24");
    EXPECT_NE(text(Control::tbsumacc), "REFUZAT");
    EXPECT_FALSE(c().visible(Control::Eroare));
    EXPECT_FALSE(c().visible(Control::Frame6));
}

// With no income the largest value keeps the text an earlier recalculation wrote.
TEST_F(Window, NoIncomeKeepsTheLargestValueText) {
    type(c(), Control::ar, "200");
    type(c(), Control::vn, "3"); // 3 of income cannot carry 200 of instalments
    EXPECT_EQ(text(Control::tbsumacc), "REFUZAT");
    backspace(c(), Control::vn);
    EXPECT_EQ(form.state().sumamax, 0);
    EXPECT_EQ(text(Control::tbsumacc), "REFUZAT");
    EXPECT_FALSE(c().visible(Control::Frame6));
    EXPECT_EQ(text(Control::bnr), "0.00  %");
}

// Typed text in the insurance list: no item chosen reads as no insurance; typing an item's exact
// text chooses it.
TEST_F(Window, TypedInsuranceText) {
    type(c(), Control::tbvp, "2000");
    type(c(), Control::tbavans, "200");
    retype(c(), Control::tbdurcred, "24");
    const long before = form.recalculations();
    retype(c(), Control::cbasig, "Standar");
    EXPECT_EQ(form.recalculations() - before, 14 + 7); // every keystroke recalculates
    EXPECT_EQ(c().listIndex(Control::cbasig), -1);
    EXPECT_EQ(form.state().procasig, 0);
    EXPECT_EQ(caption(Control::lbasig), "0");
    type(c(), Control::cbasig, "d");
    EXPECT_EQ(c().listIndex(Control::cbasig), 1);
    EXPECT_EQ(form.state().procasig, 0.0044);
    EXPECT_EQ(caption(Control::lbasig), "8.60904");
}

TEST_F(Window, TypingIntoTheRateBoxRaisesNothing) {
    const long before = form.recalculations();
    type(c(), Control::tbdob, "99");
    EXPECT_EQ(form.recalculations(), before);
    EXPECT_EQ(text(Control::tbdob), " 0.00%99");
    type(c(), Control::tbvp, "1");
    EXPECT_EQ(text(Control::tbdob), " 0.00%");
}

// A duration the DAE cannot work with (a down payment above the value and -5 or -40000 months):
// no fault reaches the handler, the DAE caption is empty and the panels are settled.
TEST_F(Window, DaeFailureIsNotAFault) {
    type(c(), Control::vn, "1000");
    type(c(), Control::tbvp, "1000");
    type(c(), Control::tbavans, "2000");
    for (const char* durata : {"-5", "-40000"}) {
        SCOPED_TRACE(std::string("tbdurcred ") + durata);
        retype(c(), Control::tbdurcred, durata);
        EXPECT_TRUE(form.faults().empty());
        EXPECT_EQ(caption(Control::lbdae), "");
        EXPECT_TRUE(c().visible(Control::Eroare));
        EXPECT_FALSE(c().visible(Control::Frame6));
    }
}

// Random keystrokes into every box, random choices and clicks, from a fixed seed: nothing
// crashes and the window stays consistent after every action.
TEST_F(Window, HostileKeystrokesKeepTheWindowConsistent) {
    const std::vector<Control> boxes = {Control::vn,     Control::ar,      Control::ad,
                                        Control::tbvp,   Control::tbavans, Control::tbdurcred,
                                        Control::cbasig, Control::tbdob};
    const std::string keys = "01234567890123456789012345678901234567890.. -+eZ";
    std::mt19937 rng(20240611);
    auto pick = [&rng](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    for (int step = 0; step < 5000; ++step) {
        const std::size_t action = pick(20);
        std::string did;
        if (action == 0) {
            const Control box = pick(2) == 0 ? Control::Check1 : Control::Check2;
            form.click(box);
            did = "click " + std::string(ui::controlName(box));
        } else if (action == 1) {
            const auto item = static_cast<int>(pick(4));
            c().select(Control::cbasig, item);
            did = "choose item " + std::to_string(item);
        } else {
            const Control box = boxes[pick(boxes.size())];
            const std::string name(ui::controlName(box));
            if (action < 4) {
                c().setText(box, ""); // everything selected and deleted in one edit
                did = "empty " + name;
            } else if (action < 7 || text(box).size() > 8) {
                backspace(c(), box);
                did = "backspace in " + name;
            } else {
                const char key = keys[pick(keys.size())];
                type(c(), box, std::string(1, key));
                did = std::string("'") + key + "' into " + name;
            }
        }
        SCOPED_TRACE("step " + std::to_string(step) + ": " + did);
        ASSERT_TRUE(form.faults().empty()) << form.faults().front();
        ASSERT_EQ(c().value(Control::Check1) + c().value(Control::Check2), 1);
        ASSERT_FALSE(c().visible(Control::Eroare) && c().visible(Control::Frame6));
        ASSERT_EQ(c().visible(Control::Eroare), c().visible(Control::Label10));
        if (c().visible(Control::Eroare)) {
            ASSERT_EQ(text(Control::tbratatlx), "");
        }
        ASSERT_LE(runtime::Val(text(Control::tbdurcred)), 550.0);
        const auto& items = c().data(Control::cbasig).items;
        const int index = c().listIndex(Control::cbasig);
        if (index >= 0) {
            ASSERT_EQ(text(Control::cbasig), items[static_cast<std::size_t>(index)]);
        }
    }
    EXPECT_EQ(form.state().comacord, 0.087);
}

} // namespace
