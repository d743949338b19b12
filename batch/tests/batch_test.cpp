#include "batch/batch.h"
#include "batch/csv.h"
#include "offer/snapshot_json.h"
#include "runtime/json_text.h"
#include "tests/support/batch_run.h"
#include "tests/support/csv_rows.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

using Outcome = testsupport::BatchRun;

Outcome script(const std::string& text) {
    return testsupport::runScript(text);
}

Outcome table(const std::string& text) {
    return testsupport::runTable(text);
}

std::vector<json> snapshots(const std::string& out) {
    std::vector<json> parsed;
    for (const std::string& line : testsupport::lines(out)) {
        parsed.push_back(json::parse(line));
    }
    return parsed;
}

std::vector<std::vector<std::string>> records(const std::string& csv) {
    return testsupport::csvRows(csv);
}

TEST(BatchScript, ReplaysKeystrokesAndCountsRecalculations) {
    const Outcome run = script("snapshot\n"
                               "type tbvp 2000\r\n"
                               "# a comment, then a blank line\n"
                               "\n"
                               "set tbavans 200\n"
                               "set tbavans 200\n"
                               "erase tbdurcred 2\n"
                               "type tbdurcred 24\n"
                               "snapshot\n");
    ASSERT_EQ(run.status, batch::ok) << run.err;
    const auto shots = snapshots(run.out);
    ASSERT_EQ(shots.size(), 2U);
    EXPECT_EQ(shots[0]["recalculations"], 2);
    // 4 digits, one set (the repeated one changes nothing), 2 erasures, 2 digits.
    EXPECT_EQ(shots[1]["recalculations"], 2 + 4 + 1 + 2 + 2);
    const json& c = shots[1]["controls"];
    EXPECT_EQ(c["lbrata"]["caption"], "108.09");
    EXPECT_EQ(c["tbdob"]["text"], " 10.70%");
    EXPECT_EQ(c["cbasig"]["items"].size(), 4U);
    EXPECT_EQ(shots[1]["state"]["valoarecredit"].template get<double>(), 1956.6);
}

TEST(BatchScript, MessagesAreListedOncePerSnapshot) {
    const Outcome run = script("set tbdurcred 551\nsnapshot\nsnapshot\n");
    ASSERT_EQ(run.status, batch::ok);
    const auto shots = snapshots(run.out);
    ASSERT_EQ(shots.size(), 2U);
    ASSERT_EQ(shots[0]["messages"].size(), 1U);
    EXPECT_EQ(shots[0]["messages"][0]["title"], "EROARE");
    EXPECT_EQ(shots[0]["messages"][0]["prompt"], "Valoare nepermisa!");
    EXPECT_EQ(shots[0]["controls"]["tbdurcred"]["text"], "60");
    EXPECT_TRUE(shots[1]["messages"].empty());
}

TEST(BatchScript, TypesAndErasesWholeCharacters) {
    // "ă" is two bytes but one keystroke; erase stops at the empty text.
    const Outcome run = script(
        "set cbasig\ntype cbasig Opt\xC4\x83\nerase cbasig 9\ntype cbasig Optim\nsnapshot\n");
    ASSERT_EQ(run.status, batch::ok);
    const json shot = snapshots(run.out).at(0);
    EXPECT_EQ(shot["recalculations"], 2 + 1 + 4 + 4 + 5);
    EXPECT_EQ(shot["controls"]["cbasig"]["index"], 2);
}

TEST(BatchScript, MalformedLineStopsWithStatusTwo) {
    const struct {
        const char* line;
        const char* reason;
    } cases[] = {
        {"press tbvp", "unknown action 'press'"},
        {"set tbvp2 1", "unknown control 'tbvp2'"},
        {"set bnr 1", "control 'bnr' cannot be typed into"},
        {"erase tbvp x", "bad count 'x'"},
        {"erase tbvp -1", "bad count '-1'"},
        {"select cbasig 4", "bad item number '4'"},
        {"click vn", "only Check1 and Check2 can be clicked"},
        {"set", "missing control after 'set'"},
        {"snapshot now", "snapshot takes no operand"},
        {"legal now", "legal takes no operand"},
        {"click Check1 twice", "click takes no operand after the control"},
        {"select tbvp 0", "only cbasig has items to select"},
        {"select cbasig", "bad item number ''"},
        {"select cbasig 1x", "bad item number '1x'"},
        {"erase tbvp", "bad count ''"},
        {"erase tbvp 99999999999999999999", "bad count '99999999999999999999'"},
        {"early - total", "bad month '-'"},
        {"early 3 rata 1e", "bad amount '1e'"},
        {"early 3 rata 1.5x", "bad amount '1.5x'"},
        {"early 3 rata -.5", "bad amount '-.5'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Outcome run = script(std::string("snapshot\n") + c.line + "\nsnapshot\n");
        EXPECT_EQ(run.status, batch::malformed);
        EXPECT_EQ(run.err, std::string("line 2: ") + c.reason + "\n");
        EXPECT_EQ(snapshots(run.out).size(), 1U); // the snapshot before stays written
    }
    // An amount beyond a double is not a number an agent typed.
    const std::string huge = "1" + std::string(400, '0');
    const Outcome run = script("early 3 rata " + huge + "\n");
    EXPECT_EQ(run.status, batch::malformed);
    EXPECT_EQ(run.err, "line 1: bad amount '" + huge + "'\n");
}

// Characters of one to four bytes are one keystroke each; a byte that starts no whole character
// is a keystroke of its own, typed and erased alone, so any bytes can be replayed.
TEST(BatchScript, KeystrokesOfEveryCharacterLength) {
    const Outcome run = script("set cbasig\n"
                               "type cbasig \xE2\x82\xAC\xF0\x9F\x98\x80\n" // two characters
                               "snapshot\n"
                               "erase cbasig 1\n"
                               "snapshot\n"
                               "type cbasig \xE2\x82\n" // a character cut short: two bytes
                               "erase cbasig 2\n"
                               "type cbasig \xC4"
                               "A\xF5\n" // a lead byte without its follower
                               "erase cbasig 3\n"
                               "snapshot\n");
    ASSERT_EQ(run.status, batch::ok) << run.err;
    const auto shots = snapshots(run.out);
    ASSERT_EQ(shots.size(), 3U);
    EXPECT_EQ(shots[0]["controls"]["cbasig"]["text"], "\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(shots[0]["recalculations"], 2 + 1 + 2);
    EXPECT_EQ(shots[1]["controls"]["cbasig"]["text"], "\xE2\x82\xAC");
    EXPECT_EQ(shots[1]["recalculations"], 5 + 1);
    EXPECT_EQ(shots[2]["controls"]["cbasig"]["text"], "\xE2\x82\xAC");
    EXPECT_EQ(shots[2]["recalculations"], 6 + 2 + 2 + 3 + 3);
}

// The rate box can be typed into, like the window's, but nothing reads it: no recalculation, and
// the next one writes the rate over the typed text.
TEST(BatchScript, TheRateBoxIsTypedButReadByNothing) {
    const Outcome run = script("set tbdob abc\nsnapshot\nset tbvp 2000\nsnapshot\n");
    ASSERT_EQ(run.status, batch::ok) << run.err;
    const auto shots = snapshots(run.out);
    ASSERT_EQ(shots.size(), 2U);
    EXPECT_EQ(shots[0]["controls"]["tbdob"]["text"], "abc");
    EXPECT_EQ(shots[0]["recalculations"], 2);
    const Outcome untouched = script("set tbvp 2000\nsnapshot\n");
    EXPECT_EQ(shots[1]["controls"], snapshots(untouched.out).at(0)["controls"]);
}

// The legal figures are read from the window: asking for them, before and while the error panel
// shows, leaves the next snapshot (recalculations included) as it would be without them.
TEST(BatchScript, LegalChangesNothingTheNextSnapshotShows) {
    const std::string customer = "set vn 4200\nset tbvp 3500\nset tbavans 500\n"
                                 "set tbdurcred 24\nselect cbasig 1\n";
    const Outcome plain = script(customer + "type tbdurcred 0\nsnapshot\n");
    const Outcome asked = script(customer + "legal\ntype tbdurcred 0\nlegal\nsnapshot\n");
    ASSERT_EQ(asked.status, batch::ok) << asked.err;
    const auto lines = snapshots(asked.out);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0]["legal"]["valid"], true);
    EXPECT_EQ(lines[1]["legal"]["valid"], false);
    EXPECT_EQ(lines[2], snapshots(plain.out).at(0));
    EXPECT_EQ(lines[2]["controls"]["Label10"]["visible"], true);
}

// Blank lines of spaces and tabs are skipped like empty ones; the window's final state is handed
// over after the last line, and never after a malformed one.
TEST(BatchScript, BlankLinesAndTheFinalWindow) {
    std::istringstream in("type tbvp 2000\n \t \n\t\nselect cbasig 3\nclick Check2\n");
    std::ostringstream out;
    std::ostringstream err;
    int seen = 0;
    std::string shownIndex;
    const auto atEnd = [&](const ui::Form1& form) {
        ++seen;
        shownIndex = std::to_string(form.controls().listIndex(core::Control::cbasig)) + " " +
                     std::to_string(form.controls().value(core::Control::Check2));
    };
    EXPECT_EQ(batch::runScript(in, out, err, tariff::builtIn(), atEnd), batch::ok);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(shownIndex, "3 1");

    std::istringstream bad("type tbvp 2000\npress\n");
    EXPECT_EQ(batch::runScript(bad, out, err, tariff::builtIn(), atEnd), batch::malformed);
    EXPECT_EQ(seen, 1);
}

TEST(BatchScript, NonFiniteFiguresAreStrings) {
    EXPECT_EQ(runtime::jsonNumber(std::numeric_limits<double>::infinity()), "\"Infinity\"");
    EXPECT_EQ(runtime::jsonNumber(-std::numeric_limits<double>::infinity()), "\"-Infinity\"");
    EXPECT_EQ(runtime::jsonNumber(std::nan("")), "\"NaN\"");
    EXPECT_EQ(runtime::jsonNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(runtime::jsonNumber(60), "60");
    // A 400-digit product value reads as infinity; the snapshot stays valid JSON.
    const Outcome run =
        script("set tbvp 1" + std::string(400, '0') + "\nset vn \xFF\xFE\nsnapshot\n");
    ASSERT_EQ(run.status, batch::ok);
    EXPECT_EQ(snapshots(run.out).at(0)["state"]["valoareprodus"], "Infinity");
}

// The cell of column `name` in row `row`, the header being row 0.
std::string cell(const std::vector<std::vector<std::string>>& rows, std::size_t row,
                 const std::string& name) {
    const std::vector<std::string>& header = rows.at(0);
    for (std::size_t k = 0; k < header.size(); ++k) {
        if (header[k] == name) {
            return rows.at(row).at(k);
        }
    }
    ADD_FAILURE() << "no column " << name;
    return {};
}

TEST(BatchTable, SimulatesEachRowInAFreshWindow) {
    const Outcome run = table("tbvp,tbavans,tbdurcred,vn,ar,cbasig,plata\r\n"
                              "2000,200,24,3000,200,Standard,\r\n"
                              "\r\n"
                              "2000,200,24,3000,200,1,Numerar\r\n"
                              "300,0,70,,,,\r\n"
                              "300,0,551,,,,Debit Direct\r\n");
    ASSERT_EQ(run.status, batch::ok) << run.err;
    const auto rows = records(run.out);
    ASSERT_EQ(rows.size(), 5U);
    EXPECT_EQ(rows[0].size(), 7U + 12U);
    EXPECT_EQ(rows[0][7], "tbdob"); // the outputs follow the input columns as given
    EXPECT_EQ(rows[0].back(), "mesaje");
    // Standard insurance, direct debit: the worked schedule's instalment.
    EXPECT_EQ(cell(rows, 1, "lbrata"), "113.45");
    EXPECT_EQ(cell(rows, 1, "lbasig"), "8.60904");
    EXPECT_EQ(cell(rows, 1, "lbdae"), "45.04 %");
    EXPECT_EQ(cell(rows, 1, "eroare"), "");
    EXPECT_EQ(cell(rows, 1, "indatorare"), "0");
    // The same in cash: the higher commission rate.
    EXPECT_EQ(cell(rows, 2, "lbcomisgest"), "33.26");
    EXPECT_EQ(cell(rows, 3, "eroare"),
              "Durata creditului este prea mare (Perioada maxima - 60 LUNI).\r\r"
              "Valoare produs prea mica (Creditul minim este de 510 RON)");
    EXPECT_EQ(cell(rows, 3, "tbratatlx"), "");
    EXPECT_EQ(cell(rows, 4, "mesaje"), "Valoare nepermisa!");
}

TEST(BatchTable, BadRowsAreReportedAndSkipped) {
    const Outcome run = table("tbvp,cbasig,plata\n"
                              "2000,Optim,Numerar\n"
                              "2000,Gold,\n"
                              "2000,,Card\n"
                              "\"2,000\",0\n"
                              "\"multi\nline\",0,\n"
                              "\"open,0,\n");
    EXPECT_EQ(run.status, batch::rowErrors);
    EXPECT_EQ(run.err, "line 3: unknown insurance 'Gold'\n"
                       "line 4: unknown payment 'Card'\n"
                       "line 5: expected 3 fields, found 2\n"
                       "line 8: unterminated quoted field\n");
    const auto rows = records(run.out);
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[1][0], "2000");
    EXPECT_EQ(rows[2][0], "multi\nline"); // Val reads "multi..." as 0
    EXPECT_EQ(rows[2][4], "0.00");
}

// Only a quote that begins a field opens a quoted one: inside an unquoted field it is text, and
// the row is read and echoed with it.
TEST(BatchTable, QuoteInsideAnUnquotedFieldIsText) {
    const Outcome run = table("tbvp,tbavans,tbdurcred\n2\"000,1\"00,24\n");
    ASSERT_EQ(run.status, batch::ok) << run.err;
    EXPECT_EQ(run.err, "");
    const auto rows = records(run.out);
    ASSERT_EQ(rows.size(), 2U);
    ASSERT_GE(rows[1].size(), 3U);
    EXPECT_EQ(rows[1][0], "2\"000");
    EXPECT_EQ(rows[1][1], "1\"00");
    EXPECT_EQ(rows[1][2], "24");
}

TEST(BatchTable, HeaderErrorsStopBeforeAnyRow) {
    Outcome run = table("tbvp,tbvp\n1000,2000\n");
    EXPECT_EQ(run.status, batch::malformed);
    EXPECT_EQ(run.err, "line 1: repeated column 'tbvp'\n");
    EXPECT_EQ(run.out, "");
    run = table("tbvp,price\n1000,2000\n");
    EXPECT_EQ(run.status, batch::malformed);
    EXPECT_EQ(run.err, "line 1: unknown column 'price'\n");
    // A byte-order mark before the first column name is not part of it.
    run = table("\xEF\xBB\xBFtbvp\n1000\n");
    EXPECT_EQ(run.status, batch::ok) << run.err;
    EXPECT_EQ(records(run.out).at(0).at(0), "tbvp");
}

// No header at all: the output columns alone. A header that cannot be read stops everything.
TEST(BatchTable, EmptyInputAndUnreadableHeader) {
    Outcome run = table("");
    EXPECT_EQ(run.status, batch::ok);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(records(run.out),
              (std::vector<std::vector<std::string>>{
                  {"tbdob", "lbrata", "lbasig", "lbcomisgest", "bnr", "tbsumacc", "tbratatlx",
                   "lbdobaferenta", "lbdae", "eroare", "indatorare", "mesaje"}}));
    run = table("\n\"tbvp,tbavans\n2000\n");
    EXPECT_EQ(run.status, batch::malformed);
    EXPECT_EQ(run.err, "line 2: unterminated quoted field\n");
    EXPECT_EQ(run.out, "");
    run = table("\"tbvp\"x,tbavans\n2000,0\n");
    EXPECT_EQ(run.status, batch::malformed);
    EXPECT_EQ(run.err, "line 1: text after a closing quote\n");
}

// Every line end a spreadsheet writes: LF and CR LF lines alone are skipped, a lone CR at the
// start of a record is dropped, a CR inside a field is text, and a last record may end in a CR.
// The line numbers count the LFs, as an editor shows them.
TEST(CsvReader, LineEndsAndLineNumbers) {
    std::istringstream in("a\n\n\r\n\rb,c\r\nd\re\n\nf\r");
    batch::CsvReader reader(in);
    batch::CsvRecord record;
    std::string error;
    std::vector<std::pair<long long, std::vector<std::string>>> read;
    while (reader.next(record, error)) {
        EXPECT_EQ(error, "");
        read.emplace_back(static_cast<long long>(record.line), record.fields);
    }
    const std::vector<std::pair<long long, std::vector<std::string>>> expected = {
        {1, {"a"}}, {4, {"b", "c"}}, {5, {"d\re"}}, {7, {"f"}}};
    EXPECT_EQ(read, expected);
}

TEST(CsvReader, DoubledQuoteInsideAQuotedField) {
    const auto rows = records("\"a\"\"b\",\"\"\"\",c\r\n");
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"a\"b", "\"", "c"}));
}

} // namespace
