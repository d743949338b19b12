#include "offer/offer_text.h"
#include "offer/standard_form.h"
#include "offer/tests/offer_lines.h"
#include "tariff/read.h"
#include "tests/support/started_form.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

using core::Control;

tariff::Tariff exampleTariff() {
    std::ifstream in(SIMCREDIT_FULL_TARIFF, std::ios::binary);
    tariff::ReadResult r = tariff::read(std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_TRUE(r.tariff) << (r.problems.empty() ? "" : r.problems[0].text());
    return std::move(*r.tariff);
}

using offertest::valueOf;

// The form and the offer are handed over together: the instalment and the total repaid must be
// the same figures on both, the sums of the rows the customer pays, at every duration.
TEST(StandardForm, PrintsTheOffersFiguresInCents) {
    const tariff::Tariff tarif = exampleTariff();
    for (const char* durata : {"6", "24", "48", "60"}) {
        SCOPED_TRACE(durata);
        testsupport::StartedForm f(tarif);
        f.set(Control::vn, "9000");
        f.set(Control::tbvp, "1999.99");
        f.set(Control::tbavans, "300");
        f.set(Control::tbdurcred, durata);
        f.c().select(Control::cbasig, 0); // no insurance: the payable total is every instalment
        const offer::StandardForm form = offer::standardForm(f.form, std::nullopt, "08.12.2026");
        const offer::OfferText offer = offer::offerText(f.form);
        ASSERT_TRUE(form.valid) << form.reason;
        ASSERT_TRUE(offer.valid) << offer.reason;
        const std::vector<offer::Line>& essentials = form.sections.at(0).lines;
        EXPECT_EQ(valueOf(essentials, "Rata lunară"), valueOf(offer.keyFigures, "Rata lunara"));
        EXPECT_EQ(valueOf(essentials, "Valoarea totală plătibilă"),
                  valueOf(offer.keyFigures, "Total de rambursat"));
    }
}

} // namespace
