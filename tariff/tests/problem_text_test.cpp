#include "tariff/problem_text.h"
#include "tariff/read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

// The lender reads a tariff's problems in Romanian: each place in words with positions from 1,
// each reason translated whole, and what the reader does not know left as written.
namespace {

TEST(ProblemText, EachReasonInRomanian) {
    const struct {
        tariff::Problem problem;
        const char* text;
    } cases[] = {
        {{"/duration/after_guard", "must be from 1 to guard (got 70, guard 60)"},
         "Durata, durata pusa peste prag: trebuie sa fie intre 1 si pragul duratei (este 70, "
         "pragul 60)"},
        {{"/duration/maximum", "must not be above guard (got 70, guard 60)"},
         "Durata, maximul: nu poate fi mai mare decat pragul duratei (este 70, pragul duratei 60)"},
        {{"/name", "must be 1 to 40 characters long (got 41)"},
         "Numele: trebuie sa aiba intre 1 si 40 caractere (are 41)"},
        {{"/lender/title", "must be at most 80 characters long (got 81)"},
         "Creditorul, titlul ferestrei: poate avea cel mult 80 caractere (are 81)"},
        // A key's pointer token unescaped: "~1" is a slash, "~0" a tilde.
        {{"/a~1b~0c", "unknown key"},
         "Cheia \"a/b~c\": cheie necunoscuta (poate fi o greseala "
         "de scriere)"},
        {{"/interest/11/rate", "must not be negative (got -1)"},
         "Grila de dobanzi, regula a 12-a, procentul: nu poate fi negativ (este -1)"},
        {{"/version", "must be 1 or 2 (got 3)"},
         "Versiunea formatului: trebuie sa fie 1 sau 2 (este 3)"},
        {{"/credit/ceiling", "must be a number (got null)"},
         "Creditul, plafonul: trebuie sa fie un numar (este null)"},
        {{"/", "larger than 1 MiB (2097152 bytes)"},
         "Fisierul: este mai mare de 1 MiB (2097152 octeti)"},
        {{"/", "nested deeper than 32 levels (line 1, column 33)"},
         "Fisierul: are mai mult de 32 de niveluri (linia 1, coloana 33)"},
        // The other list item is named in words too, in lower case inside the sentence.
        {{"/insurance/3/name", "repeats the name of /insurance/1 (\"Standard\")"},
         "Lista de asigurari, asigurarea a patra, numele: repeta numele din lista de asigurari, "
         "asigurarea a doua (\"Standard\")"},
        // A bound that is a figure, not a key, is kept as it is.
        {{"/early_repayment/compensation", "must not be above 0.01 (got 0.02)"},
         "Rambursarea anticipata, compensatia: nu poate fi mai mare decat 0.01 (este 0.02)"},
        // The lender's legal data read in words as well.
        {{"/creditor/kind", "must be \"ifn\" or \"banca\""},
         "Datele creditorului, felul creditorului: trebuie sa fie \"ifn\" sau \"banca\""},
        {{"/early_repayment/granting_commission_refund", "must be \"linear\" or \"none\""},
         "Rambursarea anticipata, restituirea comisionului de acordare: trebuie sa fie "
         "\"linear\" sau \"none\""},
        {{"/insurance/0/compulsory", "must be true or false (got a string)"},
         "Lista de asigurari, asigurarea prima, obligativitatea: trebuie sa fie true sau false "
         "(este un text)"},
        {{"/information_valid_days", "must be a whole number from 1 to 90 (got 91)"},
         "Zilele de valabilitate a informatiilor: trebuie sa fie un numar intreg de la 1 la 90 "
         "(este 91)"},
        {{"/legal_limits/1/payable_ratio_max", "must be at least 1 (got 0.5)"},
         "Limitele legale, limita a doua, raportul maxim dintre total si credit: trebuie sa fie "
         "cel putin 1 (este 0.5)"},
        {{"/legal_limits", "must hold at most 16 limits (got 17)"},
         "Limitele legale: poate avea cel mult 16 limite (are 17)"},
        {{"/legal_limits/0",
          "must hold exactly one of dae_max, daily_cost_max and payable_ratio_max (got 2)"},
         "Limitele legale, limita prima: trebuie sa aiba exact una dintre dae_max, "
         "daily_cost_max si payable_ratio_max (are 2)"},
        {{"/credit/ceiling", "a reason the translation does not know"},
         "Creditul, plafonul: a reason the translation does not know"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tariff::romanianText(c.problem), c.text) << c.problem.text();
    }
}

// Positions are counted from 1 in words up to the tenth, then in figures; a segment is a
// position only inside a list, and only when it could be one.
TEST(ProblemText, PlacesInWords) {
    EXPECT_EQ(tariff::ordinal(1), "prima");
    EXPECT_EQ(tariff::ordinal(10), "a zecea");
    EXPECT_EQ(tariff::ordinal(11), "a 11-a");
    const struct {
        const char* pointer;
        const char* place;
    } cases[] = {
        {"/interest/12345678", "Grila de dobanzi, regula a 12345679-a"},
        {"/interest/123456789", "Grila de dobanzi, cheia \"123456789\""},
        {"/interest/x1", "Grila de dobanzi, cheia \"x1\""},
        {"/management_commission/bands/0/cash",
         "Comisionul de gestiune, benzile de comision, banda prima, procentul pentru numerar"},
        {"/credit/0", "Creditul, cheia \"0\""},
        {"/a~", "Cheia \"a~\""},
        {"/~01", "Cheia \"~1\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tariff::romanianText({c.pointer, "missing"}), std::string(c.place) + ": lipseste")
            << c.pointer;
    }
}

TEST(ProblemText, AFileThatCannotBeReadSaysWhy) {
    const tariff::Problem unread{"/", "cannot be read"};
    EXPECT_EQ(tariff::romanianText(unread), "Fisierul: nu poate fi citit");
    EXPECT_EQ(tariff::romanianText(unread, ENOENT),
              "Fisierul: nu poate fi citit: fisierul nu exista");
    // The system's reason belongs to the read failure only, never to a check of the contents.
    EXPECT_EQ(tariff::romanianText({"/name", "missing"}, ENOENT).find("fisierul nu exista"),
              std::string::npos);
    EXPECT_EQ(tariff::systemReason(EACCES), "programul nu are dreptul sa il citeasca");
    EXPECT_EQ(tariff::systemReason(EPERM), tariff::systemReason(EACCES));
    EXPECT_EQ(tariff::systemReason(ENOTDIR), "o parte a caii nu este un dosar");
    EXPECT_EQ(tariff::systemReason(EIO), "eroare de citire de pe disc");
    EXPECT_FALSE(tariff::systemReason(EISDIR).empty()); // the system's own words
}

// The reader's pointers escape what a key may hold, so that no two keys share one.
TEST(ProblemText, PointersEscapeControlCharactersInKeys) {
    const tariff::ReadResult r = tariff::read(
        R"({"format": "simulator-credit-tarif", "a\u0001\u007f": 1, "b\u001f": null})");
    ASSERT_FALSE(r.tariff);
    std::vector<std::string> texts;
    for (const tariff::Problem& p : r.problems) {
        texts.push_back(p.text());
    }
    for (const char* expected : {"/a\\u0001\\u007F: unknown key", "/b\\u001F: unknown key"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end())
            << expected << "\n"
            << ::testing::PrintToString(texts);
    }
}

} // namespace
