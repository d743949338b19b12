#include "ui/tariff_choice.h"

#include "tariff/problem_text.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

namespace ui {
namespace {

constexpr std::string_view relativeFile = "simulator-credit/tarif.json";
// A file with thousands of problems would make a box taller than the screen.
constexpr std::size_t problemsShown = 20;

} // namespace

std::vector<std::filesystem::path> configFolders(const Environment& environment) {
    std::vector<std::filesystem::path> folders;
    const auto absolute = [](const std::string& p) { return !p.empty() && p.front() == '/'; };
    const std::optional<std::string> home = environment("XDG_CONFIG_HOME");
    if (home && absolute(*home)) {
        folders.emplace_back(*home);
    } else if (const std::optional<std::string> user = environment("HOME");
               user && absolute(*user)) {
        folders.push_back(std::filesystem::path(*user) / ".config");
    }
    std::string dirs = environment("XDG_CONFIG_DIRS").value_or("");
    if (dirs.empty()) {
        dirs = "/etc/xdg";
    }
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string folder = dirs.substr(start, end - start);
        if (absolute(folder)) {
            folders.emplace_back(folder);
        }
        start = end + 1;
    }
    return folders;
}

std::optional<std::string> processEnvironment(const char* name) {
    const char* value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): read at start-up
    return value == nullptr ? std::nullopt : std::optional<std::string>(value);
}

TariffChoice chooseTariff(const std::optional<std::filesystem::path>& given,
                          const Environment& environment) {
    TariffChoice choice;
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
        tariff::ReadResult read = tariff::readFile(choice.file);
        choice.fromFile = std::move(read.tariff);
        choice.problems = std::move(read.problems);
        choice.systemError = read.systemError;
    }
    return choice;
}

std::string TariffChoice::titleNote() const {
    if (fromFile) {
        return fromFile->label();
    }
    return failed() ? "tarif implicit" : std::string();
}

std::string TariffChoice::description() const {
    const std::string label = tariff().label();
    if (fromFile) {
        return "Tarif: " + label + "\nDin fisierul " + file.string();
    }
    if (failed()) {
        return "Tarif: " + label + " (tariful implicit)\nFisierul " + file.string() +
               " nu a trecut verificarile si nu este folosit.";
    }
    return "Tarif: " + label + " (tariful implicit, inclus in program)";
}

std::string TariffChoice::failureText() const {
    std::string text = "Fisierul de tarif " + file.string() + " nu poate fi folosit:\n";
    for (std::size_t i = 0; i < problems.size() && i < problemsShown; ++i) {
        text += "\n" + tariff::romanianText(problems[i], systemError);
    }
    if (problems.size() > problemsShown) {
        text += "\n... si inca " + std::to_string(problems.size() - problemsShown) + " probleme";
    }
    return text + "\n\nSimulatorul foloseste tariful implicit.";
}

std::string TariffChoice::failureDetails() const {
    std::string text = file.string() + "\n";
    for (const tariff::Problem& problem : problems) {
        text += problem.text();
        if (systemError != 0 && problem.reason == "cannot be read") {
            text += " (" + std::generic_category().message(systemError) + ")";
        }
        text += "\n";
    }
    return text;
}

} // namespace ui
