// The offer read from the window: its schedule against the state, when it may be made and why
// not, the batch tool's schedule action and the exported table.

#include "batch/batch.h"
#include "core/calcule.h"
#include "offer/cent_schedule.h"
#include "offer/offer_text.h"
#include "offer/schedule_offer.h"
#include "tariff/read.h"
#include "tariff/write.h"
#include "tests/support/batch_run.h"
#include "tests/support/csv_rows.h"
#include "tests/support/started_form.h"
#include "tests/support/worked_example.h"
#include "ui/form1.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using core::Control;
using nlohmann::json;
namespace worked = testsupport::worked;

struct Simulation {
    const char* tbvp;
    const char* tbavans;
    const char* tbdurcred;
    int insurance = 0;
    bool cash = false;
    const char* vn = "";
    const char* ar = "";
};

struct Window : testsupport::StartedForm {
    explicit Window(const Simulation& s) {
        set(Control::tbvp, s.tbvp);
        set(Control::tbavans, s.tbavans);
        set(Control::tbdurcred, s.tbdurcred);
        c().select(Control::cbasig, s.insurance);
        if (s.cash) {
            form.click(Control::Check2);
        }
        set(Control::vn, s.vn);
        set(Control::ar, s.ar);
    }
};

std::string describe(const Simulation& s) {
    return std::string(s.tbvp) + " less " + s.tbavans + " over " + s.tbdurcred + " months";
}

const std::vector<Simulation> accepted = {
    {"2000", "200", "24", 1},
    {"2000", "200", "6", 0},
    {"1500", "0", "12", 3, true},
    {"27000", "1000", "60", 2},
    {"999.99", "100", "18", 1, true},
    {"5000", "4000", "36", 0},
    {"8000", "500", "48", 2, false, "4000", "300"},
};

TEST(ScheduleOffer, TotalsAgreeWithTheState) {
    for (const Simulation& sim : accepted) {
        SCOPED_TRACE(describe(sim));
        const Window w(sim);
        const core::SimulationState& s = w.form.state();
        const offer::ScheduleOffer o = offer::scheduleOffer(w.form);
        ASSERT_TRUE(o.valid) << o.reason;
        ASSERT_EQ(o.months.size(), static_cast<std::size_t>(s.durata));
        ASSERT_TRUE(o.totals);
        EXPECT_NEAR(o.totals->principal, s.valoarecredit, 0.01);
        EXPECT_NEAR(o.months.back().balance, 0.0, 0.01);
        EXPECT_NEAR(o.totals->instalment, s.rataluna * s.durata, 1e-6);
        // Each month's instalment splits into its four parts.
        for (const offer::MonthRow& r : o.months) {
            EXPECT_NEAR(r.interest + r.commission + r.insurance + r.principal, r.instalment, 1e-9);
        }
        EXPECT_EQ(o.months.front().insurance, s.months.aasig[1]);
        EXPECT_EQ(o.dae, s.daeval);
        // The scan of trial rates steps 0.00003 a month: the exact rate lies within a step.
        ASSERT_TRUE(o.daeExact) << o.daeExactReason;
        const double mScan = std::pow(1 + s.daeval, 1.0 / 12) - 1;
        const double mExact = std::pow(1 + *o.daeExact, 1.0 / 12) - 1;
        EXPECT_NEAR(mExact, mScan, 0.00003);
    }
}

TEST(ScheduleOffer, RefusedWithAReason) {
    struct Case {
        Simulation sim;
        const char* reasonStart;
    };
    const std::vector<Case> cases = {
        {{"", "", "24"}, "Valoarea produsului nu este completata"},
        {{"2000", "200", "70"}, "Simularea nu respecta limitele produsului"},
        {{"200000", "0", "24"}, "Simularea nu respecta limitele produsului"},
        {{"2000", "200", "24", 0, false, "1000", "900"}, "Clientul este refuzat"},
        {{"2000", "2000", "24"}, "Avansul acopera toata valoarea produsului"},
        {{"2000", "200", "12.5"}, "Durata creditului nu este un numar intreg"},
        {{"700", "500", "24"}, "Suma finantata este sub creditul minim de 510 RON"},
        {{"3679.85", "", "48"}, "Nicio dobanda din grila tarifului nu se aplica"},
        {{"2000", "3000", "24"}, "Avansul acopera toata valoarea produsului"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c.sim));
        const Window w(c.sim);
        const offer::ScheduleOffer o = offer::scheduleOffer(w.form);
        EXPECT_FALSE(o.valid);
        EXPECT_EQ(o.reason.rfind(c.reasonStart, 0), 0U) << o.reason;
        EXPECT_TRUE(o.months.empty());
        EXPECT_FALSE(o.totals);
        EXPECT_FALSE(o.daeExact);
        EXPECT_FALSE(o.daeExactReason.empty());
        const offer::OfferText text = offer::offerText(w.form, o);
        EXPECT_FALSE(text.valid);
        EXPECT_TRUE(text.rows.empty());
        EXPECT_EQ(offer::scheduleCsv(text), "");
    }
}

// Why there is no exact rate, in the agent's words: one sentence for each reason, none for none.
TEST(ScheduleOffer, ExactRateFailuresInWords) {
    using F = schedule::DaeExactFailure;
    EXPECT_EQ(offer::daeExactFailureText(F::None), "");
    EXPECT_EQ(offer::daeExactFailureText(F::NothingReceived),
              "Clientul nu primeste nicio suma la acordarea creditului.");
    EXPECT_EQ(offer::daeExactFailureText(F::NoPayments), "Graficul nu are nicio plata.");
    EXPECT_EQ(offer::daeExactFailureText(F::NotUnique),
              "Platile lunare isi schimba semnul, deci nu exista o singura dobanda care sa le "
              "echilibreze.");
    EXPECT_EQ(offer::daeExactFailureText(F::NotFinite), "Platile lunare nu sunt numere finite.");
    EXPECT_EQ(offer::daeExactFailureText(F::NoConvergence),
              "Dobanda care echilibreaza platile nu a putut fi gasita cu precizia ceruta.");
}

// What the state may hold when something upstream went wrong, set by hand on an accepted
// simulation: nothing of it may reach the customer's paper, and each says why.
TEST(ScheduleOffer, RefusesFiguresThatCannotBePrinted) {
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    const char* unfit = "Graficul de rambursare are valori care nu pot fi calculate.";
    struct Case {
        const char* what;
        std::function<void(core::SimulationState&)> spoil;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"product value", [&](auto& s) { s.valoareprodus = nan; },
         "Valoarea produsului sau avansul nu este un numar valid."},
        {"down payment", [&](auto& s) { s.valavans = inf; },
         "Valoarea produsului sau avansul nu este un numar valid."},
        {"no instalment", [](auto& s) { s.rataluna = 0; },
         "Simularea nu are o rata lunara pozitiva."},
        {"instalment", [&](auto& s) { s.rataluna = nan; },
         "Simularea nu are o rata lunara pozitiva."},
        {"duration", [&](auto& s) { s.durata = nan; },
         "Durata creditului nu este un numar intreg de luni."},
        {"beyond the schedule", [](auto& s) { s.durata = 601; },
         "Durata creditului nu este un numar intreg de luni."},
        {"a month", [&](auto& s) { s.months.adobanda[3] = inf; }, unfit},
        {"no month", [](auto& s) { s.durata = 0; },
         "Durata creditului nu este un numar intreg de luni."},
        {"a commission", [&](auto& s) { s.months.acomgest[1] = nan; }, unfit},
        {"an insurance", [&](auto& s) { s.months.aasig[24] = -inf; }, unfit},
        {"a principal", [&](auto& s) { s.months.aprincipal[2] = inf; }, unfit},
        {"a balance", [&](auto& s) { s.months.asold[5] = nan; }, unfit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Window w(accepted[0]);
        c.spoil(w.form.state());
        const offer::ScheduleOffer o = offer::scheduleOffer(w.form);
        EXPECT_FALSE(o.valid);
        EXPECT_EQ(o.reason, c.reason);
        EXPECT_EQ(o.daeExactReason, c.reason);
        EXPECT_TRUE(o.months.empty());
        EXPECT_FALSE(o.totals);
    }
    Window refused(accepted[0]); // the box says so even where the panel is not shown
    refused.set(Control::tbsumacc, core::refusedText);
    EXPECT_EQ(offer::scheduleOffer(refused.form).reason,
              "Clientul este refuzat: gradul de indatorare este prea mare.");
}

// Figures without a value read as a dash, with the reason where there is one; a typed
// insurance that is no item of the list insures nothing.
TEST(OfferText, MissingFiguresAndATypedInsurance) {
    Window w(accepted[0]);
    w.c().setText(Control::cbasig, "Altceva");
    offer::ScheduleOffer o = offer::scheduleOffer(w.form);
    ASSERT_TRUE(o.valid) << o.reason;
    o.daeExact.reset();
    o.daeExactReason = "Graficul nu are nicio plata.";
    const offer::OfferText text = offer::offerText(w.form, o);
    EXPECT_EQ(text.inputs[7].value, "Fara Asigurare");
    EXPECT_EQ(text.keyFigures[6].value,
              std::string(offer::noValue) + " (Graficul nu are nicio plata.)");
}

// Made by hand, as no product allows it: a management commission below -100 % a month makes the
// instalment raise a negative number to a fractional power, and the recalculation stops there.
TEST(ScheduleOffer, RefusedAfterAnAbandonedRecalculation) {
    Window w({"1000", "", "5"});
    w.form.state().comgestdd = -1.5;
    w.form.controls().setText(Control::tbdurcred, "5.5");
    ASSERT_FALSE(w.form.resultsCurrent());
    const offer::ScheduleOffer o = offer::scheduleOffer(w.form);
    EXPECT_FALSE(o.valid);
    EXPECT_EQ(o.reason.rfind("Ultimul calcul a fost intrerupt", 0), 0U) << o.reason;
}

// A lender's tariff whose grid gives 0 % to some credits and allows a single month: a rule whose
// rate is 0 still holds, and a one-month credit is a credit.
TEST(ScheduleOffer, RuleAtZeroPercentAndOneMonthAreOffers) {
    std::ifstream in(SIMCREDIT_EXAMPLE_TARIFF, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto replace = [&](std::string_view from, std::string_view to) {
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    };
    replace(R"("duration": {"minimum": 6)", R"("duration": {"minimum": 1)");
    replace(R"({"duration_min": 6, "duration_max": 12, "credit_above": 510, "rate": 0.167})",
            R"({"duration_min": 1, "duration_max": 12, "credit_above": 510, "rate": 0})");
    const tariff::ReadResult read = tariff::read(text);
    ASSERT_TRUE(read.tariff) << (read.problems.empty() ? "" : read.problems[0].text());
    for (const char* months : {"1", "12"}) {
        SCOPED_TRACE(months);
        ui::MessageLog log;
        ui::Form1 form(log, *read.tariff);
        form.Form_Load();
        form.controls().setText(Control::tbvp, "2000");
        form.controls().setText(Control::tbdurcred, months);
        ASSERT_EQ(form.state().dobanda, 0.0);
        const offer::ScheduleOffer o = offer::scheduleOffer(form);
        EXPECT_TRUE(o.valid) << o.reason;
        EXPECT_EQ(o.months.size(), std::stoul(months));
    }
}

TEST(ScheduleOffer, ReadsTheWindowWithoutChangingIt) {
    const Window w(accepted[0]);
    const long before = w.form.recalculations();
    const std::string lbrata = w.form.controls().caption(Control::lbrata);
    const offer::OfferText text = offer::offerText(w.form);
    EXPECT_EQ(w.form.recalculations(), before);
    EXPECT_EQ(w.form.controls().caption(Control::lbrata), lbrata);
    // The key figures repeat what the window shows.
    EXPECT_EQ(text.keyFigures[0].value, lbrata + " RON");
    EXPECT_EQ(text.keyFigures[4].value, w.form.controls().caption(Control::lbdobaferenta) + " RON");
    EXPECT_EQ(text.keyFigures[5].value, "45.04 %");
    EXPECT_EQ(text.inputs[7].value, "Standard");
    EXPECT_EQ(text.subtitle, "Tarif: Tarif standard (2026-12-01)"); // the tariff in force
    EXPECT_EQ(text.rows.size(), 24U);
}

// The printed figure read back in cents: the documents' columns must add up exactly.
long long printedCents(const std::string& text) {
    const auto dot = text.find('.');
    EXPECT_EQ(dot, text.size() - 3) << text;
    const bool negative = text.front() == '-';
    const long long whole = std::stoll(text.substr(negative ? 1 : 0, dot));
    const long long cents = whole * 100 + std::stoll(text.substr(dot + 1));
    return negative ? -cents : cents;
}

// What the customer reads: every column of the printed schedule adds up to its printed total,
// the instalment is the same every month but the last, which settles the balance, and the key
// figures repeat the printed rows.
TEST(OfferText, EveryPrintedColumnAddsUpToItsTotal) {
    const std::vector<Simulation> customers = {
        {"2000", "200", "6", 1},    {"5000", "0", "24", 0},       {"5000", "0", "24", 3, true},
        {"7000", "1000", "48", 2},  {"27000", "1000", "60", 2},   {"999.99", "100", "60", 1},
        {"12345.67", "0", "48", 0}, {"4100", "0", "60", 3, true},
    };
    for (const Simulation& sim : customers) {
        SCOPED_TRACE(describe(sim));
        const Window w(sim);
        const offer::OfferText text = offer::offerText(w.form);
        ASSERT_TRUE(text.valid) << text.reason;
        ASSERT_EQ(text.rows.size(), static_cast<std::size_t>(std::stoi(sim.tbdurcred)));
        for (std::size_t column = 1; column <= 5; ++column) {
            SCOPED_TRACE(text.header[column]);
            long long sum = 0;
            for (const offer::Row& row : text.rows) {
                sum += printedCents(row[column]);
            }
            EXPECT_EQ(sum, printedCents(text.totals[column]));
        }
        long long balance =
            printedCents(text.inputs[4].value.substr(0, text.inputs[4].value.size() - 4));
        for (const offer::Row& row : text.rows) {
            EXPECT_EQ(printedCents(row[1]), printedCents(row[2]) + printedCents(row[3]) +
                                                printedCents(row[4]) + printedCents(row[5]))
                << "month " << row[0];
            balance -= printedCents(row[5]);
            EXPECT_EQ(printedCents(row[6]), balance) << "month " << row[0];
        }
        EXPECT_EQ(text.rows.back()[6], "0.00");
        for (std::size_t i = 0; i + 1 < text.rows.size(); ++i) {
            EXPECT_EQ(text.rows[i][1], w.form.controls().caption(Control::lbrata));
        }
        EXPECT_NEAR(static_cast<double>(printedCents(text.rows.back()[1])),
                    static_cast<double>(printedCents(text.rows.front()[1])), 50.0);
        EXPECT_EQ(text.keyFigures[0].label, "Rata lunara");
        EXPECT_EQ(text.keyFigures[0].value, text.rows.front()[1] + " RON");
        EXPECT_EQ(text.keyFigures[3].label, "Total de rambursat");
        EXPECT_EQ(text.keyFigures[3].value, text.totals[1] + " RON");
        EXPECT_EQ(text.inputs[4].value, text.totals[5] + " RON"); // the credit value repaid
        // The CSV prints the same figures.
        const auto csv = testsupport::csvRows(offer::scheduleCsv(text));
        ASSERT_EQ(csv.size(), text.rows.size() + 2);
        EXPECT_EQ(csv.back(), std::vector<std::string>(text.totals.begin(), text.totals.end()));
    }
}

TEST(CentSchedule, RoundsAsTheWindowAndNeverWritesAnExponent) {
    EXPECT_EQ(offer::toCents(189.0751), 18908);
    EXPECT_EQ(offer::toCents(189.0749), 18907);
    EXPECT_EQ(offer::toCents(0.125), 13); // an exact half cent goes away from zero
    EXPECT_EQ(offer::toCents(-0.125), -13);
    EXPECT_EQ(offer::toCents(1e12), 100000000000000LL);
    EXPECT_FALSE(offer::toCents(1e13));
    EXPECT_FALSE(offer::toCents(std::nan("")));
    EXPECT_FALSE(offer::toCents(-INFINITY));
    EXPECT_EQ(offer::centsText(5), "0.05");
    EXPECT_EQ(offer::centsText(-5), "-0.05");
    EXPECT_EQ(offer::centsText(123456789012345LL), "1234567890123.45");
    EXPECT_EQ(offer::amount(INFINITY), offer::noValue);
    EXPECT_EQ(offer::percent(std::nan("")), offer::noValue);
}

// What the customer reads of the worked example: every line of the credit, the granting
// commission as the credit value less the amount financed.
TEST(OfferText, LinesOfTheWorkedExample) {
    const Window w(accepted[0]);
    const offer::OfferText text = offer::offerText(w.form);
    ASSERT_TRUE(text.valid) << text.reason;
    std::vector<std::string> lines;
    for (const offer::Line& line : text.inputs) {
        lines.push_back(line.label + ": " + line.value);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Valoare produs: 2000.00 RON",
                         "Avans: 200.00 RON",
                         "Suma finantata: 1800.00 RON",
                         "Comision de acordare: 156.60 RON",
                         "Valoare credit: 1956.60 RON",
                         "Durata: 24 luni",
                         "Dobanda anuala: 10.70 %",
                         "Asigurare: Standard",
                         "Modalitate de plata: Debit Direct",
                     }));
    EXPECT_EQ(text.financed, worked::financed);
    EXPECT_EQ(text.months, worked::months);
}

// A field with a separator, a quote or a line break is quoted, its quotes doubled; the others
// are written as they are.
TEST(ScheduleCsv, QuotesOnlyWhatNeedsItAndDoublesQuotes) {
    offer::OfferText text;
    text.valid = true;
    text.header = {"Luna", "Rata \"fixa\"", "a,b", "x\ny", "\"", "", "Sold"};
    text.totals = {"Total", "1", "2", "3", "4", "5", ""};
    EXPECT_EQ(offer::scheduleCsv(text),
              "Luna,\"Rata \"\"fixa\"\"\",\"a,b\",\"x\ny\",\"\"\"\",,Sold\r\n"
              "Total,1,2,3,4,5,\r\n");
    const auto rows = testsupport::csvRows(offer::scheduleCsv(text));
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0], std::vector<std::string>(text.header.begin(), text.header.end()));
}

TEST(ScheduleCsv, ReadsBackThroughTheCsvReader) {
    const Window w(accepted[3]);
    const offer::OfferText text = offer::offerText(w.form);
    const std::string csv = offer::scheduleCsv(text);
    const auto rows = testsupport::csvRows(csv);
    ASSERT_EQ(rows.size(), 62U);
    EXPECT_EQ(rows[0], std::vector<std::string>(text.header.begin(), text.header.end()));
    EXPECT_EQ(rows[1][0], "1");
    EXPECT_EQ(rows[60][0], "60");
    EXPECT_EQ(rows[61][0], "Total");
    EXPECT_EQ(rows[61][5], offer::amount(w.form.state().valoarecredit));
    for (std::size_t i = 1; i <= 60; ++i) {
        EXPECT_EQ(rows[i],
                  std::vector<std::string>(text.rows[i - 1].begin(), text.rows[i - 1].end()));
    }
    EXPECT_EQ(csv.find('\n'), csv.find("\r\n") + 1); // CRLF line ends
}

// The batch tool's schedule action, through a script as an agent's session would run it.
TEST(ScheduleAction, WritesTheScheduleAndChangesNothing) {
    const std::string typing = "type tbvp 2000\ntype tbavans 200\nerase tbdurcred 2\n"
                               "type tbdurcred 24\nselect cbasig 1\n";
    auto run = [](const std::string& text) {
        const testsupport::BatchRun r = testsupport::runScript(text);
        EXPECT_EQ(r.status, batch::ok) << r.err;
        return testsupport::lines(r.out);
    };
    const auto plain = run(typing + "type tbdurcred 0\nsnapshot\n");
    const auto withSchedule = run(typing + "schedule\ntype tbdurcred 0\nschedule\nsnapshot\n");
    ASSERT_EQ(withSchedule.size(), 3U);
    EXPECT_EQ(withSchedule[2], plain[0]); // the same snapshot, messages and count included

    const json valid = json::parse(withSchedule[0])["schedule"];
    EXPECT_EQ(valid["valid"], true);
    EXPECT_TRUE(valid["reason"].is_null());
    ASSERT_EQ(valid["months"].size(), 24U);
    EXPECT_EQ(valid["months"][0]["month"], 1);
    EXPECT_EQ(valid["months"][23]["month"], 24);
    double principal = 0;
    for (const json& m : valid["months"]) {
        principal += m["principal"].get<double>();
    }
    EXPECT_EQ(valid["totals"]["principal"].get<double>(), principal); // same order, same sum
    EXPECT_NEAR(principal, worked::valcredit.value, 0.01); // the sum of 24 rounded figures
    EXPECT_NEAR(valid["dae"].get<double>(), worked::dae.value, worked::dae.tolerance);
    EXPECT_NEAR(valid["dae_exact"].get<double>(), 0.4504, 0.0005);
    EXPECT_TRUE(valid["dae_exact_reason"].is_null());

    const json refused = json::parse(withSchedule[1])["schedule"]; // 240 months: the limits
    EXPECT_EQ(refused["valid"], false);
    EXPECT_TRUE(refused["reason"].is_string());
    EXPECT_EQ(refused["months"], json::array());
    EXPECT_TRUE(refused["totals"].is_null());
    EXPECT_TRUE(refused["dae_exact"].is_null());
    EXPECT_TRUE(refused["dae_exact_reason"].is_string());

    const testsupport::BatchRun malformed = testsupport::runScript("schedule now\n");
    EXPECT_EQ(malformed.status, batch::malformed);
    EXPECT_EQ(malformed.err, "line 1: schedule takes no operand\n");
}

} // namespace
