#include "offer/duration_rows.h"
#include "offer/schedule_offer.h"
#include "offer/what_if.h"
#include "tests/support/sessions.h"
#include "tests/support/started_form.h"
#include "tests/support/window_helpers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

// A variant is the form after one more `set`, computed on a copy: it must equal, to the last bit
// and the last caption, a second form that replays the same session and then takes the same text,
// and it must leave the form itself exactly as it was.
namespace {

using core::Control;
using testsupport::fields;
using testsupport::picture;
using testsupport::sameSchedules;

struct Seen {
    std::vector<std::string> controls;
    std::vector<std::pair<std::string, double>> state;
    long recalculations = 0;
};

Seen seen(const ui::Form1& form) {
    return {picture(form.controls()), fields(form.state()), form.recalculations()};
}

void expectSame(const ui::Form1& variant, const ui::Form1& replayed) {
    EXPECT_EQ(picture(variant.controls()), picture(replayed.controls()));
    EXPECT_EQ(fields(variant.state()), fields(replayed.state()));
    EXPECT_TRUE(sameSchedules(variant.state(), replayed.state()));
    EXPECT_EQ(variant.recalculations(), replayed.recalculations());
    EXPECT_EQ(variant.controls().data(Control::cbasig).items,
              replayed.controls().data(Control::cbasig).items);
}

class Form : public testsupport::StartedFormTest {
protected:
    void SetUp() override {
        form.addRecalculationObserver([this] { ++observed; });
    }

    int observed = 0;
};

TEST(WhatIf, EqualsTheFormAfterTheSameSetOverRandomSessions) {
    std::mt19937 rng(20261208);
    const std::vector<Control> boxes = {Control::tbdurcred, Control::tbdurcred, Control::tbavans,
                                        Control::tbvp, Control::vn};
    for (int round = 0; round < 300; ++round) {
        const auto session = testsupport::randomSession(rng, 1 + static_cast<int>(rng() % 12));
        testsupport::StartedForm started;
        ui::Form1& form = started.form;
        testsupport::replay(form, session);
        const Seen before = seen(form);
        const std::size_t boxesShown = started.log.shown.size();
        int observed = 0;
        form.addRecalculationObserver([&] { ++observed; });

        offer::WhatIf whatIf(form);
        for (int v = 0; v < 4; ++v) {
            const Control box = boxes[rng() % boxes.size()];
            const std::string text = box == Control::tbdurcred ? testsupport::durationText(rng)
                                                               : testsupport::amountText(rng);
            SCOPED_TRACE("round " + std::to_string(round) + ": " +
                         std::string(ui::controlName(box)) + " = '" + text + "'");
            const ui::Form1& variant = whatIf.set(box, text);

            testsupport::StartedForm replay;
            ui::Form1& replayed = replay.form;
            testsupport::replay(replayed, session);
            replay.log.shown.clear();
            replayed.controls().setText(box, text);
            expectSame(variant, replayed);
            ASSERT_EQ(whatIf.messages().size(), replay.log.shown.size());
            for (std::size_t i = 0; i < replay.log.shown.size(); ++i) {
                EXPECT_EQ(whatIf.messages()[i].prompt, replay.log.shown[i].prompt);
            }
            const ui::ControlModel& m = replayed.controls();
            const offer::Verdict expected = m.visible(Control::Eroare)   ? offer::Verdict::limit
                                            : m.visible(Control::Frame6) ? offer::Verdict::refused
                                            : !offer::scheduleOffer(replayed).valid
                                                ? offer::Verdict::no_offer
                                                : offer::Verdict::accepted;
            EXPECT_EQ(whatIf.verdict(), expected);
        }
        const Seen after = seen(form);
        EXPECT_EQ(after.controls, before.controls);
        EXPECT_EQ(after.state, before.state);
        EXPECT_EQ(after.recalculations, before.recalculations);
        EXPECT_EQ(started.log.shown.size(), boxesShown);
        EXPECT_EQ(observed, 0);
    }
}

TEST_F(Form, DurationAboveTheGuardIsReportedNotShown) {
    set(Control::tbvp, "5000");
    const Seen before = seen(form);
    observed = 0;
    offer::WhatIf whatIf(form);
    const ui::Form1& copy = whatIf.set(Control::tbdurcred, "600");
    ASSERT_EQ(whatIf.messages().size(), 1U);
    EXPECT_EQ(whatIf.messages()[0].prompt, "Valoare nepermisa!");
    EXPECT_EQ(whatIf.messages()[0].title, "EROARE");
    EXPECT_EQ(copy.controls().text(Control::tbdurcred), "60");
    EXPECT_EQ(copy.recalculations(), before.recalculations + 2); // the nested one counts
    EXPECT_TRUE(log.shown.empty());

    whatIf.set(Control::tbdurcred, "24");
    EXPECT_TRUE(whatIf.messages().empty()); // each variant has its own boxes
    EXPECT_EQ(seen(form).controls, before.controls);
    EXPECT_EQ(seen(form).recalculations, before.recalculations);
    EXPECT_EQ(observed, 0);
}

TEST_F(Form, SameTextIsNoChangeAndNoRecalculation) {
    set(Control::tbvp, "5000");
    offer::WhatIf whatIf(form);
    const ui::Form1& copy = whatIf.set(Control::tbdurcred, "60");
    EXPECT_EQ(copy.recalculations(), form.recalculations());
    EXPECT_EQ(picture(copy.controls()), picture(form.controls()));
}

// A runtime error stops the recalculation of one variant only; the rows beside it are whole.
TEST_F(Form, RuntimeErrorInOneRowLeavesTheOthers) {
    set(Control::tbdurcred, "24.50"); // its row sets "24.5": a change
    // A management-commission rate that no band rewrites (no credit) and that makes the monthly
    // factor negative: its power to a fractional duration is a runtime error.
    form.state().comgestdd = -5;
    offer::WhatIf whatIf(form);
    const auto rows = offer::durationRows(whatIf, form);
    ASSERT_EQ(rows.size(), 12U);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.verdict == offer::Verdict::fault, row.text == "24.5");
    }
    whatIf.set(Control::tbdurcred, "24.5");
    ASSERT_EQ(whatIf.faults().size(), 1U);
    EXPECT_EQ(whatIf.faults()[0], "Invalid power");
    whatIf.set(Control::tbdurcred, "24");
    EXPECT_TRUE(whatIf.faults().empty());
    EXPECT_TRUE(form.resultsCurrent());
}

TEST_F(Form, RowsForEveryListedDurationAndTheFormsOwn) {
    set(Control::vn, "3000");
    set(Control::tbvp, "8000");
    offer::WhatIf whatIf(form);

    auto texts = [&] {
        std::vector<std::string> out;
        for (const auto& row : offer::durationRows(whatIf, form)) {
            out.push_back((row.current ? "*" : "") + row.text);
        }
        return out;
    };
    EXPECT_EQ(texts(), (std::vector<std::string>{"6", "9", "12", "18", "24", "30", "36", "42", "48",
                                                 "54", "*60"}));
    set(Control::tbdurcred, "24.5");
    EXPECT_EQ(texts(), (std::vector<std::string>{"6", "9", "12", "18", "24", "*24.5", "30", "36",
                                                 "42", "48", "54", "60"}));
    set(Control::tbdurcred, ""); // read as one month
    EXPECT_EQ(texts().front(), "*1");
    set(Control::tbdurcred, "61");
    EXPECT_EQ(texts().back(), "*61");
    set(Control::tbdurcred, "0036");
    EXPECT_EQ(texts()[6], "*36");
}

TEST_F(Form, RowShowsWhatTheFormWouldShow) {
    set(Control::vn, "3000");
    set(Control::ar, "350");
    set(Control::tbvp, "20000");
    set(Control::tbavans, "500");
    offer::WhatIf whatIf(form);
    const auto rows = offer::durationRows(whatIf, form);
    const auto& row24 = rows[4];
    set(Control::tbdurcred, "24");
    const ui::ControlModel& m = form.controls();
    EXPECT_EQ(row24.tbdob, m.text(Control::tbdob));
    EXPECT_EQ(row24.lbrata, m.caption(Control::lbrata));
    EXPECT_EQ(row24.lbdobaferenta, m.caption(Control::lbdobaferenta));
    EXPECT_EQ(row24.lbdae, m.caption(Control::lbdae));
    EXPECT_EQ(row24.bnr, m.text(Control::bnr));
    EXPECT_EQ(row24.tbsumacc, m.text(Control::tbsumacc));
    EXPECT_EQ(row24.rataluna, form.state().rataluna);
    EXPECT_EQ(row24.daeval, form.state().daeval);
    EXPECT_EQ(row24.dobanda, 0.107);
    EXPECT_EQ(row24.verdict, offer::Verdict::refused);
    EXPECT_TRUE(row24.limitText.empty());
    EXPECT_EQ(rows[0].verdict, offer::Verdict::refused);
    EXPECT_EQ(rows[10].verdict, offer::Verdict::accepted); // 7 % and the lower commission
    EXPECT_TRUE(rows[10].current);
    set(Control::tbdurcred, "61");
    const auto beyond = offer::durationRows(whatIf, form).back();
    EXPECT_EQ(beyond.verdict, offer::Verdict::limit);
    EXPECT_EQ(offer::limitSummary(beyond.limitText), "Durata creditului este prea mare");
    EXPECT_EQ(offer::verdictText(beyond), "Durata creditului este prea mare");
    EXPECT_EQ(offer::verdictText(row24), "Refuzat - indatorare");
    EXPECT_EQ(offer::verdictText(rows[10]), "Acceptat");
}

// What shows no panel yet is no credit: nothing to finance, a credit below the product's minimum,
// a credit value that no rule of the rate grid covers, figures that are not numbers.
TEST_F(Form, NoOfferWhereNoPanelIsShownButNothingMayBeOffered) {
    struct Case {
        const char* tbvp;
        const char* tbavans;
        const char* tbdurcred;
        offer::Verdict verdict;
    };
    const std::string hugeDownPayment(5000, '9');
    const std::vector<Case> cases = {
        {"", "", "24", offer::Verdict::no_offer},
        {"0", "", "24", offer::Verdict::no_offer},
        {"abc", "", "24", offer::Verdict::no_offer},
        {"2000", "2500", "24", offer::Verdict::no_offer},
        {"2000", hugeDownPayment.c_str(), "24", offer::Verdict::no_offer},
        {"700", "500", "24", offer::Verdict::no_offer},  // 200 financed, 510 the least
        {"3679.85", "", "48", offer::Verdict::no_offer}, // between 3999.99 and 4000 of credit
        {"3679.85", "", "36", offer::Verdict::accepted}, // the same credit is in the grid here
        {"710", "200", "24", offer::Verdict::accepted},  // 510 financed: the least there is
        {"709.99", "200", "24", offer::Verdict::no_offer},
        {"2000", "200", "24", offer::Verdict::accepted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tbvp).substr(0, 20) + " less " +
                     std::string(c.tbavans).substr(0, 20) + " over " + c.tbdurcred);
        set(Control::tbvp, c.tbvp);
        set(Control::tbavans, c.tbavans);
        offer::WhatIf whatIf(form);
        const ui::Form1& copy = whatIf.set(Control::tbdurcred, c.tbdurcred);
        EXPECT_FALSE(copy.controls().visible(Control::Eroare));
        EXPECT_EQ(whatIf.verdict(), c.verdict);
        EXPECT_EQ(offer::scheduleOffer(copy).valid, c.verdict == offer::Verdict::accepted);
    }
    set(Control::tbvp, "700");
    set(Control::tbavans, "500");
    offer::WhatIf whatIf(form);
    for (const auto& row : offer::durationRows(whatIf, form)) {
        if (row.verdict == offer::Verdict::no_offer) {
            EXPECT_EQ(offer::verdictText(row), "Nicio oferta posibila");
        }
    }
}

// Every verdict has its own name in the batch tool's lines and its own words in the variants'
// table; a row whose copy failed says so rather than passing for another verdict.
TEST(VerdictWords, NamesAndTextsOfEveryVerdict) {
    using offer::Verdict;
    struct Case {
        Verdict verdict;
        const char* name;
        const char* text;
    };
    const std::vector<Case> cases = {
        {Verdict::limit, "limit", "Durata creditului este prea mare"},
        {Verdict::refused, "refused", "Refuzat - indatorare"},
        {Verdict::no_offer, "no_offer", "Nicio oferta posibila"},
        {Verdict::over_limit, "over_limit", "Peste limita legala: DAE maxima IFN"},
        {Verdict::accepted, "accepted", "Acceptat"},
        {Verdict::fault, "fault", "Eroare de calcul"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        offer::DurationRow row;
        row.verdict = c.verdict;
        row.limitText = "Durata creditului este prea mare (Perioada maxima - 60 LUNI).";
        row.legalLimit = "DAE maxima IFN";
        EXPECT_EQ(offer::verdictName(c.verdict), c.name);
        EXPECT_EQ(offer::verdictText(row), c.text);
    }
}

TEST(LimitSummary, TextsWithoutTheirFigures) {
    EXPECT_EQ(offer::limitSummary("Durata creditului este prea mare (Perioada maxima - 60 LUNI)."
                                  "\r\rValoare produs prea mica (Creditul minim este de 510 RON)"),
              "Durata creditului este prea mare; Valoare produs prea mica");
    EXPECT_EQ(offer::limitSummary("\rValoare produs prea mare (nu trebuie sa depaseasca "
                                  "27 598.90 RON)"),
              "Valoare produs prea mare");
    EXPECT_EQ(offer::limitSummary(""), "");
}

} // namespace
