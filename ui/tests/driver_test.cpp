#include "core/calcule.h"
#include "tests/support/precise.h"
#include "tests/support/window_helpers.h"
#include "ui/control_model.h"
#include "ui/form1.h"
#include "ui/window_facts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The recalculation driven directly on a control model that has no handler, so that exactly one
// call runs and the state can be prepared as an earlier recalculation would have left it.
namespace {

using core::Control;

class Driver : public ::testing::Test {
protected:
    void SetUp() override {
        core::setCreditParameters(s);
        core::setProductParameters(s);
        for (const tariff::InsuranceOption& option : tariff::builtIn()->insurance) {
            w.addItem(Control::cbasig, option.name);
        }
        w.select(Control::cbasig, 0);
    }
    void inputs(const char* vp, const char* avans, const char* durata) {
        w.setText(Control::tbvp, vp);
        w.setText(Control::tbavans, avans);
        w.setText(Control::tbdurcred, durata);
    }
    void run() { core::calcule(s, w, log); }

    core::SimulationState s;
    ui::ControlModel w;
    ui::MessageLog log;
};

// Each step writes its outputs as soon as it has them, in the order of the steps.
TEST_F(Driver, WritesTheOutputsInStepOrder) {
    std::vector<std::string> order;
    w.addObserver([&](Control c, ui::Property) {
        const std::string name(ui::controlName(c));
        if (order.empty() || order.back() != name) {
            order.push_back(name);
        }
    });
    w.setText(Control::vn, "3000");
    inputs("2000", "200", "24");
    order.clear();
    run();
    EXPECT_EQ(order, (std::vector<std::string>{"tbdob", "Label10", "Eroare", "lbcomisgest",
                                               "lbasig", "lbrata", "bnr", "tbsumacc", "tbratatlx",
                                               "lbdobaferenta", "lbdae", "Frame6"}));
}

// A runtime error of the effective rate: the DAE caption is emptied, daeval keeps its value and
// the indebtedness panel step still runs (Frame6 is hidden again). -5 months with a down payment
// above the value leaves a one-entry series NPV rejects; -40000 months cannot be made a 16-bit
// month count.
TEST_F(Driver, DaeFailureLeavesTheRestOfTheWindow) {
    for (const char* durata : {"-5", "-40000"}) {
        SCOPED_TRACE(std::string("tbvp 1000 tbavans 2000 tbdurcred ") + durata);
        inputs("1000", "2000", durata);
        s.daeval = 0.123;
        w.setCaption(Control::lbdae, "12.30 %");
        w.setVisible(Control::Frame6, true);
        ASSERT_NO_THROW(run());
        EXPECT_GT(s.ratatotala, 0.0); // so the DAE was attempted
        EXPECT_EQ(s.daeval, 0.123);
        EXPECT_EQ(w.caption(Control::lbdae), "");
        EXPECT_FALSE(w.visible(Control::Frame6));
        EXPECT_TRUE(w.visible(Control::Eroare));
    }
}

// Product value 100: the DAE is computed but not shown; 0: not computed at all.
TEST_F(Driver, SmallProductValuesShowNoDae) {
    struct Case {
        const char* vp;
        bool computed;
        const char* lbdae;
    };
    for (const Case& k : {Case{"100", true, ""}, Case{"", false, ""}, Case{"0", false, ""},
                          Case{"100.01", true, "45.19 %"}}) {
        SCOPED_TRACE(std::string("tbvp \"") + k.vp + "\"");
        inputs(k.vp, "", "24");
        s.daeval = 0.123;
        w.setCaption(Control::lbdae, "stale");
        run();
        EXPECT_EQ(s.daeval != 0.123, k.computed);
        EXPECT_EQ(w.caption(Control::lbdae), k.lbdae);
    }
}

// An empty duration box reads as one month; the box keeps its empty text.
TEST_F(Driver, EmptyDurationIsOneMonth) {
    inputs("1000", "", "");
    s.comacord = 0.5; // reset to 0.087 by every recalculation
    run();
    EXPECT_EQ(s.comacord, 0.087);
    EXPECT_EQ(s.durata, 1);
    EXPECT_EQ(w.text(Control::tbdurcred), "");
    EXPECT_NEAR(s.valoarecredit, 1087, 1e-9);
    EXPECT_NEAR(s.rataluna, 1087 * 1.015, 1e-9); // one month at 1.5 % commission, rate 0
    EXPECT_NEAR(s.months.asold[1], 0.0, 1e-9);
    EXPECT_EQ(w.caption(Control::Label10),
              "Durata creditului este prea mica (Perioada minima - 6 LUNI).\r\r");
}

// The commission bands are settled three times: on the previous credit and duration, on the new
// duration with the previous credit, on both new ones; a call that matches no band keeps the
// pair. 3679.85 down to nothing gives a credit of 3999.99695, between two bands.
TEST_F(Driver, CommissionBandsSettledThreeTimes) {
    struct Case {
        double prevCredit, prevDuration;
        const char* vp;
        const char* durata;
        const char* lbcomisgest;
    };
    const std::vector<Case> cases = {
        {5000, 50, "3679.85", "47.5", "20.00"}, // only the first call matches: 0.5 %
        {5000, 30, "3679.85", "50", "20.00"},   // the second call decides: 0.5 %
        {5000, 50, "2000", "50", "32.61"},      // the third call decides: 1.5 % of 2174
    };
    for (const Case& k : cases) {
        SCOPED_TRACE("previous credit " + testsupport::precise(k.prevCredit) + " duration " +
                     testsupport::precise(k.prevDuration) + ", now tbvp " + k.vp + " tbdurcred " +
                     k.durata);
        s.valoarecredit = k.prevCredit;
        s.durata = k.prevDuration;
        s.comgestdd = 0.015;
        s.comgestnum = 0.017;
        inputs(k.vp, "", k.durata);
        run();
        EXPECT_EQ(w.caption(Control::lbcomisgest), k.lbcomisgest);
    }
}

} // namespace
