#include "batch/batch.h"
#include "offer/early.h"
#include "offer/early_json.h"
#include "offer/legal_json.h"
#include "offer/schedule_json.h"
#include "offer/snapshot_json.h"
#include "offer/variants_json.h"
#include "ui/form1.h"
#include "ui/window_facts.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace batch {
namespace {

using core::Control;

// Length of the UTF-8 character that starts at s[i]; a byte that does not start a valid
// character counts as one, so any bytes can be typed and erased.
std::size_t charLength(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t n = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
    }
    if (i + n > s.size()) {
        return 1;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return n;
}

// Where the last character of s starts.
std::size_t lastCharStart(std::string_view s) {
    std::size_t i = 0;
    std::size_t last = 0;
    while (i < s.size()) {
        last = i;
        i += charLength(s, i);
    }
    return last;
}

bool parseCount(std::string_view text, long long& out) {
    if (text.empty()) {
        return false;
    }
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc{} && ptr == text.data() + text.size() && out >= 0;
}

// A whole number, an optional minus sign and digits only: a month out of range is answered, a
// month that is not a number is a malformed line.
bool parseWhole(std::string_view text, long long& out) {
    const std::size_t digits = text.starts_with('-') ? 1 : 0;
    if (text.size() == digits ||
        text.find_first_not_of("0123456789", digits) != std::string_view::npos) {
        return false;
    }
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc{} && ptr == text.data() + text.size();
}

// A decimal number with a point: an optional minus sign, digits, and a point with digits after
// it. No exponent, no "inf" or "nan", no blanks: what an agent would type as an amount.
bool parseDecimal(std::string_view text, double& out) {
    const std::size_t sign = text.starts_with('-') ? 1 : 0;
    const std::string_view body = text.substr(sign);
    const std::size_t point = body.find('.');
    const std::string_view whole = body.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : body.substr(point + 1);
    auto digitsOnly = [](std::string_view s) {
        return s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (whole.empty() || !digitsOnly(whole) || !digitsOnly(fraction) ||
        (point != std::string_view::npos && fraction.empty())) {
        return false;
    }
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc{} && ptr == text.data() + text.size();
}

// `early K total`, `early K rata A` or `early K durata A`; an error text for a malformed line.
std::string parseEarly(std::string_view operands, offer::EarlyRequest& request) {
    std::vector<std::string_view> words;
    for (std::size_t start = 0;;) {
        const std::size_t blank = operands.find(' ', start);
        words.push_back(operands.substr(start, blank - start));
        if (blank == std::string_view::npos) {
            break;
        }
        start = blank + 1;
    }
    if (words.size() < 2) {
        return "early needs a month and total, rata or durata";
    }
    if (!parseWhole(words[0], request.month)) {
        return "bad month '" + std::string(words[0]) + "'";
    }
    if (words[1] == "total") {
        request.mode = offer::EarlyMode::total;
        return words.size() == 2 ? "" : "early total takes no amount";
    }
    if (words[1] == "rata") {
        request.mode = offer::EarlyMode::rata;
    } else if (words[1] == "durata") {
        request.mode = offer::EarlyMode::durata;
    } else {
        return "unknown early mode '" + std::string(words[1]) + "'";
    }
    if (words.size() != 3) {
        return "early " + std::string(words[1]) + " takes one amount";
    }
    if (!parseDecimal(words[2], request.amount)) {
        return "bad amount '" + std::string(words[2]) + "'";
    }
    return {};
}

class Session {
public:
    explicit Session(const tariff::Tariff& tarif) : form_(log_, tarif) {
        form_.setFaultSink(&faults_);
        form_.Form_Load();
    }

    // Runs one line; returns an error text for a malformed one.
    std::string run(std::string_view line, std::ostream& out) {
        const auto firstBlank = line.find(' ');
        const std::string_view action = line.substr(0, firstBlank);
        if (action == "snapshot") {
            if (firstBlank != std::string_view::npos) {
                return "snapshot takes no operand";
            }
            out << offer::snapshotJson(form_, log_.shown, &faults_) << '\n';
            log_.shown.clear();
            return {};
        }
        if (action == "schedule") { // reads the window, changes nothing
            if (firstBlank != std::string_view::npos) {
                return "schedule takes no operand";
            }
            out << offer::scheduleJson(form_) << '\n';
            return {};
        }
        if (action == "legal") { // reads the window, changes nothing
            if (firstBlank != std::string_view::npos) {
                return "legal takes no operand";
            }
            out << offer::legalJson(form_) << '\n';
            return {};
        }
        if (action == "variants") { // reads the window, changes nothing
            if (firstBlank != std::string_view::npos) {
                return "variants takes no operand";
            }
            out << offer::variantsJson(form_) << '\n';
            return {};
        }
        if (action == "early") { // reads the window, changes nothing
            offer::EarlyRequest request;
            std::string error =
                parseEarly(firstBlank == std::string_view::npos ? std::string_view{}
                                                                : line.substr(firstBlank + 1),
                           request);
            if (!error.empty()) {
                return error;
            }
            out << offer::earlyJson(request, offer::earlyRepayment(form_, request)) << '\n';
            return {};
        }
        if (action != "set" && action != "type" && action != "erase" && action != "select" &&
            action != "click") {
            return "unknown action '" + std::string(action) + "'";
        }
        if (firstBlank == std::string_view::npos) {
            return "missing control after '" + std::string(action) + "'";
        }
        const std::string_view rest = line.substr(firstBlank + 1);
        const auto secondBlank = rest.find(' ');
        const std::string_view name = rest.substr(0, secondBlank);
        const bool hasArg = secondBlank != std::string_view::npos;
        const std::string_view arg = hasArg ? rest.substr(secondBlank + 1) : std::string_view{};
        Control c{};
        if (!ui::controlByName(name, c)) {
            return "unknown control '" + std::string(name) + "'";
        }
        if (action == "click") {
            return click(c, hasArg);
        }
        if (action == "select") {
            return select(c, arg);
        }
        if (!ui::isTypable(c)) {
            return "control '" + std::string(name) + "' cannot be typed into";
        }
        if (action == "set") {
            form_.controls().setText(c, arg);
            return {};
        }
        if (action == "type") {
            type(c, arg);
            return {};
        }
        return erase(c, arg);
    }

    const ui::Form1& form() const { return form_; }

private:
    std::string click(Control c, bool hasArg) {
        if (c != Control::Check1 && c != Control::Check2) {
            return "only Check1 and Check2 can be clicked";
        }
        if (hasArg) {
            return "click takes no operand after the control";
        }
        form_.click(c);
        return {};
    }

    std::string select(Control c, std::string_view arg) {
        if (c != Control::cbasig) {
            return "only cbasig has items to select";
        }
        long long position = 0;
        const auto count = static_cast<long long>(form_.controls().data(c).items.size());
        if (!parseCount(arg, position) || position >= count) {
            return "bad item number '" + std::string(arg) + "'";
        }
        form_.controls().select(c, static_cast<int>(position));
        return {};
    }

    void type(Control c, std::string_view text) {
        std::string current = form_.controls().text(c);
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t n = charLength(text, i);
            current.append(text.substr(i, n));
            form_.controls().setText(c, current);
            current = form_.controls().text(c);
            i += n;
        }
    }

    std::string erase(Control c, std::string_view arg) {
        long long count = 0;
        if (!parseCount(arg, count)) {
            return "bad count '" + std::string(arg) + "'";
        }
        for (long long k = 0; k < count; ++k) {
            std::string current = form_.controls().text(c);
            if (current.empty()) {
                break;
            }
            current.erase(lastCharStart(current));
            form_.controls().setText(c, current);
        }
        return {};
    }

    ui::MessageLog log_;
    ui::FaultLog faults_;
    ui::Form1 form_;
};

} // namespace

int runScript(std::istream& in, std::ostream& out, std::ostream& err, const tariff::Tariff& tarif) {
    return runScript(in, out, err, tarif, {});
}

int runScript(std::istream& in, std::ostream& out, std::ostream& err, const tariff::Tariff& tarif,
              const std::function<void(const ui::Form1&)>& atEnd) {
    Session session(tarif);
    std::string line;
    for (long long number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#' ||
            line.find_first_not_of(" \t") == std::string::npos) {
            continue;
        }
        const std::string error = session.run(line, out);
        if (!error.empty()) {
            out.flush();
            err << "line " << number << ": " << error << '\n';
            return malformed;
        }
    }
    out.flush();
    if (atEnd) {
        atEnd(session.form());
    }
    return ok;
}

} // namespace batch
