#include "register/record_json.h"
#include "register/tests/register_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using regtest::TempFolder;

std::size_t csvFields(const std::string& line) {
    std::size_t fields = 1;
    bool quoted = false;
    for (const char c : line) {
        quoted = c == '"' ? !quoted : quoted;
        fields += !quoted && c == ',' ? 1 : 0;
    }
    return fields;
}

TEST(RecordLines, MissingFieldsAreNullInJsonAndEmptyInCsv) {
    reg::Record r;
    r.id = "id-1";
    r.issued_at = "2026-03-01T10:00:00Z";
    r.kind = std::string(reg::kindPrintedOffer);
    r.agent = "ana";
    r.tariff.name = "Standard";
    // A record listed without its figures still makes valid JSON.
    const std::string json = reg::recordJson(r);
    for (const char* part : {"\"shop\":null", "\"customer\":null",
                             "\"figures\":{\"snapshot\":null,\"schedule\":null,\"legal\":null}",
                             "\"valid_from\":null", "\"document_sha256\":null}"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << " in " << json;
    }
    // Figures kept in another shape are passed on as they are, never cut.
    r.figures.schedule = "{\"valid\":false}";
    r.figures.snapshot = "{\"snapshot\":[1";
    r.figures.legal = "{\"legal\":{\"valid\":true}}";
    EXPECT_NE(reg::recordJson(r).find("{\"snapshot\":{\"snapshot\":[1,\"schedule\":{\"valid\":"
                                      "false},\"legal\":{\"valid\":true}}"),
              std::string::npos)
        << reg::recordJson(r);

    // Every line has as many fields as the header, the figures missing or not.
    const std::string blank = reg::recordCsv(r);
    EXPECT_EQ(csvFields(blank), csvFields(reg::csvHeader())) << blank;
    EXPECT_TRUE(blank.ends_with(",,,,,,")) << blank;
    r.summary = {3500, 3000, 24, 150.25, std::nullopt};
    const std::string some = reg::recordCsv(r);
    EXPECT_EQ(csvFields(some), csvFields(reg::csvHeader())) << some;
    EXPECT_TRUE(some.ends_with(",3500,3000,24,150.25,")) << some;
}

TEST(CustomerName, WholeCharactersCountedAndStrayBytesKept) {
    bool cut = true;
    EXPECT_EQ(reg::customerName(std::nullopt, cut), std::nullopt);
    EXPECT_FALSE(cut);
    // Two hundred characters of two, three and four bytes are kept whole; one more is cut.
    for (const std::string one : {"\xC4\x83", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) {
        std::string name;
        for (int i = 0; i < 201; ++i) {
            name += one;
        }
        const std::optional<std::string> kept = reg::customerName(name, cut);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->size(), 200 * one.size());
        EXPECT_TRUE(cut);
        EXPECT_EQ(*kept, name.substr(0, kept->size()));
    }
    // Bytes that start no character, and a sequence broken off at the end, are kept as typed.
    EXPECT_EQ(reg::customerName(std::string("a\x80\xBF"
                                            "b\xF0\x9F"),
                                cut),
              std::string("a\x80\xBF"
                          "b\xF0\x9F"));
    EXPECT_FALSE(cut);
    std::string stray(201, '\x80');
    EXPECT_EQ(reg::customerName(stray, cut), std::string(200, '\x80'));
    EXPECT_TRUE(cut);
}

using DocumentHash = TempFolder;

TEST_F(DocumentHash, OnlyFilesWhoseBytesCanBeReadHaveOne) {
    const auto empty = path("gol.pdf");
    std::ofstream(empty, std::ios::binary).flush();
    EXPECT_EQ(reg::sha256OfFile(empty),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(reg::sha256OfFile(empty), reg::sha256Hex(""));
    const auto big = path("mare.pdf");
    const std::string bytes(3 << 20, '\x25');
    std::ofstream(big, std::ios::binary) << bytes;
    EXPECT_EQ(reg::sha256OfFile(big), reg::sha256Hex(bytes));

    EXPECT_EQ(reg::sha256OfFile(path("lipsa.pdf")), std::nullopt);
    std::filesystem::create_directories(path("dosar.pdf"));
    EXPECT_EQ(reg::sha256OfFile(path("dosar.pdf")), std::nullopt);
}

TEST(MadeRecord, FormWithoutScheduleHasNoInstalment) {
    regtest::ensureApplication();
    testsupport::StartedForm s;
    const reg::MadeRecord made = reg::makeRecord(s.form, reg::kindForm, std::nullopt, "  ");
    EXPECT_EQ(made.record.kind, "formular");
    EXPECT_EQ(made.record.shop, std::nullopt);
    EXPECT_EQ(made.record.customer, std::nullopt);
    EXPECT_EQ(made.record.summary.instalment, std::nullopt);
    EXPECT_EQ(made.record.agent, reg::operatingSystemUser());
    EXPECT_FALSE(made.record.agent.empty());
    EXPECT_EQ(made.record.tariff.sha256, reg::sha256Hex(made.tariffJson));
}

} // namespace
