#include "ui/summary.h"

#include "ui/window_facts.h"

#include <string_view>

namespace ui {
namespace {

void addLine(std::string& out, std::string_view name, std::string_view value,
             std::string_view unit = {}) {
    out.append(name).append(":");
    if (!value.empty()) {
        out.append(" ").append(value);
        if (!unit.empty()) {
            out.append(" ").append(unit);
        }
    }
    out.append("\n");
}

// A caption's line breaks (CR, CR LF) become blanks; blanks at either end go.
std::string oneLine(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (!out.empty() && out.back() != ' ') {
                out.push_back(' ');
            }
        } else {
            out.push_back(c);
        }
    }
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string summaryText(const Form1& form) {
    const ControlModel& m = form.controls();
    std::string out;
    for (const Caption& entry : captions) {
        const ControlData& d = m.data(entry.control);
        const bool box = !(entry.control >= Control::lbrata && entry.control <= Control::lbdae);
        const std::string& value = box ? d.text : d.caption;
        // The refusal is a verdict, not an amount.
        const bool amount = value.find_first_of("0123456789") != std::string::npos;
        addLine(out, entry.caption, value, amount ? entry.unit : std::string_view{});
        if (entry.control == Control::cbasig) {
            const std::string_view payment = m.value(Control::Check1) == 1   ? directDebitCaption
                                             : m.value(Control::Check2) == 1 ? cashCaption
                                                                             : std::string_view{};
            addLine(out, "Plata", payment);
        }
    }
    if (m.visible(Control::Eroare)) {
        addLine(out, errorCaption, oneLine(m.caption(Control::Label10)));
    } else if (m.visible(Control::Frame6)) {
        addLine(out, errorCaption,
                oneLine(std::string(indebtednessWarning) + std::string(indebtednessAdvice)));
    }
    return out;
}

} // namespace ui
