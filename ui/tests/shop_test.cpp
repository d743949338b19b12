#include "ui/shop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string problemsOf(const ui::ShopRead& read) {
    std::string all;
    for (const tariff::Problem& p : read.problems) {
        all += p.text() + "\n";
    }
    return all;
}

TEST(ShopRead, WrittenShopReadsBackTheSame) {
    const ui::Shop withPhone{"Magazinul Ștefan & Fiii", "Str. Țărmului 3, Iași", "0232 000 000"};
    const ui::Shop withoutPhone{"Magazin", "Str. Lungă 1", std::nullopt};
    for (const ui::Shop& shop : {withPhone, withoutPhone}) {
        const ui::ShopRead read = ui::readShop(ui::writeShop(shop));
        ASSERT_TRUE(read.shop) << problemsOf(read);
        EXPECT_EQ(*read.shop, shop);
    }
    EXPECT_EQ(ui::writeShop(withoutPhone).find("phone"), std::string::npos);
}

// Each malformed file is refused with every problem at its pointer, and never half read.
TEST(ShopRead, RefusesEachProblemAtItsPointer) {
    const std::string head = R"("format": "simulator-credit-magazin", "version": 1, )";
    const std::map<std::string, std::string> cases = {
        {"{" + head + R"("address": "A"})", "/name: missing"},
        {"{" + head + R"("name": "", "address": "A"})", "/name: must be 1 to 120"},
        {"{" + head + R"("name": "N", "address": ")" + std::string(201, 'x') + R"("})",
         "/address: must be 1 to 200"},
        {"{" + head + R"("name": "N\nFals", "address": "A"})",
         "/name: must not contain control characters"},
        {"{" + head + R"("name": "N", "address": "A", "phone": 21})", "/phone: must be a string"},
        {"{" + head + R"("name": "N", "address": "A", "email": "x"})", "/email: unknown key"},
        {R"({"format": "simulator-credit-tarif", "version": 1, "name": "N", "address": "A"})",
         "/format: must be"},
        {R"({"format": "simulator-credit-magazin", "version": 2, "name": "N", "address": "A"})",
         "/version: must be 1"},
        {R"({"format": "simulator-credit-magazin", "name": {"a": {"b": 1}}, "address": "A"})",
         "/: nested deeper"},
        {"[1, 2]", "/: must be an object"},
        {"{\"name\": \"\xC3\"}", "/: not UTF-8 text"},
        {"{" + head, "/: not valid JSON"},
    };
    for (const auto& [bytes, expected] : cases) {
        SCOPED_TRACE(bytes);
        const ui::ShopRead read = ui::readShop(bytes);
        EXPECT_FALSE(read.shop);
        EXPECT_NE(problemsOf(read).find(expected), std::string::npos) << problemsOf(read);
    }
    const ui::ShopRead both = ui::readShop(R"({"format": "x", "version": 1, "address": ""})");
    EXPECT_EQ(both.problems.size(), 3U) << problemsOf(both);
}

// The header keys and the size are checked before anything else is believed; a key nobody
// expects is named as a pointer token, on one line whatever bytes it holds.
TEST(ShopRead, HeaderKeysSizeAndOddKeyNames) {
    const std::string body = R"("name": "N", "address": "A"})";
    const std::map<std::string, std::string> cases = {
        {R"({"version": 1, )" + body, "/format: missing\n"},
        {R"({"format": 1, "version": 1, )" + body,
         "/format: must be \"simulator-credit-magazin\"\n"},
        {R"({"format": "simulator-credit-magazin", )" + body, "/version: missing\n"},
        {R"({"format": "simulator-credit-magazin", "version": "1", )" + body,
         "/version: must be 1\n"},
        {R"({"format": "simulator-credit-magazin", "version": 1, "a~b/c\u0001": 0, )" + body,
         "/a~0b~1c?: unknown key\n"},
        {std::string(tariff::maxFileSize + 1, ' '), "/: larger than 1 MiB (1048577 bytes)\n"},
    };
    for (const auto& [bytes, expected] : cases) {
        SCOPED_TRACE(bytes.substr(0, 80));
        const ui::ShopRead read = ui::readShop(bytes);
        EXPECT_FALSE(read.shop);
        EXPECT_EQ(problemsOf(read), expected);
    }
    // A file of exactly the limit is read; a whole number written as 1.0 is version 1.
    std::string atLimit =
        R"({"format": "simulator-credit-magazin", "version": 1.0, "name": "N", "address": "A"})";
    atLimit.resize(tariff::maxFileSize, ' ');
    EXPECT_TRUE(ui::readShop(atLimit).shop) << problemsOf(ui::readShop(atLimit));
}

// Details typed in the dialog: lengths in characters, not bytes; the phone is optional but
// never empty; bytes that are not text are refused before they reach a file.
TEST(ShopCheck, TypedDetails) {
    const auto problems = [](const ui::Shop& shop) {
        std::string all;
        for (const tariff::Problem& p : ui::checkShop(shop)) {
            all += p.text() + "\n";
        }
        return all;
    };
    std::string longest;
    for (int i = 0; i < 120; ++i) {
        longest += "ă"; // 240 bytes, 120 characters
    }
    EXPECT_EQ(problems({longest, "A", std::nullopt}), "");
    EXPECT_EQ(problems({longest + "x", "A", std::nullopt}),
              "/name: must be 1 to 120 characters long (got 121)\n");
    EXPECT_EQ(problems({"N\xC3", "A", std::nullopt}), "/name: not UTF-8 text\n");
    EXPECT_EQ(problems({"N", "A", ""}), "/phone: must be 1 to 120 characters long (got 0)\n");
    EXPECT_EQ(problems({"N", "A\tB", "1"}), "/address: must not contain control characters\n");
    EXPECT_EQ(problems({"", "", "\x01"}), "/name: must be 1 to 120 characters long (got 0)\n"
                                          "/address: must be 1 to 200 characters long (got 0)\n"
                                          "/phone: must not contain control characters\n");
}

class ShopFiles : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("shop-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    ui::Environment environment() const {
        return [this](const char* name) -> std::optional<std::string> {
            if (std::string(name) == "XDG_CONFIG_HOME") {
                return (root / "home").string();
            }
            if (std::string(name) == "XDG_CONFIG_DIRS") {
                return (root / "etc").string();
            }
            return std::nullopt;
        };
    }
    static std::string contents(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path root;
    const ui::Shop shop{"Magazin", "Str. Lungă 1", "021 1"};
};

TEST_F(ShopFiles, SavedInTheAgentsFolderAndFoundThere) {
    EXPECT_TRUE(ui::chooseShop(std::nullopt, environment()).file.empty());
    const fs::path system = root / "etc" / "simulator-credit" / "magazin.json";
    ASSERT_EQ(ui::saveShopFile(system, shop), "");
    const ui::ShopChoice found = ui::chooseShop(std::nullopt, environment());
    EXPECT_EQ(found.file, system);
    ASSERT_TRUE(found.shop);
    // The administrator's file stays untouched: the agent's edit goes to the own folder.
    const fs::path own = root / "home" / "simulator-credit" / "magazin.json";
    EXPECT_EQ(ui::shopSavePath(found, environment()), own);
    EXPECT_EQ(ui::shopSavePath(ui::chooseShop(root / "given.json", environment()), environment()),
              root / "given.json");
}

TEST_F(ShopFiles, WrittenWholeOrNotAtAll) {
    const fs::path file = root / "magazin.json";
    ASSERT_EQ(ui::saveShopFile(file, shop), "");
    const std::string before = contents(file);

    // Details that break a rule are refused before anything is written.
    ui::Shop bad = shop;
    bad.address = "rândul unu\nrândul doi";
    EXPECT_NE(ui::saveShopFile(file, bad), "");
    EXPECT_EQ(contents(file), before);

    // A file that cannot be replaced keeps its old contents and leaves no temporary file.
    fs::create_directories(root / "folder.json");
    fs::create_directories(root / "folder.json" / "x");
    EXPECT_NE(ui::saveShopFile(root / "folder.json", shop), "");
    EXPECT_TRUE(fs::is_directory(root / "folder.json"));
    for (const auto& entry : fs::directory_iterator(root)) {
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
    EXPECT_EQ(contents(file), before);
}

// What cannot be read or written is said, and nothing is left half done.
TEST_F(ShopFiles, UnreadableAndUnwritablePlaces) {
    EXPECT_EQ(problemsOf(ui::readShopFile(root)), "/: cannot be read (a folder)\n");
    EXPECT_EQ(problemsOf(ui::readShopFile(root / "absent.json")), "/: cannot be read\n");
    std::ofstream(root / "big.json") << std::string(tariff::maxFileSize + 5, ' ');
    EXPECT_EQ(problemsOf(ui::readShopFile(root / "big.json")),
              "/: larger than 1 MiB (1048577 bytes)\n");

    // The folder cannot be made where a file stands.
    std::ofstream(root / "plain") << "x";
    const std::string noFolder = ui::saveShopFile(root / "plain" / "magazin.json", shop);
    EXPECT_EQ(noFolder.rfind("the folder " + (root / "plain").string() + " cannot be made: ", 0),
              0U)
        << noFolder;

    // The temporary file cannot be written: the file in place keeps its contents.
    const fs::path file = root / "magazin.json";
    ASSERT_EQ(ui::saveShopFile(file, shop), "");
    const std::string before = contents(file);
    fs::create_directories(root / "magazin.json.part");
    ui::Shop other = shop;
    other.name = "Altul";
    EXPECT_EQ(ui::saveShopFile(file, other), "cannot write " + file.string() + ".part");
    EXPECT_EQ(contents(file), before);
}

TEST_F(ShopFiles, NoConfigurationFolderMeansNowhereToSave) {
    const ui::Environment none = [](const char* name) -> std::optional<std::string> {
        if (std::string(name) == "XDG_CONFIG_DIRS") {
            return "relative/only:also/relative";
        }
        if (std::string(name) == "XDG_CONFIG_HOME") {
            return "relative";
        }
        return std::nullopt;
    };
    const ui::ShopChoice nothing = ui::chooseShop(std::nullopt, none);
    EXPECT_TRUE(nothing.file.empty());
    EXPECT_FALSE(nothing.failed());
    EXPECT_TRUE(ui::shopSavePath(nothing, none).empty());
    // A file given on the command line is still saved where it is.
    EXPECT_EQ(ui::shopSavePath(ui::chooseShop(root / "given.json", none), none),
              root / "given.json");
}

TEST_F(ShopFiles, LongProblemListsAreCutInTheBox) {
    std::string many = R"({"format": "simulator-credit-magazin", "version": 1)";
    for (int k = 0; k < 30; ++k) {
        many += ", \"k" + std::to_string(k + 10) + "\": 0";
    }
    const fs::path file = root / "many.json";
    std::ofstream(file) << many << "}";
    const ui::ShopChoice choice = ui::chooseShop(file, environment());
    ASSERT_TRUE(choice.failed());
    ASSERT_EQ(choice.problems.size(), 32U); // 30 unknown keys, no name, no address
    const std::string text = choice.failureText();
    EXPECT_NE(text.find("/k29: unknown key\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("/k30: unknown key"), std::string::npos) << text;
    EXPECT_NE(text.find(file.string()), std::string::npos);
    EXPECT_TRUE(text.ends_with("/k29: unknown key\n\nFormularul se tipareste fara "
                               "intermediarul de credit."))
        << text;
}

TEST_F(ShopFiles, BrokenFileIsReportedNotUsed) {
    const fs::path file = root / "home" / "simulator-credit" / "magazin.json";
    fs::create_directories(file.parent_path());
    std::ofstream(file) << R"({"format": "simulator-credit-magazin", "version": 1})";
    const ui::ShopChoice choice = ui::chooseShop(std::nullopt, environment());
    EXPECT_TRUE(choice.failed());
    EXPECT_NE(choice.failureText().find("/name: missing"), std::string::npos);
}

} // namespace
