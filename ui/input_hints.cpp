#include "ui/input_hints.h"

#include "runtime/format.h"
#include "runtime/val.h"
#include "ui/window_facts.h"

namespace ui {
namespace {

// "3.500", "1.250.000": a first group of one to three digits (not starting with 0), then one or
// more groups of a dot and exactly three digits, blanks around allowed. This is how thousands are
// written in Romanian, and the reader takes the first dot as the decimal point. Returns the
// digits without the dots, or empty when the text is not written so.
std::string thousandsMeant(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    const auto isDigit = [](char ch) { return ch >= '0' && ch <= '9'; };
    std::size_t lead = 0;
    while (lead < text.size() && isDigit(text[lead])) {
        ++lead;
    }
    if (lead == 0 || lead > 3 || text[0] == '0' || lead == text.size()) {
        return {};
    }
    std::string digits(text.substr(0, lead));
    for (std::size_t at = lead; at < text.size(); at += 4) {
        if (text[at] != '.' || at + 4 > text.size() || !isDigit(text[at + 1]) ||
            !isDigit(text[at + 2]) || !isDigit(text[at + 3])) {
            return {};
        }
        digits.append(text.substr(at + 1, 3));
    }
    return digits;
}

} // namespace

std::string inputHint(const ControlModel& m, Control c) {
    if (c == Control::cbasig) {
        return m.listIndex(c) < 0
                   ? "Textul nu este o optiune din lista; se calculeaza fara asigurare"
                   : std::string();
    }
    bool input = false;
    for (const Control box : inputBoxes) {
        input = input || box == c;
    }
    if (!input) {
        return {};
    }
    const std::string& text = m.text(c);
    if (const std::string meant = thousandsMeant(text); !meant.empty()) {
        return "Se citeste " + runtime::NumberToText(runtime::Val(text)) +
               ", punctul fiind virgula zecimala; ati vrut " + meant + "? Scrieti fara punct.";
    }
    const bool whole = runtime::ValReadsWhole(text);
    const double value = runtime::Val(text);
    if (whole && !(value < 0)) {
        return {};
    }
    const std::string read = "Se citeste " + runtime::NumberToText(value);
    return whole ? read + "; valoarea este negativa"
                 : read + "; restul textului nu este luat in calcul";
}

} // namespace ui
