#include "ui/shop.h"

#include "runtime/json_text.h"
#include "tariff/text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <system_error>

namespace ui {
namespace {

using nlohmann::json;

constexpr std::string_view relativeFile = "simulator-credit/magazin.json";
constexpr std::size_t maxName = 120;
constexpr std::size_t maxAddress = 200;
constexpr std::size_t maxPhone = 120;

using Problems = std::vector<tariff::Problem>;

// One text field: its length in characters and no control characters (a line break in an
// address would break the form's layout and could forge a line of it).
void checkText(Problems& problems, const std::string& at, const std::string& value,
               std::size_t maxChars) {
    const std::size_t n = tariff::characterCount(value);
    if (tariff::firstInvalidUtf8(value)) {
        problems.push_back({at, "not UTF-8 text"});
    } else if (n < 1 || n > maxChars) {
        problems.push_back({at, "must be 1 to " + std::to_string(maxChars) +
                                    " characters long (got " + std::to_string(n) + ")"});
    } else if (tariff::hasControlCharacter(value)) {
        problems.push_back({at, "must not contain control characters"});
    }
}

std::optional<std::string> textMember(Problems& problems, const json& root, const char* key,
                                      std::size_t maxChars, bool required) {
    const std::string at = std::string("/") + key;
    const auto it = root.find(key);
    if (it == root.end()) {
        if (required) {
            problems.push_back({at, "missing"});
        }
        return std::nullopt;
    }
    if (!it->is_string()) {
        problems.push_back({at, "must be a string"});
        return std::nullopt;
    }
    const auto& s = it->get_ref<const std::string&>();
    const std::size_t before = problems.size();
    checkText(problems, at, s, maxChars);
    return problems.size() == before ? std::optional<std::string>(s) : std::nullopt;
}

} // namespace

std::vector<tariff::Problem> checkShop(const Shop& shop) {
    Problems problems;
    checkText(problems, "/name", shop.name, maxName);
    checkText(problems, "/address", shop.address, maxAddress);
    if (shop.phone) {
        checkText(problems, "/phone", *shop.phone, maxPhone);
    }
    return problems;
}

ShopRead readShop(std::string_view bytes) {
    ShopRead result;
    const auto refuse = [&](std::string reason) {
        result.problems.push_back({"/", std::move(reason)});
        return result;
    };
    if (bytes.size() > tariff::maxFileSize) {
        return refuse("larger than 1 MiB (" + std::to_string(bytes.size()) + " bytes)");
    }
    if (tariff::firstInvalidUtf8(bytes)) {
        return refuse("not UTF-8 text");
    }
    json root;
    try {
        // The file is one flat object: a depth limit keeps a hostile file from nesting the
        // parser's recursion deep.
        int deepest = 0;
        root = json::parse(bytes, [&deepest](int depth, json::parse_event_t, json&) {
            deepest = std::max(deepest, depth);
            if (deepest > 2) {
                throw std::range_error("too deep");
            }
            return true;
        });
    } catch (const std::range_error&) {
        return refuse("nested deeper than a shop's details are");
    } catch (const json::exception&) {
        return refuse("not valid JSON");
    }
    if (!root.is_object()) {
        return refuse("must be an object");
    }
    Problems& problems = result.problems;
    for (const auto& [key, value] : root.items()) {
        if (key != "format" && key != "version" && key != "name" && key != "address" &&
            key != "phone") {
            std::string shown;
            for (const char c : key) { // a pointer token, kept on one line
                shown += c == '~'                               ? std::string("~0")
                         : c == '/'                             ? std::string("~1")
                         : static_cast<unsigned char>(c) < 0x20 ? std::string("?")
                                                                : std::string(1, c);
            }
            problems.push_back({"/" + shown, "unknown key"});
        }
    }
    const auto format = root.find("format");
    if (format == root.end()) {
        problems.push_back({"/format", "missing"});
    } else if (!format->is_string() || format->get_ref<const std::string&>() != shopFormatName) {
        problems.push_back({"/format", std::string("must be \"") + shopFormatName + "\""});
    }
    const auto version = root.find("version");
    if (version == root.end()) {
        problems.push_back({"/version", "missing"});
    } else if (!version->is_number() || version->get<double>() != 1) {
        problems.push_back({"/version", "must be 1"});
    }
    Shop shop;
    const auto name = textMember(problems, root, "name", maxName, true);
    const auto address = textMember(problems, root, "address", maxAddress, true);
    shop.phone = textMember(problems, root, "phone", maxPhone, false);
    if (problems.empty() && name && address) {
        shop.name = *name;
        shop.address = *address;
        result.shop = std::move(shop);
    }
    return result;
}

ShopRead readShopFile(const std::filesystem::path& file) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        return {std::nullopt, {{"/", "cannot be read (a folder)"}}};
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {std::nullopt, {{"/", "cannot be read"}}};
    }
    std::string bytes(tariff::maxFileSize + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        return {std::nullopt, {{"/", "cannot be read"}}};
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return readShop(bytes);
}

std::string writeShop(const Shop& shop) {
    // One member a line, indented by two, as people read and edit it.
    std::string out = "{\n  \"format\": " + runtime::jsonString(shopFormatName);
    out += ",\n  \"version\": 1";
    out += ",\n  \"name\": " + runtime::jsonString(shop.name);
    out += ",\n  \"address\": " + runtime::jsonString(shop.address);
    if (shop.phone) {
        out += ",\n  \"phone\": " + runtime::jsonString(*shop.phone);
    }
    return out + "\n}\n";
}

std::string saveShopFile(const std::filesystem::path& file, const Shop& shop) {
    if (const Problems problems = checkShop(shop); !problems.empty()) {
        return problems.front().text();
    }
    std::error_code error;
    const std::filesystem::path folder = file.parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            return "the folder " + folder.string() + " cannot be made: " + error.message();
        }
    }
    const std::filesystem::path temporary = file.string() + ".part";
    const std::string text = writeShop(shop);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(temporary, error);
            return "cannot write " + temporary.string();
        }
    }
    std::filesystem::rename(temporary, file, error);
    if (error) {
        const std::string why = error.message();
        std::filesystem::remove(temporary, error);
        return "cannot replace " + file.string() + ": " + why;
    }
    return {};
}

ShopChoice chooseShop(const std::optional<std::filesystem::path>& given,
                      const Environment& environment) {
    ShopChoice choice;
    if (given) {
        choice.file = *given;
    } else {
        for (const std::filesystem::path& folder : configFolders(environment)) {
            const std::filesystem::path candidate = folder / relativeFile;
            std::error_code error;
            if (std::filesystem::exists(candidate, error)) {
                choice.file = candidate;
                break;
            }
        }
    }
    if (!choice.file.empty()) {
        ShopRead read = readShopFile(choice.file);
        choice.shop = std::move(read.shop);
        choice.problems = std::move(read.problems);
    }
    return choice;
}

std::filesystem::path shopSavePath(const ShopChoice& choice, const Environment& environment) {
    const std::vector<std::filesystem::path> folders = configFolders(environment);
    std::filesystem::path own =
        folders.empty() ? std::filesystem::path() : folders.front() / relativeFile;
    const bool found = !choice.file.empty() &&
                       std::ranges::any_of(folders, [&](const std::filesystem::path& folder) {
                           return choice.file == folder / relativeFile;
                       });
    // A file found under the system folders is the administrator's: the agent's copy goes to
    // the own configuration folder, which is searched first from then on. A file named on the
    // command line is written where it is.
    if (choice.file.empty() || found) {
        return own;
    }
    return choice.file;
}

std::string ShopChoice::failureText() const {
    std::string text =
        "Datele magazinului din fisierul\n" + file.string() + "\nnu pot fi folosite:\n";
    // A file with thousands of problems would make a box taller than the screen.
    constexpr std::size_t shown = 20;
    for (std::size_t i = 0; i < problems.size() && i < shown; ++i) {
        text += problems[i].text() + "\n";
    }
    return text + "\nFormularul se tipareste fara intermediarul de credit.";
}

} // namespace ui
