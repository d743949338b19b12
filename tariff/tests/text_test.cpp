// The text helpers under the tariff's reader: UTF-8 well-formedness byte by byte, characters,
// control characters.

#include "tariff/text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

std::string bytesOf(const std::string& s) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        out += {'\\', 'x', hex[b >> 4], hex[b & 15]};
    }
    return out;
}

// The table of well-formed byte sequences: each lead byte's range of second bytes is what keeps
// out overlong forms, the surrogates and code points above U+10FFFF.
TEST(TariffText, Utf8AtTheEdgesOfEachForm) {
    const std::vector<std::string> wellFormed = {
        "",
        "Tarif",
        "\xC2\x80",         // U+0080, the first two-byte character
        "\xDF\xBF",         // U+07FF
        "\xE0\xA0\x80",     // U+0800, the first three-byte character
        "\xED\x9F\xBF",     // U+D7FF, just below the surrogates
        "\xEE\x80\x80",     // U+E000, just above them
        "\xEF\xBF\xBF",     // U+FFFF
        "\xF0\x90\x80\x80", // U+10000, the first four-byte character
        "\xF4\x8F\xBF\xBF", // U+10FFFF, the last code point
        "a\xC4\x83\xC8\x9B"
        "b" // "aăţb"
    };
    for (const std::string& s : wellFormed) {
        EXPECT_EQ(tariff::firstInvalidUtf8(s), std::nullopt) << bytesOf(s);
    }
    struct Bad {
        std::string bytes;
        std::size_t at;
    };
    const std::vector<Bad> malformed = {
        {"\xC0\x80", 0},         // an overlong NUL
        {"ab\xC1\xBF", 2},       // an overlong U+007F
        {"\x80", 0},             // a continuation byte with no lead
        {"x\xE0\x9F\xBF", 1},    // an overlong three-byte form
        {"\xED\xA0\x80", 0},     // a surrogate
        {"\xF0\x8F\xBF\xBF", 0}, // an overlong four-byte form
        {"\xF4\x90\x80\x80", 0}, // above U+10FFFF
        {"\xF5\x80\x80\x80", 0}, // a lead byte no character uses
        {"\xFF", 0},             //
        {"ok\xE2\x82", 2},       // cut short at the end
        {"\xE2\x28\xA1", 0},     // the second byte is no continuation
        {"\xE2\x82\x28", 0},     // nor the third
        {"\xF0\x90\x80\x28", 0}, // nor the fourth
        {"\xC3\xA9\xC3\x28", 2}, // after a good character
    };
    for (const Bad& b : malformed) {
        EXPECT_EQ(tariff::firstInvalidUtf8(b.bytes), b.at) << bytesOf(b.bytes);
    }
}

TEST(TariffText, CharactersAndControlCharacters) {
    EXPECT_EQ(tariff::characterCount(""), 0U);
    EXPECT_EQ(tariff::characterCount("a\xC4\x83\xE2\x82\xAC\xF0\x90\x8D\x88"), 4U); // a ă € 𐍈
    for (const char* control : {"\t", "a\x1F", "\x7F", "\xC2\x80", "x\xC2\x9F"}) {
        EXPECT_TRUE(tariff::hasControlCharacter(control)) << bytesOf(control);
    }
    // No-break space (C2 A0) and a C2 at the very end are not control characters.
    for (const char* plain : {"", "Tarif standard", "\xC2\xA0", "\xC2", "\xC4\x83"}) {
        EXPECT_FALSE(tariff::hasControlCharacter(plain)) << bytesOf(plain);
    }
}

} // namespace
