#include "runtime/val.h"
#include "tests/support/started_form.h"
#include "tests/support/window_helpers.h"
#include "ui/form1.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

// The window without a display, driven as the agent drives it: start-up, then keystrokes,
// choices and clicks, each one raising its notification.
namespace {

using core::Control;
using testsupport::backspace;
using testsupport::expectShows;
using testsupport::retype;
using testsupport::type;

const std::string tooLong = "Durata creditului este prea mare (Perioada maxima - 60 LUNI).\r";
const std::string tooShort = "Durata creditului este prea mica (Perioada minima - 6 LUNI).\r";
const std::string tooSmall = "Valoare produs prea mica (Creditul minim este de 510 RON)";

class Window : public testsupport::StartedFormTest {};

TEST_F(Window, StartUpEndState) {
    EXPECT_EQ(form.recalculations(), 2);
    EXPECT_TRUE(log.shown.empty());
    EXPECT_EQ(c().listIndex(Control::cbasig), 0);
    EXPECT_EQ(c().data(Control::cbasig).items,
              (std::vector<std::string>{"Fara Asigurare", "Standard", "Optim", "Senior"}));
    EXPECT_EQ(c().value(Control::Check1), 1);
    EXPECT_EQ(c().value(Control::Check2), 0);
    EXPECT_TRUE(visible(Control::Check1) && visible(Control::Check2) && visible(Control::Frame3) &&
                visible(Control::Frame4));
    EXPECT_FALSE(visible(Control::Eroare) || visible(Control::Label10) || visible(Control::Frame6));
    // The second recalculation's figures for empty boxes and 60 months; Label10 still holds the
    // text of the first, the only one that saw an empty duration box.
    expectShows(c(), {{Control::Form1, "Simulator Credit Omnira"},
                      {Control::Label1, "CREDIT OMNIRA"},
                      {Control::tbdurcred, "60"},
                      {Control::cbasig, "Fara Asigurare"},
                      {Control::tbdob, " 0.00%"},
                      {Control::lbrata, "0.00"},
                      {Control::lbasig, "0"},
                      {Control::lbcomisgest, "0.00"},
                      {Control::bnr, "0.00  %"},
                      {Control::tbsumacc, ""},
                      {Control::tbratatlx, "0.00"},
                      {Control::lbdobaferenta, "0.00"},
                      {Control::lbdae, ""},
                      {Control::Label10, tooShort + "\r" + tooSmall}});
}

// Product 2000, down payment 200, 24 months, income 3000, other instalments 200. Worked by hand:
// credit 1956.6 at 10.7 % (13-36 months); commission 1.5 %: 29.349. "Fara Asigurare":
// a = 0.0239167, R = 108.0940, index 308.09 / 3000, cost 24 R - 1956.6 + 156.6 = 794.26.
// "Standard": R = 113.447298 and insurance 8.60904 (the schedule example), index 10.45 %,
// largest product 13110.198890 + 200 (the ceiling example), cost 922.735, DAE 45.0399 % (the
// scan example). Paying cash: commission 1.7 %, 33.2622, a = 0.0303167, R = 115.93.
TEST_F(Window, WorkedCreditKeystrokeByKeystroke) {
    type(c(), Control::vn, "3000");
    type(c(), Control::ar, "200");
    type(c(), Control::tbvp, "2000");
    type(c(), Control::tbavans, "200");
    retype(c(), Control::tbdurcred, "24");
    auto expectFigures = [this](const char* lbasig, const char* lbrata, const char* lbcomisgest,
                                const char* bnr, const char* tbsumacc, const char* cost,
                                const char* lbdae) {
        expectShows(c(), {{Control::tbdob, " 10.70%"},
                          {Control::lbasig, lbasig},
                          {Control::lbrata, lbrata},
                          {Control::tbratatlx, lbrata},
                          {Control::lbcomisgest, lbcomisgest},
                          {Control::bnr, bnr},
                          {Control::tbsumacc, tbsumacc},
                          {Control::lbdobaferenta, cost},
                          {Control::lbdae, lbdae}});
        EXPECT_FALSE(visible(Control::Eroare) || visible(Control::Frame6));
    };
    {
        SCOPED_TRACE("Fara Asigurare, Debit Direct");
        expectFigures("0", "108.09", "29.35", "10.27  %", "14354.35", "794.26", "45.19 %");
    }
    c().select(Control::cbasig, 1);
    {
        SCOPED_TRACE("Standard, Debit Direct");
        expectFigures("8.60904", "113.45", "29.35", "10.45  %", "13310.20", "922.74", "45.04 %");
    }
    form.click(Control::Check2);
    {
        SCOPED_TRACE("Standard, Numerar");
        expectFigures("8.60904", "115.93", "33.26", "10.53  %", "13044.30", "982.24", "48.61 %");
    }
    EXPECT_EQ(faults.count(), 0);
}

// The either-or pair: each click ends with exactly one box ticked and one recalculation, which
// sees both final values (the commission tells which rate it used).
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
    for (const Row& r : {Row{"ticks Check2", Control::Check2, 0, 1, "33.26"},
                         Row{"unticks Check2", Control::Check2, 1, 0, "29.35"},
                         Row{"unticks Check1", Control::Check1, 0, 1, "33.26"},
                         Row{"ticks Check1", Control::Check1, 1, 0, "29.35"}}) {
        SCOPED_TRACE(r.action);
        const long before = form.recalculations();
        form.click(r.clicked);
        EXPECT_EQ(form.recalculations() - before, 1);
        EXPECT_EQ(c().value(Control::Check1), r.check1);
        EXPECT_EQ(c().value(Control::Check2), r.check2);
        expectShows(c(), {{Control::lbcomisgest, r.lbcomisgest}});
    }
}

// Durations typed digit by digit into the emptied box, with a product value that needs no text
// of its own. Out of limits: the error panel, no lender's instalment, the figures still there.
TEST_F(Window, DurationsTyped) {
    struct Row {
        const char* typed;
        std::string label10; // empty: no error panel
    };
    type(c(), Control::tbvp, "5000");
    for (const Row& r : {Row{"550", tooLong + "\r"}, Row{"60", ""}, Row{"60.5", tooLong + "\r"},
                         Row{"6", ""}, Row{"5.9", tooShort + "\r"}, Row{"", tooShort + "\r"}}) {
        SCOPED_TRACE(std::string("tbdurcred \"") + r.typed + "\"");
        retype(c(), Control::tbdurcred, r.typed);
        const bool error = !r.label10.empty();
        EXPECT_EQ(visible(Control::Eroare), error);
        EXPECT_EQ(visible(Control::Label10), error);
        EXPECT_EQ(c().text(Control::tbratatlx).empty(), error);
        EXPECT_NE(c().caption(Control::lbrata), "0.00");
        expectShows(c(), {{Control::tbdurcred, r.typed}});
        if (error) {
            expectShows(c(), {{Control::Label10, r.label10}});
        }
    }
    EXPECT_TRUE(log.shown.empty());
    EXPECT_EQ(form.state().durata, 1); // the empty box reads as one month
}

// Records each message box with what the duration box shows while it is open.
struct PeekingLog final : core::MessageSink {
    const ui::Form1* form = nullptr;
    std::vector<core::Message> shown;
    std::vector<std::string> durationWhileShown;
    void show(const core::Message& m) override {
        shown.push_back(m);
        durationWhileShown.push_back(form->controls().text(Control::tbdurcred));
    }
};

// 551: one message box while the box still shows 551, then "60" and a nested recalculation;
// the window and the state end exactly as for a typed 60.
TEST(WindowDurationGuard, FiveHundredFiftyOneEndsAsSixty) {
    PeekingLog logA;
    ui::Form1 a(logA);
    logA.form = &a;
    ui::MessageLog logB;
    ui::Form1 b(logB);
    for (ui::Form1* f : {&a, &b}) {
        f->Form_Load();
        type(f->controls(), Control::tbvp, "5000");
        retype(f->controls(), Control::tbdurcred, "55");
    }
    const long before = a.recalculations();
    type(a.controls(), Control::tbdurcred, "1");
    retype(b.controls(), Control::tbdurcred, "60");

    ASSERT_EQ(logA.shown.size(), 1u);
    EXPECT_EQ(logA.shown[0].title, "EROARE");
    EXPECT_EQ(logA.shown[0].prompt, "Valoare nepermisa!");
    EXPECT_EQ(logA.shown[0].style, 16);
    EXPECT_EQ(logA.durationWhileShown[0], "551");
    EXPECT_EQ(a.recalculations() - before, 2); // the keystroke and the nested one
    EXPECT_EQ(a.controls().text(Control::tbdurcred), "60");
    EXPECT_TRUE(logB.shown.empty());
    EXPECT_EQ(testsupport::picture(a.controls()), testsupport::picture(b.controls()));
    EXPECT_EQ(testsupport::fields(a.state()), testsupport::fields(b.state()));
    EXPECT_TRUE(testsupport::sameSchedules(a.state(), b.state()));
}

// The whole product value in one edit on a fresh window (60 months): the credit value 5435 is
// known before the rate is looked up, so the grid gives the 4000-30000 band's 7 %.
TEST_F(Window, ProductValueInOneEditUsesItsOwnCreditValue) {
    c().setText(Control::tbvp, "5000");
    expectShows(c(), {{Control::tbdob, " 7.00%"}, {Control::lbrata, "123.66"}});
}

// Views that follow the form hear once per keystroke, after its figures are settled: the duration
// guard's nested recalculation and the payment pair's handlers do not make a second call.
TEST(WindowRecalculationObserver, OncePerNotificationAfterTheFiguresSettle) {
    ui::MessageLog log;
    ui::Form1 f(log);
    std::vector<std::string> seen;
    f.addRecalculationObserver([&] { seen.push_back(f.controls().text(Control::tbdurcred)); });
    f.Form_Load();
    EXPECT_EQ(seen, (std::vector<std::string>{"", "60"})); // the two start-up recalculations
    seen.clear();
    type(f.controls(), Control::tbvp, "5000");
    type(f.controls(), Control::tbdurcred, "1"); // 601: the guard rewrites "60" inside
    f.click(Control::Check2);
    EXPECT_EQ(seen, (std::vector<std::string>{"60", "60", "60", "60", "60", "60"}));
    EXPECT_EQ(log.shown.size(), 1u);
}

// The financed amount may reach 30000 / 1.087 = 27598.896...; the limit quoted is that plus the
// down payment. Too small a value is told only together with a duration error.
TEST_F(Window, ValueLimits) {
    type(c(), Control::tbvp, "27598.89");
    EXPECT_FALSE(visible(Control::Eroare));
    retype(c(), Control::tbvp, "27598.90");
    EXPECT_TRUE(visible(Control::Eroare));
    expectShows(c(), {{Control::Label10,
                       "\rValoare produs prea mare (nu trebuie sa depaseasca 27 598.90 RON)"}});
    type(c(), Control::tbavans, "500");
    retype(c(), Control::tbvp, "28098.90");
    expectShows(c(), {{Control::Label10,
                       "\rValoare produs prea mare (nu trebuie sa depaseasca 28 098.90 RON)"}});

    retype(c(), Control::tbavans, "");
    retype(c(), Control::tbvp, "300");
    EXPECT_FALSE(visible(Control::Eroare));
    retype(c(), Control::tbdurcred, "70");
    EXPECT_TRUE(visible(Control::Eroare));
    expectShows(c(), {{Control::Label10, tooLong + "\r" + tooSmall}});
}

// The verdict panels: the error panel goes over the indebtedness panel; a refused customer still
// reads "REFUZAT". Income 1000 with 300 of other instalments cannot carry 5000 over 24 months
// (index (300 + 300.26) / 1000).
TEST_F(Window, VerdictPanels) {
    type(c(), Control::vn, "1000");
    type(c(), Control::ar, "300");
    type(c(), Control::tbvp, "5000");
    retype(c(), Control::tbdurcred, "24");
    expectShows(c(), {{Control::tbsumacc, "REFUZAT"}, {Control::bnr, "60.03  %"}});
    EXPECT_TRUE(visible(Control::Frame6));
    EXPECT_FALSE(visible(Control::Eroare));

    retype(c(), Control::tbdurcred, "70");
    expectShows(c(), {{Control::tbsumacc, "REFUZAT"}, {Control::Label10, tooLong + "\r"}});
    EXPECT_TRUE(visible(Control::Eroare));
    EXPECT_FALSE(visible(Control::Frame6));

    retype(c(), Control::ar, "0");
    retype(c(), Control::tbdurcred, "24");
    EXPECT_NE(c().text(Control::tbsumacc), "REFUZAT");
    EXPECT_FALSE(visible(Control::Eroare) || visible(Control::Frame6));
}

// With no income the largest value keeps the text an earlier recalculation wrote, even
// "REFUZAT" while the indebtedness panel is gone.
TEST_F(Window, NoIncomeKeepsTheLargestValueText) {
    type(c(), Control::ar, "200");
    type(c(), Control::vn, "3");
    expectShows(c(), {{Control::tbsumacc, "REFUZAT"}});
    backspace(c(), Control::vn);
    EXPECT_EQ(form.state().sumamax, 0);
    expectShows(c(), {{Control::tbsumacc, "REFUZAT"}, {Control::bnr, "0.00  %"}});
    EXPECT_FALSE(visible(Control::Frame6));
}

// Typed text in the insurance list: no item chosen means no insurance; typing an item's exact
// text chooses it. The rate box has no handler at all.
TEST_F(Window, TypedTextWithoutAnItemOrAHandler) {
    type(c(), Control::tbvp, "2000");
    type(c(), Control::tbavans, "200");
    retype(c(), Control::tbdurcred, "24");
    const long before = form.recalculations();
    retype(c(), Control::cbasig, "Standar");
    EXPECT_EQ(form.recalculations() - before, 14 + 7); // every keystroke recalculates
    EXPECT_EQ(c().listIndex(Control::cbasig), -1);
    EXPECT_EQ(form.state().procasig, 0);
    expectShows(c(), {{Control::lbasig, "0"}});
    type(c(), Control::cbasig, "d");
    EXPECT_EQ(c().listIndex(Control::cbasig), 1);
    expectShows(c(), {{Control::lbasig, "8.60904"}});

    const long typed = form.recalculations();
    type(c(), Control::tbdob, "99");
    EXPECT_EQ(form.recalculations(), typed);
    expectShows(c(), {{Control::tbdob, " 10.70%99"}});
}

// A duration the DAE cannot work with (down payment above the value, -5 or -40000 months): no
// fault reaches the handler and the DAE caption is empty.
TEST_F(Window, DaeFailureIsNotAFault) {
    type(c(), Control::tbvp, "1000");
    type(c(), Control::tbavans, "2000");
    for (const char* durata : {"-5", "-40000"}) {
        SCOPED_TRACE(std::string("tbdurcred ") + durata);
        retype(c(), Control::tbdurcred, durata);
        EXPECT_EQ(faults.count(), 0);
        EXPECT_GT(form.state().ratatotala, 0); // the DAE was attempted
        expectShows(c(), {{Control::lbdae, ""}});
    }
}

// A runtime error abandons the recalculation: it reaches the fault sink once, the figures are
// marked as not current until a recalculation completes, and the log stays bounded. Made by
// hand: a management commission below -100 % a month (no tariff allows it) makes the instalment
// raise a negative number to a fractional power at 5.5 months, where no band resets the rate.
TEST_F(Window, AbandonedRecalculationIsReportedUntilOneCompletes) {
    type(c(), Control::tbvp, "1000");
    retype(c(), Control::tbdurcred, "5");
    form.state().comgestdd = -1.5;
    type(c(), Control::tbdurcred, "."); // "5." reads as 5: a whole power, no fault
    ASSERT_TRUE(form.resultsCurrent());
    const std::string before = c().caption(Control::lbrata);
    type(c(), Control::tbdurcred, "5");
    EXPECT_EQ(faults.count(), 1);
    EXPECT_FALSE(form.resultsCurrent());
    EXPECT_EQ(c().caption(Control::lbrata), before); // written after the failing step: stale
    for (std::size_t k = 0; k < ui::FaultLog::capacity + 5; ++k) {
        c().setText(Control::tbdurcred, k % 2 == 0 ? "5.25" : "5.5");
    }
    const auto total = static_cast<long long>(ui::FaultLog::capacity) + 6;
    EXPECT_EQ(faults.kept().size(), ui::FaultLog::capacity);
    EXPECT_EQ(faults.count(), total);
    c().setText(Control::tbdurcred, "12"); // a band resets the commission: complete again
    EXPECT_TRUE(form.resultsCurrent());
    EXPECT_EQ(faults.count(), total);
}

// Without a fault sink the abandoned recalculation is still marked, and nothing else breaks.
TEST(WindowWithoutFaultSink, AbandonedRecalculationIsStillMarked) {
    ui::MessageLog log;
    ui::Form1 form(log);
    form.Form_Load();
    type(form.controls(), Control::tbvp, "1000");
    retype(form.controls(), Control::tbdurcred, "5");
    form.state().comgestdd = -1.5;
    type(form.controls(), Control::tbdurcred, ".5");
    EXPECT_FALSE(form.resultsCurrent());
    retype(form.controls(), Control::tbdurcred, "12");
    EXPECT_TRUE(form.resultsCurrent());
}

// A copy of the window shows what the original shows and then lives on its own: keystrokes in
// one change nothing in the other, and each speaks to its own message sink.
TEST_F(Window, CopyShowsTheSameAndThenLivesApart) {
    type(c(), Control::tbvp, "2000");
    type(c(), Control::tbavans, "200");
    retype(c(), Control::tbdurcred, "24");
    form.click(Control::Check2);
    ui::MessageLog copyLog;
    ui::Form1 copy(form, copyLog);
    EXPECT_EQ(copy.recalculations(), form.recalculations());
    EXPECT_EQ(copy.resultsCurrent(), form.resultsCurrent());
    for (const Control k : {Control::tbvp, Control::tbdob, Control::cbasig}) {
        EXPECT_EQ(copy.controls().text(k), c().text(k)) << ui::controlName(k);
    }
    EXPECT_EQ(copy.controls().caption(Control::lbrata), c().caption(Control::lbrata));
    EXPECT_EQ(copy.controls().value(Control::Check2), 1);
    EXPECT_EQ(copy.state().valoarecredit, form.state().valoarecredit);

    const std::string rate = c().caption(Control::lbrata);
    const long long recalculations = form.recalculations();
    copy.controls().setText(Control::tbdurcred, "551");
    EXPECT_EQ(copyLog.shown.size(), 1U);
    EXPECT_TRUE(log.shown.empty());
    EXPECT_EQ(copy.controls().text(Control::tbdurcred), "60");
    EXPECT_NE(copy.controls().caption(Control::lbrata), rate);
    EXPECT_EQ(c().caption(Control::lbrata), rate);
    EXPECT_EQ(c().text(Control::tbdurcred), "24");
    EXPECT_EQ(form.recalculations(), recalculations);
}

// Random keystrokes into every box, random choices and clicks, from a fixed seed: nothing fails
// and the window stays consistent after every action.
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
        const Control box = boxes[pick(boxes.size())];
        std::string did = std::string(ui::controlName(box));
        if (action == 0) {
            did = pick(2) == 0 ? "Check1" : "Check2";
            form.click(did == "Check1" ? Control::Check1 : Control::Check2);
        } else if (action == 1) {
            const auto item = static_cast<int>(pick(4));
            c().select(Control::cbasig, item);
            did = "item " + std::to_string(item);
        } else if (action < 4) {
            c().setText(box, ""); // everything selected and deleted in one edit
        } else if (action < 7 || c().text(box).size() > 8) {
            backspace(c(), box);
        } else {
            type(c(), box, std::string(1, keys[pick(keys.size())]));
        }
        SCOPED_TRACE("step " + std::to_string(step) + " (" + did + "): vn \"" +
                     c().text(Control::vn) + "\" ar \"" + c().text(Control::ar) + "\" ad \"" +
                     c().text(Control::ad) + "\" tbvp \"" + c().text(Control::tbvp) +
                     "\" tbavans \"" + c().text(Control::tbavans) + "\" tbdurcred \"" +
                     c().text(Control::tbdurcred) + "\"");
        ASSERT_EQ(faults.count(), 0) << faults.kept().front();
        ASSERT_EQ(c().value(Control::Check1) + c().value(Control::Check2), 1);
        ASSERT_FALSE(visible(Control::Eroare) && visible(Control::Frame6));
        ASSERT_EQ(visible(Control::Eroare), visible(Control::Label10));
        ASSERT_TRUE(!visible(Control::Eroare) || c().text(Control::tbratatlx).empty());
        ASSERT_LE(runtime::Val(c().text(Control::tbdurcred)), 550.0);
        const int index = c().listIndex(Control::cbasig);
        ASSERT_TRUE(index == -1 || c().text(Control::cbasig) ==
                                       c().data(Control::cbasig).items[std::size_t(index)]);
    }
    EXPECT_FALSE(log.shown.empty()); // the guard was reached
}

} // namespace
