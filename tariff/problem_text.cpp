#include "tariff/problem_text.h"

#include "runtime/units.h"

#include <array>
#include <cerrno>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace tariff {
namespace {

struct Name {
    std::string_view key;
    std::string_view words;
};

// The keys of the format, in the words of the lender's product sheet.
constexpr auto names = std::to_array<Name>({
    {"format", "formatul fisierului"},
    {"version", "versiunea formatului"},
    {"name", "numele"},
    {"valid_from", "data de la care este valabil"},
    {"lender", "creditorul"},
    {"title", "titlul ferestrei"},
    {"heading", "titlul formularului"},
    {"credit", "creditul"},
    {"ceiling", "plafonul"},
    {"minimum", "minimul"},
    {"maximum", "maximul"},
    {"duration", "durata"},
    {"guard", "pragul duratei"},
    {"after_guard", "durata pusa peste prag"},
    {"granting_commission", "comisionul de acordare"},
    {"rate", "procentul"},
    {"insurance", "lista de asigurari"},
    {"monthly_rate", "procentul lunar"},
    {"management_commission", "comisionul de gestiune"},
    {"initial", "valorile initiale"},
    {"bands", "benzile de comision"},
    {"direct_debit", "procentul pentru debit direct"},
    {"cash", "procentul pentru numerar"},
    {"credit_min", "creditul minim"},
    {"credit_max", "creditul maxim"},
    {"credit_above", "creditul peste care se aplica"},
    {"credit_below", "creditul sub care se aplica"},
    {"duration_min", "durata minima"},
    {"duration_max", "durata maxima"},
    {"interest", "grila de dobanzi"},
    {"indebtedness_limit", "limita de indatorare"},
    {"compulsory", "obligativitatea"},
    {"creditor", "datele creditorului"},
    {"kind", "felul creditorului"},
    {"address", "adresa"},
    {"phone", "telefonul"},
    {"email", "adresa de e-mail"},
    {"web", "pagina web"},
    {"registry", "numarul din registru"},
    {"information_valid_days", "zilele de valabilitate a informatiilor"},
    {"late_payment", "costul platii intarziate"},
    {"legal_limits", "limitele legale"},
    {"dae_max", "DAE maxima"},
    {"daily_cost_max", "costul zilnic maxim"},
    {"payable_ratio_max", "raportul maxim dintre total si credit"},
    {"early_repayment", "rambursarea anticipata"},
    {"compensation", "compensatia"},
    {"compensation_last_year", "compensatia in ultimul an"},
    {"granting_commission_refund", "restituirea comisionului de acordare"},
});

// What one element of a list is called, by the list's key.
constexpr std::array<Name, 4> elements = {{
    {"insurance", "asigurarea"},
    {"bands", "banda"},
    {"interest", "regula"},
    {"legal_limits", "limita"},
}};

std::string_view lookUp(std::string_view key, const auto& table) {
    for (const Name& n : table) {
        if (!n.key.empty() && n.key == key) {
            return n.words;
        }
    }
    return {};
}

// A JSON pointer's segments, its escapes undone.
std::vector<std::string> segments(std::string_view pointer) {
    std::vector<std::string> out;
    std::size_t at = 1;
    while (at <= pointer.size() && pointer.size() > 1) {
        const std::size_t end = std::min(pointer.find('/', at), pointer.size());
        std::string part;
        for (std::size_t i = at; i < end; ++i) {
            if (pointer[i] == '~' && i + 1 < end) {
                part += pointer[i + 1] == '1' ? '/' : '~';
                ++i;
            } else {
                part += pointer[i];
            }
        }
        out.push_back(std::move(part));
        at = end + 1;
    }
    return out;
}

bool isIndex(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos && s.size() < 9;
}

std::string placeText(std::string_view pointer, bool capital = true) {
    const std::vector<std::string> parts = segments(pointer);
    if (parts.empty()) {
        return capital ? "Fisierul" : "fisierul";
    }
    std::string out;
    std::string_view list;
    for (const std::string& part : parts) {
        std::string words;
        if (isIndex(part) && !lookUp(list, elements).empty()) {
            words = std::string(lookUp(list, elements)) + " " + ordinal(std::stoul(part) + 1);
        } else if (const std::string_view known = lookUp(part, names); !known.empty()) {
            words = known;
        } else {
            words = "cheia \"" + part + "\"";
        }
        out += (out.empty() ? "" : ", ") + words;
        list = lookUp(part, elements).empty() ? std::string_view{} : std::string_view(part);
    }
    if (capital && 'a' <= out[0] && out[0] <= 'z') {
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
    }
    return out;
}

// Replaces the first `from` in `text`, if any.
std::string replaced(std::string text, std::string_view from, std::string_view to) {
    if (const auto at = text.find(from); at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The reader's English words for a JSON value's kind and for a place in the text.
std::string romanianDetail(std::string detail) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 9> words = {{
        {"null", "null"},
        {"a boolean", "o valoare logica"},
        {"a string", "un text"},
        {"an array", "o lista"},
        {"an object", "un obiect"},
        {"a number", "un numar"},
        {"line ", "linia "},
        {"column ", "coloana "},
        {" bytes", " octeti"},
    }};
    for (const auto& [from, to] : words) {
        detail = replaced(std::move(detail), from, to);
    }
    return detail;
}

// The reason, by the reader's fixed beginnings; what follows them (the figures, the place) is
// kept. A reason the list does not know is passed on as it is.
std::string reasonText(const std::string& reason) {
    struct Start {
        std::string english;
        std::string romanian;
    };
    static const std::string months = std::to_string(runtime::scheduleMonths);
    static const std::array<Start, 31> starts = {{
        {"must be an object (got ", "trebuie sa fie un obiect JSON (este "},
        {"unknown key", "cheie necunoscuta (poate fi o greseala de scriere)"},
        {"missing", "lipseste"},
        {"must be a number (got ", "trebuie sa fie un numar (este "},
        {"must be a finite number", "trebuie sa fie un numar finit"},
        {"must not be negative (got ", "nu poate fi negativ (este "},
        {"must be below 1 (got ", "trebuie sa fie sub 1, adica sub 100 % (este "},
        {"must be a string (got ", "trebuie sa fie un text (este "},
        {"must be an array (got ", "trebuie sa fie o lista (este "},
        {"must not be above " + months + ", the months of the schedule (got ",
         "nu poate depasi " + months + ", lunile graficului (este "},
        {"must be from 1 to guard (got ", "trebuie sa fie intre 1 si pragul duratei (este "},
        {"must hold 1 to 8 items (got ", "trebuie sa aiba intre 1 si 8 optiuni (are "},
        {"must not contain control characters", "nu poate contine caractere de control"},
        {"must be 1 or 2 (got ", "trebuie sa fie 1 sau 2 (este "},
        {"must be a real date written YYYY-MM-DD (got ",
         "trebuie sa fie o data reala, scrisa AAAA-LL-ZZ (este "},
        {"must be \"ifn\" or \"banca\"", "trebuie sa fie \"ifn\" sau \"banca\""},
        {"must be \"linear\" or \"none\"", "trebuie sa fie \"linear\" sau \"none\""},
        {"must be \"", "trebuie sa fie \""},
        {"must be true or false (got ", "trebuie sa fie true sau false (este "},
        {"must be a whole number from 1 to 90 (got ",
         "trebuie sa fie un numar intreg de la 1 la 90 (este "},
        {"must be at least ", "trebuie sa fie cel putin "},
        {"must hold at most 16 limits (got ", "poate avea cel mult 16 limite (are "},
        {"must hold exactly one of dae_max, daily_cost_max and payable_ratio_max (got ",
         "trebuie sa aiba exact una dintre dae_max, daily_cost_max si payable_ratio_max (are "},
        {"larger than 1 MiB", "este mai mare de 1 MiB"},
        {"not UTF-8 text", "nu este text UTF-8"},
        {"nested deeper than ", "are mai mult de "},
        {"not valid JSON", "nu este JSON valid"},
        {"holds a number too large to be read", "contine un numar prea mare pentru a fi citit"},
        {"cannot be read (a folder)", "nu poate fi citit: este un dosar, nu un fisier"},
        {"cannot be read", "nu poate fi citit"},
        {"must not be above ", "nu poate fi mai mare decat "},
    }};
    for (const Start& s : starts) {
        if (reason.starts_with(s.english)) {
            std::string rest = romanianDetail(reason.substr(s.english.size()));
            if (s.english == "must not be above ") {
                // "credit_max (got 5, credit_max 3)": the other key named in words.
                const auto space = rest.find(' ');
                const std::string key = rest.substr(0, space);
                const std::string_view words = lookUp(key, names);
                const std::string said = words.empty() ? key : std::string(words);
                const std::string tail =
                    replaced(rest.substr(std::min(space, rest.size())), "(got ", "(este ");
                std::string keyNamed = ", ";
                keyNamed.append(key).append(" ");
                std::string saidNamed = ", ";
                saidNamed.append(said).append(" ");
                rest = said;
                rest += replaced(tail, keyNamed, saidNamed);
            }
            if (s.english == "must be from 1 to guard (got ") {
                rest = replaced(rest, "guard ", "pragul ");
            }
            if (s.english == "must be at least ") {
                rest = replaced(rest, "(got ", "(este ");
            }
            if (s.english == "nested deeper than ") {
                // "32 levels (line 1, ...)": said once, "mai mult de 32 de niveluri".
                rest = replaced(rest, " levels", " de niveluri");
            }
            return std::string(s.romanian) + rest;
        }
    }
    if (reason.starts_with("must be ") &&
        reason.find(" characters long (got ") != std::string::npos) {
        // "must be 1 to 40 characters long (got 41)", "must be at most 80 ...".
        std::string text = replaced(reason, "must be at most ", "poate avea cel mult ");
        text = replaced(text, "must be ", "trebuie sa aiba intre ");
        text = replaced(text, " to ", " si ");
        return replaced(text, " characters long (got ", " caractere (are ");
    }
    if (reason.starts_with("repeats the name of ")) {
        // "repeats the name of /insurance/0 ("Standard")"
        const std::string rest = reason.substr(std::string_view("repeats the name of ").size());
        const auto space = rest.find(' ');
        return "repeta numele din " + placeText(rest.substr(0, space), false) +
               rest.substr(std::min(space, rest.size()));
    }
    return reason;
}

} // namespace

std::string ordinal(std::size_t position) {
    static constexpr std::array<std::string_view, 10> first = {
        "prima",   "a doua",   "a treia", "a patra", "a cincea",
        "a sasea", "a saptea", "a opta",  "a noua",  "a zecea"};
    if (position >= 1 && position <= first.size()) {
        return std::string(first[position - 1]);
    }
    return "a " + std::to_string(position) + "-a";
}

std::string romanianText(const Problem& problem, int systemError) {
    std::string text = placeText(problem.pointer) + ": " + reasonText(problem.reason);
    if (systemError != 0 && problem.reason == "cannot be read") {
        text += ": " + systemReason(systemError);
    }
    return text;
}

std::string systemReason(int error) {
    switch (error) {
    case ENOENT:
        return "fisierul nu exista";
    case EACCES:
    case EPERM:
        return "programul nu are dreptul sa il citeasca";
    case ENOTDIR:
        return "o parte a caii nu este un dosar";
    case EIO:
        return "eroare de citire de pe disc";
    default:
        break;
    }
    // A rarer cause in the system's own words, which the lender's IT can look up.
    return std::generic_category().message(error);
}

} // namespace tariff
