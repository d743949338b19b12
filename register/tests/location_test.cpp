#include "register/location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace {

using reg::ConnParam;

std::vector<ConnParam> parsed(std::string_view text) {
    std::string error;
    auto params = reg::parseConnectionString(text, error);
    EXPECT_TRUE(params) << text << ": " << error;
    return params.value_or(std::vector<ConnParam>{});
}

TEST(ConnectionString, UriAndPairsGiveTheSameParameters) {
    const std::vector<ConnParam> expected = {{"user", "ana"},
                                             {"host", "db.example"},
                                             {"port", "6543"},
                                             {"dbname", "registru"},
                                             {"sslmode", "require"}};
    EXPECT_EQ(parsed("postgresql://ana@db.example:6543/registru?sslmode=require"), expected);
    EXPECT_EQ(parsed("user=ana host=db.example port = 6543 dbname='registru' sslmode=require"),
              expected);
}

TEST(ConnectionString, PercentCodesSocketsAndIpv6) {
    EXPECT_EQ(parsed("postgresql://%2Ftmp%2Fpg/db"),
              (std::vector<ConnParam>{{"host", "/tmp/pg"}, {"dbname", "db"}}));
    EXPECT_EQ(parsed("postgres://[::1]:5433/x"),
              (std::vector<ConnParam>{{"host", "::1"}, {"port", "5433"}, {"dbname", "x"}}));
    EXPECT_EQ(parsed("postgresql://a:1,b/x"),
              (std::vector<ConnParam>{{"host", "a,b"}, {"port", "1,"}, {"dbname", "x"}}));
    EXPECT_EQ(parsed("password='it\\'s' dbname=x"),
              (std::vector<ConnParam>{{"password", "it's"}, {"dbname", "x"}}));
}

TEST(ConnectionString, UnreadableTextsSayWhy) {
    for (const char* bad : {"registru", "postgresql://h/db?x", "postgresql://h/%zz", "dbname='open",
                            "host", "dbname=a;b"}) {
        std::string error;
        EXPECT_FALSE(reg::parseConnectionString(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(ConnectionString, PasswordNeverDescribedAndTimeoutAdded) {
    reg::Location where{{}, parsed("postgresql://ana:secret@h:5/db")};
    EXPECT_EQ(where.describe().find("secret"), std::string::npos);
    EXPECT_NE(where.describe().find("\"db\""), std::string::npos);
    EXPECT_EQ(reg::connectOptions(parsed("host=h dbname='a b'")),
              "host='h' dbname='a b' connect_timeout=5");
    EXPECT_EQ(reg::connectOptions(parsed("connect_timeout=1")), "connect_timeout='1'");
}

class Folders : public ::testing::Test {
protected:
    void SetUp() override {
        root =
            std::filesystem::temp_directory_path() /
            ("registru-loc-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    ui::Environment env() const {
        return [this](const char* name) -> std::optional<std::string> {
            auto it = vars.find(name);
            return it == vars.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
    }
    std::filesystem::path root;
    std::map<std::string, std::string> vars;
};

TEST_F(Folders, NothingConfiguredIsTheLocalFile) {
    vars["HOME"] = root.string();
    reg::LocationChoice c = reg::chooseLocation(std::nullopt, env());
    ASSERT_TRUE(c.location) << c.error;
    EXPECT_EQ(c.location->file, root / ".local/share/simulator-credit/registru.sqlite");
    vars["XDG_DATA_HOME"] = (root / "data").string();
    c = reg::chooseLocation(std::nullopt, env());
    EXPECT_EQ(c.location->file, root / "data/simulator-credit/registru.sqlite");
    EXPECT_EQ(reg::outboxFile(env()), root / "data/simulator-credit/registru-netrimise.sqlite");
    vars.clear();
    c = reg::chooseLocation(std::nullopt, env());
    EXPECT_FALSE(c.location);
    EXPECT_FALSE(c.error.empty());
}

TEST_F(Folders, ConfigFileFoundLikeTheTariffAndCommandLineFirst) {
    vars["HOME"] = root.string();
    vars["XDG_CONFIG_DIRS"] = (root / "etc").string();
    std::filesystem::create_directories(root / "etc/simulator-credit");
    std::ofstream(root / "etc/simulator-credit/registru.conf")
        << "# the chain's register\n\npostgresql://central/registru?sslmode=require\n";
    reg::LocationChoice c = reg::chooseLocation(std::nullopt, env());
    ASSERT_TRUE(c.location) << c.error;
    EXPECT_TRUE(c.location->postgres());
    EXPECT_EQ(c.location->param("host"), "central");
    EXPECT_EQ(c.configFile, root / "etc/simulator-credit/registru.conf");
    c = reg::chooseLocation(std::string("dbname=alta"), env());
    ASSERT_TRUE(c.location);
    EXPECT_EQ(c.location->param("dbname"), "alta");

    std::filesystem::create_directories(root / ".config/simulator-credit");
    std::ofstream(root / ".config/simulator-credit/registru.conf") << "nu e un sir\n";
    c = reg::chooseLocation(std::nullopt, env());
    EXPECT_FALSE(c.location);
    EXPECT_NE(c.error.find(".config/simulator-credit/registru.conf"), std::string::npos) << c.error;
}

} // namespace
