// The offer's lines read from the window's captions and boxes: a caption left blank reads as
// having no value, never as an empty line.

#include "offer/offer_text.h"
#include "offer/tests/offer_lines.h"
#include "tests/support/started_form.h"
#include "ui/window_facts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using core::Control;

using offertest::valueOf;

TEST(OfferText, BlankCaptionsAndThePaymentMethod) {
    testsupport::StartedForm w;
    w.set(Control::tbvp, "2000");
    w.set(Control::tbavans, "200");
    w.set(Control::tbdurcred, "24");
    const offer::OfferText shown = offer::offerText(w.form);
    ASSERT_TRUE(shown.valid) << shown.reason;
    EXPECT_EQ(valueOf(shown.inputs, "Modalitate de plata"), ui::directDebitCaption);
    w.c().setCaption(Control::lbdae, "  12.34 % ");
    EXPECT_EQ(valueOf(offer::offerText(w.form).keyFigures, "DAE"), "12.34 %");

    // Captions left blank, set by hand without a recalculation.
    w.c().setCaption(Control::lbdae, "   ");
    w.c().setCaption(Control::lbdobaferenta, "");
    const offer::OfferText blank = offer::offerText(w.form);
    ASSERT_TRUE(blank.valid) << blank.reason;
    EXPECT_EQ(valueOf(blank.keyFigures, "DAE"), offer::noValue);
    EXPECT_EQ(valueOf(blank.keyFigures, "Cost total"), offer::noValue);
    // The figures themselves do not depend on the captions.
    EXPECT_EQ(blank.rows, shown.rows);
    EXPECT_EQ(valueOf(blank.keyFigures, "Rata lunara"), valueOf(shown.keyFigures, "Rata lunara"));

    // Cash ticked: the other box clears itself, so one of the two always names the method.
    w.form.click(Control::Check2);
    EXPECT_EQ(valueOf(offer::offerText(w.form).inputs, "Modalitate de plata"), ui::cashCaption);
}

// A product and down payment beyond what cents count, set by hand, whose difference is an
// ordinary credit: the schedule stands, but the offer cannot write the product's value.
TEST(OfferText, ProductValueBeyondCents) {
    testsupport::StartedForm w;
    w.set(Control::tbvp, "2000");
    w.set(Control::tbavans, "200");
    w.set(Control::tbdurcred, "24");
    w.form.state().valoareprodus = 2e13;
    w.form.state().valavans = 2e13 - 1800;
    const offer::ScheduleOffer schedule = offer::scheduleOffer(w.form);
    ASSERT_TRUE(schedule.valid) << schedule.reason;
    const offer::OfferText text = offer::offerText(w.form, schedule);
    EXPECT_FALSE(text.valid);
    EXPECT_EQ(text.reason, "Sumele creditului sunt prea mari pentru a fi scrise in oferta.");
    EXPECT_TRUE(text.inputs.empty() && text.rows.empty());
    EXPECT_EQ(offer::scheduleCsv(text), "");
}

} // namespace
