#include "server/request_form.h"
#include "server/service.h"
#include "tariff/tariff.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

// What a client sends, read into a form or refused with the place of the fault; and the handler
// on requests no HTTP client would send.
namespace {

using server::readForm;
using server::readRateQuery;

const std::vector<std::string> items = {"Fara Asigurare", "Standard", "Optim", "Senior"};

struct Refused {
    const char* body;
    const char* pointer;
    const char* error; // the start of the text
};

TEST(ReadForm, RefusesWhatIsNotAForm) {
    const std::vector<Refused> cases = {
        {"", "", "malformed JSON at byte 1"},
        {"{\"tbvp\": \"35", "", "malformed JSON"}, // truncated
        {"{\"tbvp\": \"3500\",}", "", "malformed JSON"},
        {"[\"3500\"]", "", "a form must be a JSON object (got an array)"},
        {"\"3500\"", "", "a form must be a JSON object (got a string)"},
        {"{\"tbvp\": 3500}", "/tbvp", "must be a string (got a number)"},
        {"{\"vn\": null}", "/vn", "must be a string (got null)"},
        {"{\"tbdurcred\": [\"24\"]}", "/tbdurcred", "must be a string (got an array)"},
        {"{\"price\": \"3500\"}", "/price", "unknown key"},
        {"{\"a/b~c\": 1}", "/a~1b~0c", "unknown key"},
        {"{\"tbvp\": \"1\", \"tbvp\": \"2\"}", "/tbvp", "key given twice"},
        {"{\"cbasig\": \"Gold\"}", "/cbasig", "unknown insurance item"},
        {"{\"cbasig\": 4}", "/cbasig", "unknown insurance item"},
        {"{\"cbasig\": -1}", "/cbasig", "unknown insurance item"},
        {"{\"cbasig\": 1.5}", "/cbasig", "unknown insurance item"},
        {"{\"cbasig\": true}", "/cbasig", "must be an item's text or its position"},
        {"{\"plata\": \"Card\"}", "/plata", "unknown payment method"},
        {"{\"plata\": 1}", "/plata", "must be a string"},
        {"{\"tbvp\": \"\xff\"}", "", "malformed JSON"},         // not UTF-8
        {"9e600", "", "malformed JSON: a number out of range"}, // beyond a double
        {"{\"cbasig\": -1e999}", "", "malformed JSON: a number out of range"},
        {"{\"ad\": {}}", "/ad", "must be a string (got an object)"},
        {"{\"cbasig\": {}}", "/cbasig", "must be an item's text or its position (got an object)"},
        {"{\"plata\": false}", "/plata", "must be a string (got a boolean)"},
        // Of several keys given twice, the first one repeated is named.
        {"{\"vn\": \"1\", \"ar\": \"1\", \"ar\": \"2\", \"vn\": \"2\"}", "/ar", "key given twice"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.body);
        const auto read = readForm(c.body, items);
        ASSERT_FALSE(read.value);
        EXPECT_EQ(read.bad.pointer, c.pointer);
        EXPECT_EQ(read.bad.error.rfind(c.error, 0), 0U) << read.bad.error;
    }
}

TEST(ReadForm, ReadsATableRow) {
    const auto read = readForm(R"({"plata":"Numerar","tbdurcred":"24","cbasig":"Optim",)"
                               R"("vn":"","tbvp":" 1 000 "})",
                               items);
    ASSERT_TRUE(read.value);
    const offer::TableRow& row = *read.value;
    EXPECT_EQ(row.boxes[offer::boxSlot(core::Control::tbvp)], " 1 000 "); // typed as sent
    EXPECT_EQ(row.boxes[offer::boxSlot(core::Control::vn)], "");
    EXPECT_FALSE(row.boxes[offer::boxSlot(core::Control::ar)]);
    EXPECT_EQ(row.insurance, 2);
    EXPECT_TRUE(row.cash);

    // Empty texts choose nothing, as empty table cells do.
    const auto empty = readForm(R"({"cbasig":"","plata":""})", items);
    ASSERT_TRUE(empty.value);
    EXPECT_EQ(empty.value->insurance, -1);
    EXPECT_FALSE(empty.value->cash);
    EXPECT_TRUE(readForm("{}", items).value);
}

TEST(ReadForm, DeepNestingIsRefusedWithoutHarm) {
    const std::string deep = "{\"vn\":" + std::string(60000, '[') + std::string(60000, ']') + "}";
    const auto read = readForm(deep, items);
    ASSERT_FALSE(read.value);
    EXPECT_EQ(read.bad.pointer, "/vn");
}

TEST(ReadRateQuery, ReadsAndRefusesParameters) {
    const auto ok =
        readRateQuery("valoare=3500.50&avans=500&asigurare=3&plata=Debit+Direct", items);
    ASSERT_TRUE(ok.value);
    EXPECT_EQ(ok.value->row.boxes[offer::boxSlot(core::Control::tbvp)], "3500.50");
    EXPECT_EQ(ok.value->row.boxes[offer::boxSlot(core::Control::tbavans)], "500");
    EXPECT_EQ(ok.value->row.insurance, 3);
    EXPECT_FALSE(ok.value->row.cash);
    const auto defaults = readRateQuery("valoare=3500", items);
    ASSERT_TRUE(defaults.value);
    EXPECT_EQ(defaults.value->row.boxes[offer::boxSlot(core::Control::tbavans)], "0");
    EXPECT_TRUE(readRateQuery("valoare=1&plata=%4Eumerar", items).value->row.cash);
    // Escapes in either case, empty parameters skipped, the longest plain price still read.
    const auto escaped =
        readRateQuery("&valoare=%33%35%30%30.%35&&avans=%3a0%3A&asigurare=%31&", items);
    ASSERT_FALSE(escaped.value);
    EXPECT_EQ(escaped.bad.pointer, "/avans"); // ":0:" is no number
    const auto mixed = readRateQuery("&valoare=%33%35%30%30.%35&&plata=%4e%75merar&", items);
    ASSERT_TRUE(mixed.value) << mixed.bad.error;
    EXPECT_EQ(mixed.value->row.boxes[offer::boxSlot(core::Control::tbvp)], "3500.5");
    EXPECT_TRUE(mixed.value->row.cash);
    const std::string longest(32, '9');
    const auto longestRead = readRateQuery("valoare=" + longest, items);
    ASSERT_TRUE(longestRead.value);
    EXPECT_EQ(longestRead.value->row.boxes[offer::boxSlot(core::Control::tbvp)], longest);

    const std::vector<std::pair<std::string, std::string>> refused = {
        {"", "/valoare"},
        {"avans=100", "/valoare"},
        {"valoare=", "/valoare"},
        {"valoare=abc", "/valoare"},
        {"valoare=-5", "/valoare"},
        {"valoare=1e3", "/valoare"},
        {"valoare=1.2.3", "/valoare"},
        {"valoare=.", "/valoare"},
        {"valoare=3500&valoare=100", "/valoare"},
        {"valoare=3500&avans=x", "/avans"},
        {"valoare=3500&asigurare=4", "/asigurare"},
        {"valoare=3500&asigurare=Standard", "/asigurare"},
        {"valoare=3500&plata=card", "/plata"},
        {"valoare=3500&plata=", "/plata"},
        {"valoare=3500&pret=1", "/pret"},
        {"valoare=35%2", "/valoare"},
        {"valoare=35%zz", "/valoare"},
        {"val%zzoare=35", ""},
        {"valoare=35%4z", "/valoare"},
        {"valoare=35%/0", "/valoare"}, // just below the digits
        {"valoare=35%:0", "/valoare"}, // between the digits and the letters
        {"valoare=35%G0", "/valoare"}, // just past the capital hex letters
        {"valoare", "/valoare"},
        {"valoare=" + std::string(33, '1'), "/valoare"}, // longer than any price
        {"valoare=3500&asigurare=", "/asigurare"},
        {"valoare=3500&asigurare=1x", "/asigurare"},
        {"valoare=3500&asigurare=-1", "/asigurare"},
    };
    for (const auto& [query, pointer] : refused) {
        SCOPED_TRACE(query);
        const auto read = readRateQuery(query, items);
        ASSERT_FALSE(read.value);
        EXPECT_EQ(read.bad.pointer, pointer) << read.bad.error;
    }
}

TEST(Service, AnswersIndependentlyOfEarlierRequests) {
    server::Service service(tariff::builtIn(), {});
    const std::string body = R"({"tbvp":"2000","tbavans":"200","cbasig":1})";
    const server::Request simulate{"POST", "/v1/simulare", body, "", ""};
    const std::string first = service.handle(simulate).body;
    for (const char* other : {R"({"tbdurcred":"550"})", R"({"tbvp":"-3","plata":"Numerar"})",
                              R"({"tbvp":"1e308","vn":"1"})"}) {
        service.handle({"POST", "/v1/simulare", other, "", ""});
        service.handle({"POST", "/v1/variante", other, "", ""});
    }
    EXPECT_EQ(service.handle(simulate).body, first);
}

// A stored answer is reused only when its tag is named, or for "*" standing alone: the rows,
// the tariff and the widget alike.
TEST(Service, TaggedAnswersRevalidated) {
    server::Service service(tariff::builtIn(), {});
    for (const std::string target :
         {"/v1/rate?valoare=3500", "/v1/tarif", "/widget/rate.js", "/widget/demo.html"}) {
        SCOPED_TRACE(target);
        const server::Response fresh = service.handle({"GET", target, "", "", ""});
        ASSERT_EQ(fresh.status, 200);
        std::string tag;
        for (const auto& [name, value] : fresh.headers) {
            if (name == "ETag") {
                tag = value;
            }
        }
        ASSERT_FALSE(tag.empty());
        const struct {
            std::string ifNoneMatch;
            int status;
        } cases[] = {
            {"*", 304},         {" * ", 304},     {tag, 304}, {"\"other\", W/" + tag, 304},
            {"\"other\"", 200}, {"\"x*y\"", 200}, // a star inside a tag is part of that tag
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.ifNoneMatch);
            const server::Response r = service.handle({"GET", target, "", "", c.ifNoneMatch});
            EXPECT_EQ(r.status, c.status);
            EXPECT_EQ(r.body, c.status == 304 ? "" : fresh.body);
        }
    }
}

// The demonstration page is HTML that loads the script; each has its own tag.
TEST(Service, WidgetScriptAndDemonstrationPage) {
    server::Service service(tariff::builtIn(), {});
    const server::Response page = service.handle({"GET", "/widget/demo.html", "", "", ""});
    const server::Response script = service.handle({"GET", "/widget/rate.js", "", "", ""});
    ASSERT_EQ(page.status, 200);
    EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
    EXPECT_NE(page.body.find("<script src=\"/widget/rate.js\"></script>"), std::string::npos);
    EXPECT_EQ(script.contentType, "text/javascript; charset=utf-8");
    EXPECT_NE(page.headers, script.headers); // the tags differ
}

TEST(Service, ErrorsAreJsonWithAPointer) {
    server::Service service(tariff::builtIn(), {});
    const server::Response r = service.handle({"GET", "/v1/rate?valoare=x%22y", "", "", ""});
    EXPECT_EQ(r.status, 400);
    const auto error = nlohmann::json::parse(r.body);
    EXPECT_EQ(error["pointer"], "/valoare");
    EXPECT_FALSE(error["error"].get<std::string>().empty());
}

} // namespace
