#pragma once

#include "tariff/read.h"
#include "ui/tariff_choice.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// The shop the agent sells in: the credit intermediary printed on the information form.
struct Shop {
    std::string name;                 // 1-120 characters
    std::string address;              // 1-200 characters
    std::optional<std::string> phone; // 1-120 characters when given

    bool operator==(const Shop&) const = default;
};

// The value of the file's "format" key.
inline constexpr const char* shopFormatName = "simulator-credit-magazin";

// A checked shop, or every problem found (JSON pointers, as for the tariff); never both.
struct ShopRead {
    std::optional<Shop> shop;
    std::vector<tariff::Problem> problems;
};

// Reads and checks the text of a shop file. Any bytes are safe to give.
ShopRead readShop(std::string_view bytes);
ShopRead readShopFile(const std::filesystem::path& file);

// Checks details typed by the agent with the file's rules: the problems, none when they may be
// saved.
std::vector<tariff::Problem> checkShop(const Shop& shop);

// The shop in the file format, keys in a fixed order; reading it back gives the same shop.
std::string writeShop(const Shop& shop);

// Writes the file whole or not at all: a temporary file beside it, renamed over it once complete
// (the folder is created when missing). Returns an empty text on success, else why it failed;
// no partial or temporary file is left behind.
std::string saveShopFile(const std::filesystem::path& file, const Shop& shop);

// Which shop the window prints and where its file is.
struct ShopChoice {
    std::filesystem::path file; // the file given or found; empty: none
    std::optional<Shop> shop;   // its details, when the file passed every check
    std::vector<tariff::Problem> problems;

    bool failed() const { return !file.empty() && !shop; }
    // For the message box of a file that failed: the file and its problems.
    std::string failureText() const;
};

// The file given on the command line; otherwise simulator-credit/magazin.json under
// $XDG_CONFIG_HOME (default ~/.config), then under each folder of $XDG_CONFIG_DIRS (default
// /etc/xdg); otherwise none. The first file found is the one used.
ShopChoice chooseShop(const std::optional<std::filesystem::path>& given,
                      const Environment& environment = processEnvironment);

// Where the dialog saves: the file in use; without one, the agent's own configuration folder
// (a file under /etc/xdg belongs to the administrator). Empty when there is no home folder.
std::filesystem::path shopSavePath(const ShopChoice& choice,
                                   const Environment& environment = processEnvironment);

} // namespace ui
