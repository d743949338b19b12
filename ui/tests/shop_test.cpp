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

TEST_F(ShopFiles, BrokenFileIsReportedNotUsed) {
    const fs::path file = root / "home" / "simulator-credit" / "magazin.json";
    fs::create_directories(file.parent_path());
    std::ofstream(file) << R"({"format": "simulator-credit-magazin", "version": 1})";
    const ui::ShopChoice choice = ui::chooseShop(std::nullopt, environment());
    EXPECT_TRUE(choice.failed());
    EXPECT_NE(choice.failureText().find("/name: missing"), std::string::npos);
}

} // namespace
