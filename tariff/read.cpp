#include "tariff/read.h"

#include "runtime/json_text.h"
#include "runtime/units.h"
#include "tariff/checker.h"
#include "tariff/legal_terms.h"

#include <cerrno>
#include <fstream>

namespace tariff {
namespace {

// The format needs four levels; anything much deeper is not a tariff and is refused before the
// parser walks it.
constexpr int maxDepth = 32;
constexpr std::size_t maxInsuranceItems = 8;
constexpr std::size_t maxItemName = 40;
constexpr std::size_t maxTitle = 80;

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

void checkDuration(Checker& c, const json& root, DurationLimits& d) {
    const std::string at = "/duration";
    const json* obj = c.object(root, at, {"minimum", "maximum", "guard", "after_guard"});
    const auto minimum = c.amount(obj, at, "minimum");
    const auto maximum = c.amount(obj, at, "maximum");
    const auto guard = c.amount(obj, at, "guard");
    const auto afterGuard = c.amount(obj, at, "after_guard");
    c.ordered(minimum, maximum, at, "minimum", "maximum");
    c.ordered(maximum, guard, at, "maximum", "guard");
    if (guard && *guard > runtime::scheduleMonths) {
        c.fail(at + "/guard", "must not be above " + std::to_string(runtime::scheduleMonths) +
                                  ", the months of the schedule (got " +
                                  runtime::jsonNumber(*guard) + ")");
    }
    if (afterGuard && (*afterGuard < 1 || (guard && *afterGuard > *guard))) {
        c.fail(at + "/after_guard",
               "must be from 1 to guard (got " + runtime::jsonNumber(*afterGuard) +
                   (guard ? ", guard " + runtime::jsonNumber(*guard) : std::string()) + ")");
    }
    take(d.minimum, minimum);
    take(d.maximum, maximum);
    take(d.guard, guard);
    take(d.after_guard, afterGuard);
}

void checkInsurance(Checker& c, const json* v, bool legalTerms, std::vector<InsuranceOption>& out) {
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
        const json* item =
            legalTerms ? c.object((*items)[i], itemAt, {"name", "monthly_rate", "compulsory"})
                       : c.object((*items)[i], itemAt, {"name", "monthly_rate"});
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
        if (legalTerms) {
            take(option.compulsory, c.boolean(item, itemAt, "compulsory", false));
        }
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

// The file's version: 1 only when it says so, so that a file whose version is missing or wrong is
// checked as the latest and only its version is reported.
bool isFirstVersion(const json& doc) {
    if (!doc.is_object()) {
        return false;
    }
    const auto it = doc.find("version");
    return it != doc.end() && it->is_number() && it->get<double>() == 1;
}

void checkDocument(Checker& c, const json& doc, Terms& t) {
    const bool legalTerms = !isFirstVersion(doc);
    const json* root =
        legalTerms
            ? c.object(doc, "",
                       {"format", "version", "name", "valid_from", "lender", "credit", "duration",
                        "granting_commission", "insurance", "management_commission", "interest",
                        "indebtedness_limit", "creditor", "late_payment", "early_repayment",
                        "information_valid_days", "legal_limits"})
            : c.object(doc, "",
                       {"format", "version", "name", "valid_from", "lender", "credit", "duration",
                        "granting_commission", "insurance", "management_commission", "interest",
                        "indebtedness_limit"});
    if (root == nullptr) {
        return;
    }
    if (const json* format = c.member(root, "", "format")) {
        if (!format->is_string() || format->get_ref<const std::string&>() != formatName) {
            c.fail("/format", std::string("must be \"") + formatName + "\"");
        }
    }
    if (const auto version = c.number(c.member(root, "", "version"), "/version")) {
        if (*version != 1 && *version != 2) {
            c.fail("/version", "must be 1 or 2 (got " + runtime::jsonNumber(*version) + ")");
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
    checkInsurance(c, c.member(root, "", "insurance"), legalTerms, t.insurance);
    checkManagement(c, c.member(root, "", "management_commission"), t.management_commission);
    checkInterest(c, c.member(root, "", "interest"), t.interest);
    take(t.indebtedness_limit, c.rate(root, "", "indebtedness_limit"));
    if (legalTerms) {
        checkLegalTerms(c, *root, t);
    }
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
    terms.lender = builtIn().terms().lender;
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
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {std::nullopt, {{"/", "cannot be read"}}, errno};
    }
    // One byte more than allowed tells a file that is too large without reading all of it.
    std::string bytes(maxFileSize + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        return {std::nullopt, {{"/", "cannot be read"}}, errno};
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > maxFileSize) {
        return {std::nullopt, {{"/", "larger than 1 MiB"}}};
    }
    return read(bytes);
}

} // namespace tariff
