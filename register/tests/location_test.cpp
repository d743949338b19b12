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

TEST(ConnectionString, PercentCodesInEveryPartDecodedOrRefusedByName) {
    EXPECT_EQ(parsed("postgresql://an%61:p%40ss%2f%2F@h%2Dx/d%62?application_name=a%20b"),
              (std::vector<ConnParam>{{"password", "p@ss//"},
                                      {"user", "ana"},
                                      {"host", "h-x"},
                                      {"dbname", "db"},
                                      {"application_name", "a b"}}));
    // An empty user, password or database is no parameter at all: libpq's defaults hold.
    EXPECT_EQ(parsed("postgresql://@h"), (std::vector<ConnParam>{{"host", "h"}}));
    EXPECT_EQ(parsed("postgresql://:5433/db"),
              (std::vector<ConnParam>{{"port", "5433"}, {"dbname", "db"}}));
    EXPECT_EQ(parsed("postgresql://[::1]/db"),
              (std::vector<ConnParam>{{"host", "::1"}, {"dbname", "db"}}));
    for (const auto& [bad, named] :
         std::vector<std::pair<std::string, std::string>>{{"postgresql://h/db%2", "db%2"},
                                                          {"postgresql://h/db%2z", "db%2z"},
                                                          {"postgresql://ana:%g0@h/db", "%g0"},
                                                          {"postgresql://%zz@h/db", "%zz"},
                                                          {"postgresql://h%zz:5/db", "h%zz"},
                                                          {"postgresql://[::1:5/db", "IPv6"},
                                                          {"postgresql://[::1]5432/db", "IPv6"},
                                                          {"postgresql://h/%-1", "%-1"},
                                                          {"postgresql://h/db?%zz=1", "%zz"},
                                                          {"postgresql://h/db?sslmode=%", "%"},
                                                          {"host=h a;b=1", "a;b"}}) {
        std::string error;
        EXPECT_FALSE(reg::parseConnectionString(bad, error)) << bad;
        EXPECT_NE(error.find(named), std::string::npos) << bad << ": " << error;
    }
}

TEST(ConnectionString, PairsWithBlanksEscapesAndQuotes) {
    EXPECT_EQ(parsed("\t dbname = a\\ b\r\n"), (std::vector<ConnParam>{{"dbname", "a b"}}));
    EXPECT_EQ(parsed("password='a\\\\b\\'' host=h\\"),
              (std::vector<ConnParam>{{"password", "a\\b'"}, {"host", "h\\"}}));
    EXPECT_EQ(parsed("host="), (std::vector<ConnParam>{{"host", ""}}));
    // What libpq reads back is what was typed, quotes and backslashes included.
    EXPECT_EQ(reg::connectOptions({{"password", "it's a\\b"}}),
              "password='it\\'s a\\\\b' connect_timeout=5");
    EXPECT_EQ(reg::connectOptions({}), "connect_timeout=5");
    EXPECT_EQ(reg::connectOptions(parsed("connect_timeout=2 host=h")),
              "connect_timeout='2' host='h'");
    std::string error;
    EXPECT_FALSE(reg::parseConnectionString("host h dbname=x", error));
    EXPECT_EQ(error, "\"host\" nu este urmat de \"=\"");
    EXPECT_FALSE(reg::parseConnectionString("dbname=x host", error));
    EXPECT_EQ(error, "\"host\" nu este urmat de \"=\"");
    EXPECT_FALSE(reg::parseConnectionString("password='a\\", error));
    EXPECT_NE(error.find("password"), std::string::npos) << error;
    EXPECT_FALSE(reg::parseConnectionString(" \t\r\n", error));
}

TEST(ConnectionString, DescribedByDatabaseHostAndPort) {
    auto described = [](std::string_view text) {
        return reg::Location{{}, parsed(text)}.describe();
    };
    EXPECT_EQ(described("user=ana"), "baza de date PostgreSQL \"ana\" (socketul local)");
    EXPECT_EQ(described("postgresql://h:6543/reg"),
              "baza de date PostgreSQL \"reg\" de pe h, portul 6543");
    EXPECT_EQ(described("dbname=a dbname=b"), "baza de date PostgreSQL \"b\" (socketul local)");
    const reg::Location file{"/tmp/r.sqlite", {}};
    EXPECT_EQ(file.describe(), "registrul /tmp/r.sqlite");
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

TEST_F(Folders, DataFolderOnlyFromAbsolutePaths) {
    vars["XDG_DATA_HOME"] = "relativ/data";
    vars["HOME"] = root.string();
    EXPECT_EQ(reg::dataFolder(env()), root / ".local/share/simulator-credit");
    vars["XDG_DATA_HOME"] = "";
    EXPECT_EQ(reg::dataFolder(env()), root / ".local/share/simulator-credit");
    vars["HOME"] = "";
    EXPECT_EQ(reg::dataFolder(env()), std::filesystem::path());
    EXPECT_EQ(reg::defaultRegisterFile(env()), std::filesystem::path());
    EXPECT_EQ(reg::outboxFile(env()), std::filesystem::path());
}

TEST_F(Folders, ConfigFileWithoutAConnectionStringIsNamed) {
    vars["HOME"] = root.string();
    std::filesystem::create_directories(root / ".config/simulator-credit");
    const auto conf = root / ".config/simulator-credit/registru.conf";
    for (const char* text : {"", "# only a comment\n\n  \t\r\n", "  # indented, host=h\n"}) {
        std::ofstream(conf, std::ios::binary | std::ios::trunc) << text;
        const reg::LocationChoice c = reg::chooseLocation(std::nullopt, env());
        EXPECT_FALSE(c.location) << text;
        EXPECT_EQ(c.error, "Fisierul " + conf.string() + " nu contine un sir de conectare.")
            << text;
    }
    // An indented comment above the line is a comment too.
    std::ofstream(conf, std::ios::binary | std::ios::trunc)
        << "\t# the chain's register\r\n  host=central dbname=registru\r\n";
    const reg::LocationChoice c = reg::chooseLocation(std::nullopt, env());
    ASSERT_TRUE(c.location) << c.error;
    EXPECT_EQ(c.location->params,
              (std::vector<ConnParam>{{"host", "central"}, {"dbname", "registru"}}));
    // Given on the command line, a bad string names no file.
    const reg::LocationChoice given = reg::chooseLocation(std::string("registru"), env());
    EXPECT_FALSE(given.location);
    EXPECT_TRUE(given.error.starts_with("Sirul de conectare al registrului nu poate fi folosit: "))
        << given.error;
}

} // namespace
