#include "tariff/problem_text.h"
#include "ui/tariff_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A scratch folder with configuration folders in it, and an environment that names them.
class TariffLookup : public ::testing::Test {
protected:
    void SetUp() override {
        root =
            fs::temp_directory_path() /
            ("tariff-choice-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path place(const std::string& folder, const std::string& text) {
        fs::path file = root / folder / "simulator-credit" / "tarif.json";
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
        return file;
    }
    static std::string example() {
        std::ifstream in(SIMCREDIT_EXAMPLE_TARIFF);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    ui::TariffChoice choose(const std::optional<fs::path>& given = std::nullopt) {
        return ui::chooseTariff(given, [this](const char* name) -> std::optional<std::string> {
            const auto it = env.find(name);
            return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
        });
    }

    fs::path root;
    std::map<std::string, std::string> env;
};

TEST_F(TariffLookup, NoFileAnywhereIsTheBuiltInTariff) {
    env = {{"HOME", (root / "home").string()}, {"XDG_CONFIG_DIRS", (root / "etc").string()}};
    const ui::TariffChoice c = choose();
    EXPECT_TRUE(c.file.empty());
    EXPECT_FALSE(c.failed());
    EXPECT_EQ(&c.tariff(), &tariff::builtIn());
    EXPECT_EQ(c.titleNote(), "");
}

// The user's folder first (XDG_CONFIG_HOME, else ~/.config), then each machine folder in order.
TEST_F(TariffLookup, UserBeforeMachineFolders) {
    std::string other = example();
    other.replace(other.find("Tarif standard"), 14, "Tarif magazin");
    const fs::path machine = place("etc2", other);
    env = {{"HOME", (root / "home").string()},
           {"XDG_CONFIG_DIRS",
            "relative:" + (root / "etc1").string() + "::" + (root / "etc2").string()}};
    EXPECT_EQ(choose().file, machine);
    EXPECT_EQ(choose().titleNote(), "Tarif magazin (2026-12-01)");

    const fs::path home = place("home/.config", example());
    EXPECT_EQ(choose().file, home);
    env["XDG_CONFIG_HOME"] = (root / "config").string();
    EXPECT_EQ(choose().file, machine); // the home folder is replaced, not searched as well
    const fs::path config = place("config", example());
    EXPECT_EQ(choose().file, config);
    EXPECT_EQ(choose(root / "given.json").file, root / "given.json"); // the command line wins
}

TEST_F(TariffLookup, MachineFolderDefaultsToEtcXdg) {
    env = {{"HOME", (root / "home").string()}};
    const ui::TariffChoice c = choose();
    // Whatever this machine holds there, nothing under the scratch home was taken.
    EXPECT_TRUE(c.file.empty() || c.file == "/etc/xdg/simulator-credit/tarif.json");
}

// The first file found decides: if it fails, the built-in tariff is used, not the next file.
TEST_F(TariffLookup, FailingFileFallsBackToTheBuiltInTariff) {
    const fs::path bad = place("home/.config", "{\"version\": 1");
    place("etc", example());
    env = {{"HOME", (root / "home").string()}, {"XDG_CONFIG_DIRS", (root / "etc").string()}};
    const ui::TariffChoice c = choose();
    EXPECT_EQ(c.file, bad);
    EXPECT_TRUE(c.failed());
    EXPECT_EQ(&c.tariff(), &tariff::builtIn());
    EXPECT_EQ(c.titleNote(), "tarif implicit");
    EXPECT_NE(c.failureText().find(bad.string()), std::string::npos);
    EXPECT_NE(c.failureText().find("Fisierul: nu este JSON valid (linia 1, coloana 14)"),
              std::string::npos)
        << c.failureText();
    EXPECT_NE(c.failureDetails().find("/: not valid JSON (line 1, column 14)"), std::string::npos)
        << c.failureDetails();
    // A file that cannot be read says why, in the box and in its details.
    const ui::TariffChoice missing = choose(root / "missing.json");
    EXPECT_TRUE(missing.failed());
    EXPECT_NE(missing.failureText().find("Fisierul: nu poate fi citit: fisierul nu exista"),
              std::string::npos)
        << missing.failureText();
    EXPECT_NE(missing.failureDetails().find("/: cannot be read (No such file or directory)"),
              std::string::npos)
        << missing.failureDetails();
}

// The box speaks Romanian and counts from 1; the pointers stay in the details, one a line.
TEST_F(TariffLookup, ProblemsInRomanianWithPositionsFromOne) {
    std::string text = example();
    auto replace = [&](std::string_view from, std::string_view to) {
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    };
    replace(R"("credit_max": 30000, "rate": 0.107})", R"("credit_max": 30000, "rate": -0.1})");
    replace(R"("name": "Optim")", R"("name": "Standard")");
    replace(R"("indebtedness_limit": 0.35)", R"("indebtedness_limit": 1.5, "limita": 1)");
    replace(R"("minimum": 6, "maximum": 60)", R"("minimum": 61, "maximum": 60)");
    const ui::TariffChoice c = choose(place("x", text));
    ASSERT_TRUE(c.failed());
    const std::string box = c.failureText();
    for (const char* line : {
             "Grila de dobanzi, regula a doua, procentul: nu poate fi negativ (este -0.1)",
             ("Lista de asigurari, asigurarea a treia, numele: repeta numele din lista de "
              "asigurari, asigurarea a doua (\"Standard\")"),
             "Limita de indatorare: trebuie sa fie sub 1, adica sub 100 % (este 1.5)",
             "Cheia \"limita\": cheie necunoscuta",
             "Durata, minimul: nu poate fi mai mare decat maximul (este 61, maximul 60)",
         }) {
        EXPECT_NE(box.find(line), std::string::npos) << line << "\n" << box;
    }
    EXPECT_EQ(box.find("/interest"), std::string::npos) << box;
    const std::string details = c.failureDetails();
    EXPECT_NE(details.find("/interest/1/rate: must not be negative (got -0.1)\n"),
              std::string::npos)
        << details;
    EXPECT_NE(details.find("/limita: unknown key\n"), std::string::npos) << details;
    EXPECT_EQ(tariff::ordinal(1), "prima");
    EXPECT_EQ(tariff::ordinal(12), "a 12-a");
}

TEST_F(TariffLookup, LongProblemListsAreCutInTheBox) {
    std::string many = "{";
    for (int k = 0; k < 30; ++k) {
        many += "\"x" + std::to_string(k) + "\": 0, ";
    }
    many += "\"format\": \"simulator-credit-tarif\"}";
    const ui::TariffChoice c = choose(place("x", many));
    EXPECT_GT(c.problems.size(), 30U);
    EXPECT_NE(
        c.failureText().find("si inca " + std::to_string(c.problems.size() - 20) + " probleme"),
        std::string::npos);
}

} // namespace

namespace {

// What the window's "about the tariff" says: which tariff is in force and where it came from,
// never a failed file's name without saying it is not used.
TEST_F(TariffLookup, DescriptionSaysWhereTheTariffCameFrom) {
    env = {{"HOME", (root / "home").string()}};
    const std::string builtIn = choose().description();
    EXPECT_EQ(builtIn.rfind("Tarif: ", 0), 0U) << builtIn;
    EXPECT_NE(builtIn.find("(tariful implicit, inclus in program)"), std::string::npos) << builtIn;

    const fs::path good = place("good", example());
    const ui::TariffChoice read = choose(good);
    ASSERT_TRUE(read.fromFile);
    EXPECT_EQ(read.description(),
              "Tarif: " + read.fromFile->label() + "\nDin fisierul " + good.string());

    const fs::path bad = place("bad", "{}");
    const ui::TariffChoice failed = choose(bad);
    ASSERT_TRUE(failed.failed());
    const std::string said = failed.description();
    EXPECT_NE(said.find("(tariful implicit)\nFisierul " + bad.string() +
                        " nu a trecut verificarile si nu este folosit."),
              std::string::npos)
        << said;
}

// Only absolute folders are searched: a relative or empty XDG_CONFIG_HOME gives way to the home
// folder, a relative home folder to none; empty entries of XDG_CONFIG_DIRS are skipped.
TEST(TariffEnvironment, ConfigurationFoldersAreAbsolute) {
    using Env = std::map<std::string, std::string>;
    const struct {
        Env env;
        std::vector<fs::path> folders;
    } cases[] = {
        {{{"XDG_CONFIG_HOME", "relative"}, {"HOME", "/h"}}, {"/h/.config", "/etc/xdg"}},
        {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, {"/h/.config", "/etc/xdg"}},
        {{{"HOME", "h"}}, {"/etc/xdg"}},
        {{{"HOME", ""}, {"XDG_CONFIG_DIRS", ""}}, {"/etc/xdg"}},
        {{}, {"/etc/xdg"}},
        {{{"XDG_CONFIG_HOME", "/c"}, {"HOME", "/h"}, {"XDG_CONFIG_DIRS", "/a:"}}, {"/c", "/a"}},
        {{{"XDG_CONFIG_DIRS", ":x:"}}, {}},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& [name, value] : c.env) {
            shown.append(name).append("=").append(value).append(" ");
        }
        SCOPED_TRACE(shown);
        EXPECT_EQ(ui::configFolders([&](const char* name) -> std::optional<std::string> {
                      const auto it = c.env.find(name);
                      return it == c.env.end() ? std::nullopt
                                               : std::optional<std::string>(it->second);
                  }),
                  c.folders);
    }
}

// The process's own environment, as the program reads it at start-up.
TEST(TariffEnvironment, ReadsTheProcessEnvironment) {
    ASSERT_EQ(setenv("SIMCREDIT_TEST_VARIABLE", "/x/y", 1), 0);
    EXPECT_EQ(ui::processEnvironment("SIMCREDIT_TEST_VARIABLE"), "/x/y");
    ASSERT_EQ(unsetenv("SIMCREDIT_TEST_VARIABLE"), 0);
    EXPECT_EQ(ui::processEnvironment("SIMCREDIT_TEST_VARIABLE"), std::nullopt);
}

} // namespace
