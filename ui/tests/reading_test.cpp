#include "runtime/val.h"
#include "tariff/read.h"
#include "tests/support/started_form.h"
#include "tests/support/window_helpers.h"
#include "ui/form1.h"
#include "ui/input_hints.h"
#include "ui/summary.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

// What the window tells the agent about the simulation beside its figures: how much of a typed
// text the number reader takes, the hint when it is not all, the summary to copy, and a new
// customer.
namespace {

using core::Control;
using testsupport::retype;
using testsupport::type;

struct ExtentCase {
    const char* text;
    std::size_t extent;
    bool whole;
};

TEST(ValExtent, HowMuchOfTheTextIsRead) {
    const std::vector<ExtentCase> cases = {
        {"", 0, true},       {"   ", 0, true},       {"3500", 4, true},   {" 3 500 ", 6, true},
        {"3,500", 1, false}, {"3500 lei", 4, false}, {"-12.5", 5, true},  {"+.5", 3, true},
        {"5.", 2, true},     {"1.2.3", 3, false},    {"1e5", 1, false},   {"abc", 0, false},
        {"-", 0, false},     {".", 0, false},        {"- 4 x", 3, false}, {"--4", 0, false},
        {"4-", 1, false},    {"0x10", 1, false},
    };
    for (const ExtentCase& c : cases) {
        SCOPED_TRACE(std::string("text \"") + c.text + "\"");
        EXPECT_EQ(runtime::ValExtent(c.text), c.extent);
        EXPECT_EQ(runtime::ValReadsWhole(c.text), c.whole);
    }
}

// The extent must be exactly what Val reads: Val of the part read equals Val of the whole text,
// and a text read whole has nothing but blanks after it. Random texts over Val's alphabet.
TEST(ValExtent, AgreesWithValOnRandomTexts) {
    std::mt19937 random(20261208);
    const std::string alphabet = "0123456789.+- ,ex";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        for (int i = length(random); i > 0; --i) {
            text.push_back(alphabet[pick(random)]);
        }
        SCOPED_TRACE("text \"" + text + "\"");
        const std::size_t extent = runtime::ValExtent(text);
        ASSERT_LE(extent, text.size());
        const double whole = runtime::Val(text);
        const double part = runtime::Val(std::string_view(text).substr(0, extent));
        ASSERT_TRUE(whole == part || (whole != whole && part != part));
        // Whatever follows the extent adds nothing: cutting one more character changes nothing
        // when that character is not read.
        if (extent < text.size() && text[extent] != ' ') {
            ASSERT_EQ(runtime::Val(text.substr(0, extent + 1)), part) << "extent " << extent;
        }
    }
}

class Reading : public testsupport::StartedFormTest {
protected:
    std::string hint(Control k) { return ui::inputHint(c(), k); }
};

TEST_F(Reading, HintsFollowTheText) {
    type(c(), Control::tbvp, "3,500");
    EXPECT_EQ(hint(Control::tbvp), "Se citeste 3; restul textului nu este luat in calcul");
    retype(c(), Control::tbvp, "3500 lei");
    EXPECT_EQ(hint(Control::tbvp), "Se citeste 3500; restul textului nu este luat in calcul");
    retype(c(), Control::tbvp, " 3 500 ");
    EXPECT_EQ(hint(Control::tbvp), "");
    retype(c(), Control::tbavans, "-200");
    EXPECT_EQ(hint(Control::tbavans), "Se citeste -200; valoarea este negativa");
    retype(c(), Control::vn, "abc");
    EXPECT_EQ(hint(Control::vn), "Se citeste 0; restul textului nu este luat in calcul");
    retype(c(), Control::vn, "");
    EXPECT_EQ(hint(Control::vn), "");
    // The rate box and the outputs are read by nothing: no hint whatever they hold.
    retype(c(), Control::tbdob, "x");
    EXPECT_EQ(hint(Control::tbdob), "");
    EXPECT_EQ(hint(Control::lbrata), "");
}

// Thousands written the Romanian way are read as decimals: the form keeps doing so, the hint says
// it at once, as soon as the text looks so.
TEST_F(Reading, ThousandsWithDotsAreHintedButStillReadAsDecimals) {
    type(c(), Control::tbvp, "3.500");
    EXPECT_EQ(form.state().valoareprodus, 3.5);
    EXPECT_EQ(hint(Control::tbvp),
              "Se citeste 3.5, punctul fiind virgula zecimala; ati vrut 3500? Scrieti fara punct.");
    type(c(), Control::vn, "4.200");
    EXPECT_EQ(form.state().venitnet, 4.2);
    EXPECT_NE(hint(Control::vn).find("ati vrut 4200?"), std::string::npos) << hint(Control::vn);
    retype(c(), Control::tbavans, " 1.250.000 ");
    EXPECT_NE(hint(Control::tbavans).find("Se citeste 1.25, "), std::string::npos);
    EXPECT_NE(hint(Control::tbavans).find("ati vrut 1250000?"), std::string::npos);
    // Not thousands: a decimal fraction of another length, a leading 0, a group too long.
    retype(c(), Control::tbvp, "3.50");
    EXPECT_EQ(hint(Control::tbvp), "");
    retype(c(), Control::tbvp, "0.500");
    EXPECT_EQ(hint(Control::tbvp), "");
    retype(c(), Control::tbvp, "3500.000");
    EXPECT_EQ(hint(Control::tbvp), "");
    retype(c(), Control::tbvp, "1.2500");
    EXPECT_EQ(hint(Control::tbvp), "");
    retype(c(), Control::tbvp, "1.250.00");
    EXPECT_EQ(hint(Control::tbvp), "Se citeste 1.25; restul textului nu este luat in calcul");
    // A group broken at any of its places, a comma for the dot, digits alone.
    const std::pair<const char*, const char*> broken[] = {
        {"1.x50", "Se citeste 1; restul textului nu este luat in calcul"},
        {"1.2x0", "Se citeste 1.2; restul textului nu este luat in calcul"},
        {"1.25x", "Se citeste 1.25; restul textului nu este luat in calcul"},
        {"1.250x", "Se citeste 1.25; restul textului nu este luat in calcul"},
        {"1,250", "Se citeste 1; restul textului nu este luat in calcul"},
        {"1250", ""},
        {".250", ""},
    };
    for (const auto& [text, expected] : broken) {
        SCOPED_TRACE(text);
        retype(c(), Control::tbvp, text);
        EXPECT_EQ(hint(Control::tbvp), expected);
    }
}

TEST_F(Reading, ListHintWhenNoItemMatches) {
    EXPECT_EQ(hint(Control::cbasig), "");
    retype(c(), Control::cbasig, "senior");
    EXPECT_EQ(hint(Control::cbasig),
              "Textul nu este o optiune din lista; se calculeaza fara asigurare");
    retype(c(), Control::cbasig, "Senior");
    EXPECT_EQ(hint(Control::cbasig), "");
}

// A notification runs only its own control's handler: a value set on a box or a text set on a
// check box recalculates nothing. A grey check box (value 2) leaves its partner as it is, and
// the summary then names no payment rather than guessing one.
TEST_F(Reading, ForeignNotificationsAndGreyPaymentBoxes) {
    type(c(), Control::tbvp, "2000");
    const long long before = form.recalculations();
    c().setValue(Control::tbvp, 1);
    c().setText(Control::Check1, "x");
    c().setText(Control::Check2, "y");
    EXPECT_EQ(form.recalculations(), before);
    EXPECT_EQ(c().value(Control::Check1), 1);
    EXPECT_EQ(c().value(Control::Check2), 0);

    c().setValue(Control::Check1, 2);
    EXPECT_EQ(c().value(Control::Check2), 0);
    EXPECT_EQ(form.recalculations(), before); // the first box's click does not recalculate
    c().setValue(Control::Check2, 2);
    EXPECT_EQ(c().value(Control::Check1), 2);
    EXPECT_EQ(form.recalculations(), before + 1);
    const std::string summary = ui::summaryText(form);
    EXPECT_NE(summary.find("\nPlata:\n"), std::string::npos) << summary;
}

TEST_F(Reading, SummaryOfAWorkedCredit) {
    type(c(), Control::vn, "3000");
    type(c(), Control::ar, "200");
    type(c(), Control::tbvp, "2000");
    type(c(), Control::tbavans, "200");
    c().select(Control::cbasig, 1);
    retype(c(), Control::tbdurcred, "24");
    EXPECT_EQ(ui::summaryText(form), "Venit Net: 3000 RON\n"
                                     "Alte Rate: 200 RON\n"
                                     "Alte Datorii:\n"
                                     "Valoare Produs: 2000 RON\n"
                                     "Avans: 200 RON\n"
                                     "Prima de asigurare: Standard\n"
                                     "Plata: Debit Direct\n"
                                     "Durata Creditului: 24 LUNI\n"
                                     "Procent Dobanda:  10.70%\n"
                                     "Total de Plata: 113.45 RON\n"
                                     "Asigurare - prima luna: 8.60904 RON\n"
                                     "Comision de gestiune - prima luna: 29.35 RON\n"
                                     "Cost Total: 922.74 RON\n"
                                     "DAE: 45.04 %\n"
                                     "Indice BNR: 10.45  %\n"
                                     "Valoare maxima bunuri: 13310.20 RON\n"
                                     "Rata TLXF: 113.45 RON\n");
}

TEST_F(Reading, SummaryOfARefusalAndOfEachPanel) {
    type(c(), Control::vn, "1000");
    type(c(), Control::ar, "900");
    type(c(), Control::tbvp, "2000");
    type(c(), Control::tbavans, "200");
    retype(c(), Control::tbdurcred, "24");
    form.click(Control::Check2);
    std::string text = ui::summaryText(form);
    EXPECT_NE(text.find("Plata: Numerar\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Valoare maxima bunuri: REFUZAT\n"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("Eroare: Indatorare prea mare. Incercati cu o valoare mai mica sau "
                               "o perioada mai mare.\n"))
        << text;

    retype(c(), Control::tbdurcred, "70");
    text = ui::summaryText(form);
    EXPECT_TRUE(text.ends_with("Eroare: Durata creditului este prea mare (Perioada maxima - 60 "
                               "LUNI).\n"))
        << text;

    // Two messages in the panel, one blank line between them: one blank in the copied line.
    retype(c(), Control::tbvp, "300");
    retype(c(), Control::tbavans, "0");
    ASSERT_NE(c().caption(Control::Label10).find("\r\r"), std::string::npos);
    text = ui::summaryText(form);
    EXPECT_TRUE(
        text.ends_with("Eroare: Durata creditului este prea mare (Perioada maxima - 60 "
                       "LUNI). Valoare produs prea mica (Creditul minim este de 510 RON)\n"))
        << text;
}

// A new customer is the window as just opened: the same picture and the same state after the
// same keystrokes, although the earlier customer's recalculations moved the commission bands.
TEST(StartOver, SameAsAFreshWindow) {
    ui::MessageLog freshLog;
    ui::Form1 fresh(freshLog);
    fresh.Form_Load();

    ui::MessageLog log;
    ui::Form1 form(log);
    std::vector<std::string> heard;
    form.controls().addObserver([&](Control, ui::Property) { heard.emplace_back(); });
    form.Form_Load();
    type(form.controls(), Control::vn, "2500");
    type(form.controls(), Control::tbvp, "30000");
    retype(form.controls(), Control::tbdurcred, "48");
    form.controls().select(Control::cbasig, 3);
    form.click(Control::Check2);
    type(form.controls(), Control::cbasig, "x");
    const long before = form.recalculations();
    heard.clear();

    form.startOver();
    EXPECT_EQ(form.recalculations(), before + 2) << "start-up recalculates twice, counted on";
    EXPECT_FALSE(heard.empty()) << "the observers stay";
    EXPECT_EQ(testsupport::picture(form.controls()), testsupport::picture(fresh.controls()));
    EXPECT_EQ(testsupport::fields(form.state()), testsupport::fields(fresh.state()));

    for (ui::Form1* f : {&fresh, &form}) {
        type(f->controls(), Control::vn, "4200");
        type(f->controls(), Control::tbvp, "3500");
        type(f->controls(), Control::tbavans, "500");
        retype(f->controls(), Control::tbdurcred, "12");
    }
    EXPECT_EQ(testsupport::picture(form.controls()), testsupport::picture(fresh.controls()));
    EXPECT_EQ(testsupport::fields(form.state()), testsupport::fields(fresh.state()));
    EXPECT_TRUE(testsupport::sameSchedules(form.state(), fresh.state()));
    EXPECT_EQ(log.shown.size(), freshLog.shown.size());
}

// A lender's tariff stays in force for the next customer: same captions, same figures.
TEST(StartOver, KeepsTheTariffInForce) {
    const tariff::ReadResult nord = tariff::readFile(SIMCREDIT_NORD_TARIFF);
    ASSERT_TRUE(nord.tariff);
    ui::MessageLog log;
    ui::Form1 form(log, *nord.tariff);
    form.Form_Load();
    auto customer = [&] {
        retype(form.controls(), Control::tbvp, "2000");
        retype(form.controls(), Control::tbdurcred, "12");
        return std::pair(testsupport::picture(form.controls()), testsupport::fields(form.state()));
    };
    const auto before = customer();
    form.startOver();
    EXPECT_EQ(form.controls().caption(Control::Form1), "Credit Nord");
    EXPECT_EQ(form.controls().data(Control::cbasig).items.size(), 2U);
    EXPECT_EQ(&form.state().tarif->terms(), &nord.tariff->terms());
    const auto after = customer();
    EXPECT_EQ(after, before);
    EXPECT_EQ(form.state().dobanda, 0.2);
}

} // namespace
