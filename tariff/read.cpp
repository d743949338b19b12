#include "tariff/read.h"

#include "tariff/text.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <iterator>

namespace tariff {
namespace {

using nlohmann::json;

// The format needs four levels; anything much deeper is not a tariff and is refused before the
// parser walks it.
constexpr int maxDepth = 32;
constexpr std::size_t maxInsuranceItems = 8;
constexpr std::size_t maxItemName = 40;
constexpr std::size_t maxTitle = 80;
constexpr double scheduleMonths = 600;

// The first byte where brackets nest deeper than maxDepth, outside strings.
std::optional<std::size_t> tooDeep(std::string_view bytes) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth) {
                return i;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return std::nullopt;
}

// "line L, column C" of a byte offset, columns counted in characters.
std::string place(std::string_view bytes, std::size_t offset) {
    offset = std::min(offset, bytes.size());
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (bytes[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

std::string kindOf(const json& v) {
    switch (v.type()) {
    case json::value_t::null:
        return "null";
    case json::value_t::boolean:
        return "a boolean";
    case json::value_t::string:
        return "a string";
    case json::value_t::array:
        return "an array";
    case json::value_t::object:
        return "an object";
    default:
        return "a number";
    }
}

// A JSON pointer's reference token for a key: '~' and '/' escaped; control characters shown as
// \uXXXX so that every problem stays on one line.
std::string token(std::string_view key) {
    std::string out;
    for (const char c : key) {
        if (c == '~') {
            out += "~0";
        } else if (c == '/') {
            out += "~1";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            static constexpr std::array<char, 16> hex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                         '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
            const auto u = static_cast<unsigned char>(c);
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::string quote(std::string_view s) {
    return "\"" + token(s) + "\"";
}

// Walks the parsed document, collects every problem and fills the terms on the way; the terms
// are used only when no problem was found.
class Checker {
public:
    std::vector<Problem> problems;

    void fail(const std::string& at, std::string reason) {
        problems.push_back({at.empty() ? "/" : at, std::move(reason)});
    }

    // The object at `at`, with unknown keys reported; nothing when it is not an object.
    const json* object(const json& v, const std::string& at,
                       std::initializer_list<std::string_view> keys) {
        if (!v.is_object()) {
            fail(at, "must be an object (got " + kindOf(v) + ")");
            return nullptr;
        }
        for (const auto& [key, value] : v.items()) {
            bool known = false;
            for (const std::string_view k : keys) {
                known = known || key == k;
            }
            if (!known) {
                fail(at + "/" + token(key), "unknown key");
            }
        }
        return &v;
    }

    // A member of an object; a missing required one is a problem.
    const json* member(const json* obj, const std::string& at, const char* key,
                       bool required = true) {
        if (obj == nullptr) {
            return nullptr;
        }
        const auto it = obj->find(key);
        if (it == obj->end()) {
            if (required) {
                fail(at + "/" + key, "missing");
            }
            return nullptr;
        }
        return &*it;
    }

    std::optional<double> number(const json* v, const std::string& at) {
        if (v == nullptr) {
            return std::nullopt;
        }
        if (!v->is_number()) {
            fail(at, "must be a number (got " + kindOf(*v) + ")");
            return std::nullopt;
        }
        const double x = v->get<double>();
        if (!std::isfinite(x)) {
            fail(at, "must be a finite number");
            return std::nullopt;
        }
        return x;
    }

    // A finite amount, not negative.
    std::optional<double> amount(const json* obj, const std::string& at, const char* key,
                                 bool required = true) {
        const std::string where = at + "/" + key;
        const std::optional<double> x = number(member(obj, at, key, required), where);
        if (x && *x < 0) {
            fail(where, "must not be negative (got " + numberText(*x) + ")");
            return std::nullopt;
        }
        return x;
    }

    // A rate: from 0 up to but not including 1.
    std::optional<double> rate(const json* obj, const std::string& at, const char* key) {
        const std::optional<double> x = amount(obj, at, key);
        if (x && *x >= 1) {
            fail(at + "/" + key, "must be below 1 (got " + numberText(*x) + ")");
            return std::nullopt;
        }
        return x;
    }

    // A string of at most `maxChars` characters (and at least `minChars`).
    std::optional<std::string> text(const json* obj, const std::string& at, const char* key,
                                    std::size_t minChars, std::size_t maxChars,
                                    bool required = true) {
        const std::string where = at + "/" + key;
        const json* v = member(obj, at, key, required);
        if (v == nullptr) {
            return std::nullopt;
        }
        if (!v->is_string()) {
            fail(where, "must be a string (got " + kindOf(*v) + ")");
            return std::nullopt;
        }
        const auto& s = v->get_ref<const std::string&>();
        const std::size_t n = characterCount(s);
        if (n < minChars || n > maxChars) {
            fail(where, (minChars > 0 ? "must be " + std::to_string(minChars) + " to "
                                      : std::string("must be at most ")) +
                            std::to_string(maxChars) + " characters long (got " +
                            std::to_string(n) + ")");
            return std::nullopt;
        }
        return s;
    }

    // An array of at most `maxItems` entries; nothing when it is not an array.
    const json* array(const json* v, const std::string& at) {
        if (v == nullptr) {
            return nullptr;
        }
        if (!v->is_array()) {
            fail(at, "must be an array (got " + kindOf(*v) + ")");
            return nullptr;
        }
        return v;
    }

    // Reports min > max at the min's pointer.
    void ordered(const std::optional<double>& min, const std::optional<double>& max,
                 const std::string& at, const char* minKey, const char* maxKey) {
        if (min && max && *min > *max) {
            fail(at + "/" + minKey, std::string("must not be above ") + maxKey + " (got " +
                                        numberText(*min) + ", " + maxKey + " " + numberText(*max) +
                                        ")");
        }
    }
};

template <typename T> void take(T& into, const std::optional<T>& value) {
    if (value) {
        into = *value;
    }
}

void checkDuration(Checker& c, const json& root, DurationLimits& d) {
    const std::string at = "/duration";
    const json* obj = c.object(root, at, {"minimum", "maximum", "guard", "after_guard"});
    const auto minimum = c.amount(obj, at, "minimum");
    const auto maximum = c.amount(obj, at, "maximum");
    const auto guard = c.amount(obj, at, "guard");
    const auto afterGuard = c.amount(obj, at, "after_guard");
    c.ordered(minimum, maximum, at, "minimum", "maximum");
    c.ordered(maximum, guard, at, "maximum", "guard");
    if (guard && *guard > scheduleMonths) {
        c.fail(at + "/guard", "must not be above 600, the months of the schedule (got " +
                                  numberText(*guard) + ")");
    }
    if (afterGuard && (*afterGuard < 1 || (guard && *afterGuard > *guard))) {
        c.fail(at + "/after_guard", "must be from 1 to guard (got " + numberText(*afterGuard) +
                                        (guard ? ", guard " + numberText(*guard) : std::string()) +
                                        ")");
    }
    take(d.minimum, minimum);
    take(d.maximum, maximum);
    take(d.guard, guard);
    take(d.after_guard, afterGuard);
}

void checkInsurance(Checker& c, const json* v, std::vector<InsuranceOption>& out) {
    const std::string at = "/insurance";
    const json* items = c.array(v, at);
    if (items == nullptr) {
        return;
    }
    if (items->empty() || items->size() > maxInsuranceItems) {
        c.fail(at, "must hold 1 to 8 items (got " + std::to_string(items->size()) + ")");
    }
    for (std::size_t i = 0; i < items->size(); ++i) {
        const std::string itemAt = at + "/" + std::to_string(i);
        const json* item = c.object((*items)[i], itemAt, {"name", "monthly_rate"});
        InsuranceOption option;
        if (auto name = c.text(item, itemAt, "name", 1, maxItemName)) {
            if (hasControlCharacter(*name)) {
                c.fail(itemAt + "/name", "must not contain control characters");
            }
            for (std::size_t k = 0; k < out.size(); ++k) {
                if (out[k].name == *name) {
                    c.fail(itemAt + "/name", "repeats the name of /insurance/" + std::to_string(k) +
                                                 " (" + quote(*name) + ")");
                }
            }
            option.name = std::move(*name);
        }
        take(option.monthly_rate, c.rate(item, itemAt, "monthly_rate"));
        out.push_back(std::move(option));
    }
}

ManagementRates checkRates(Checker& c, const json* obj, const std::string& at) {
    ManagementRates rates;
    take(rates.direct_debit, c.rate(obj, at, "direct_debit"));
    take(rates.cash, c.rate(obj, at, "cash"));
    return rates;
}

void checkManagement(Checker& c, const json* v, ManagementCommission& out) {
    const std::string at = "/management_commission";
    if (v == nullptr) {
        return;
    }
    const json* obj = c.object(*v, at, {"initial", "bands"});
    if (const json* initial = c.member(obj, at, "initial")) {
        const std::string initialAt = at + "/initial";
        out.initial =
            checkRates(c, c.object(*initial, initialAt, {"direct_debit", "cash"}), initialAt);
    }
    const json* bands = c.array(c.member(obj, at, "bands"), at + "/bands");
    if (bands == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < bands->size(); ++i) {
        const std::string bandAt = at + "/bands/" + std::to_string(i);
        const json* band = c.object(
            (*bands)[i], bandAt,
            {"credit_min", "credit_max", "duration_min", "duration_max", "direct_debit", "cash"});
        CommissionBand b;
        const auto creditMin = c.amount(band, bandAt, "credit_min");
        const auto creditMax = c.amount(band, bandAt, "credit_max");
        const auto durationMin = c.amount(band, bandAt, "duration_min");
        const auto durationMax = c.amount(band, bandAt, "duration_max");
        c.ordered(creditMin, creditMax, bandAt, "credit_min", "credit_max");
        c.ordered(durationMin, durationMax, bandAt, "duration_min", "duration_max");
        take(b.credit_min, creditMin);
        take(b.credit_max, creditMax);
        take(b.duration_min, durationMin);
        take(b.duration_max, durationMax);
        b.rates = checkRates(c, band, bandAt);
        out.bands.push_back(b);
    }
}

void checkInterest(Checker& c, const json* v, std::vector<InterestRule>& out) {
    const std::string at = "/interest";
    const json* rules = c.array(v, at);
    if (rules == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < rules->size(); ++i) {
        const std::string ruleAt = at + "/" + std::to_string(i);
        const json* rule = c.object((*rules)[i], ruleAt,
                                    {"duration_min", "duration_max", "credit_min", "credit_above",
                                     "credit_max", "credit_below", "rate"});
        InterestRule r;
        r.duration_min = c.amount(rule, ruleAt, "duration_min", false);
        r.duration_max = c.amount(rule, ruleAt, "duration_max", false);
        r.credit_min = c.amount(rule, ruleAt, "credit_min", false);
        r.credit_above = c.amount(rule, ruleAt, "credit_above", false);
        r.credit_max = c.amount(rule, ruleAt, "credit_max", false);
        r.credit_below = c.amount(rule, ruleAt, "credit_below", false);
        c.ordered(r.duration_min, r.duration_max, ruleAt, "duration_min", "duration_max");
        c.ordered(r.credit_min, r.credit_max, ruleAt, "credit_min", "credit_max");
        take(r.rate, c.rate(rule, ruleAt, "rate"));
        out.push_back(r);
    }
}

void checkDocument(Checker& c, const json& doc, Terms& t) {
    const json* root = c.object(doc, "",
                                {"format", "version", "name", "valid_from", "lender", "credit",
                                 "duration", "granting_commission", "insurance",
                                 "management_commission", "interest", "indebtedness_limit"});
    if (root == nullptr) {
        return;
    }
    if (const json* format = c.member(root, "", "format")) {
        if (!format->is_string() || format->get_ref<const std::string&>() != formatName) {
            c.fail("/format", std::string("must be \"") + formatName + "\"");
        }
    }
    if (const auto version = c.number(c.member(root, "", "version"), "/version")) {
        if (*version != 1) {
            c.fail("/version", "must be 1 (got " + numberText(*version) + ")");
        }
    }
    take(t.name, c.text(root, "", "name", 0, maxTitle));
    if (auto date = c.text(root, "", "valid_from", 0, maxTitle, false)) {
        if (!isDate(*date)) {
            c.fail("/valid_from",
                   "must be a real date written YYYY-MM-DD (got " + quote(*date) + ")");
        } else {
            t.valid_from = std::move(*date);
        }
    }
    if (const json* lender = c.member(root, "", "lender", false)) {
        const json* obj = c.object(*lender, "/lender", {"title", "heading"});
        take(t.lender.title, c.text(obj, "/lender", "title", 0, maxTitle, false));
        take(t.lender.heading, c.text(obj, "/lender", "heading", 0, maxTitle, false));
    }
    if (const json* credit = c.member(root, "", "credit")) {
        const json* obj = c.object(*credit, "/credit", {"ceiling", "minimum"});
        const auto ceiling = c.amount(obj, "/credit", "ceiling");
        const auto minimum = c.amount(obj, "/credit", "minimum");
        // A minimum above the ceiling is not refused: the two are not a min/max pair of the
        // format, and such a tariff only makes every product value an error.
        take(t.credit.ceiling, ceiling);
        take(t.credit.minimum, minimum);
    }
    if (const json* duration = c.member(root, "", "duration")) {
        checkDuration(c, *duration, t.duration);
    }
    if (const json* granting = c.member(root, "", "granting_commission")) {
        const std::string at = "/granting_commission";
        const json* obj = c.object(*granting, at, {"rate", "minimum"});
        take(t.granting_commission.rate, c.rate(obj, at, "rate"));
        take(t.granting_commission.minimum, c.amount(obj, at, "minimum"));
    }
    checkInsurance(c, c.member(root, "", "insurance"), t.insurance);
    checkManagement(c, c.member(root, "", "management_commission"), t.management_commission);
    checkInterest(c, c.member(root, "", "interest"), t.interest);
    take(t.indebtedness_limit, c.rate(root, "", "indebtedness_limit"));
}

} // namespace

// Makes a Tariff of terms that passed the checks; the only way besides the built-in one.
class Reader {
public:
    static Tariff make(Terms terms) { return Tariff(std::move(terms)); }
};

ReadResult read(std::string_view bytes) {
    ReadResult result;
    const auto refuse = [&](std::string reason) {
        result.problems.push_back({"/", std::move(reason)});
        return result;
    };
    if (bytes.size() > maxFileSize) {
        return refuse("larger than 1 MiB (" + std::to_string(bytes.size()) + " bytes)");
    }
    if (const auto bad = firstInvalidUtf8(bytes)) {
        return refuse("not UTF-8 text (" + place(bytes, *bad) + ")");
    }
    if (const auto deep = tooDeep(bytes)) {
        return refuse("nested deeper than " + std::to_string(maxDepth) + " levels (" +
                      place(bytes, *deep) + ")");
    }
    json doc;
    try {
        doc = json::parse(bytes);
    } catch (const json::parse_error& e) {
        // The parser's own text quotes the bytes it read: only the place is passed on.
        return refuse("not valid JSON (" + place(bytes, e.byte == 0 ? 0 : e.byte - 1) + ")");
    } catch (const json::exception&) {
        return refuse("holds a number too large to be read");
    }

    Checker checker;
    Terms terms;
    terms.lender = Lender{};
    checkDocument(checker, doc, terms);
    if (checker.problems.empty()) {
        result.tariff = Reader::make(std::move(terms));
    }
    result.problems = std::move(checker.problems);
    return result;
}

ReadResult readFile(const std::filesystem::path& file) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) {
        return {std::nullopt, {{"/", "cannot be read (a folder)"}}};
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {std::nullopt, {{"/", "cannot be read"}}};
    }
    // One byte more than allowed tells a file that is too large without reading all of it.
    std::string bytes(maxFileSize + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        return {std::nullopt, {{"/", "cannot be read"}}};
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > maxFileSize) {
        return {std::nullopt, {{"/", "larger than 1 MiB"}}};
    }
    return read(bytes);
}

} // namespace tariff
