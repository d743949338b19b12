#include "ui/input_hints.h"

#include "runtime/format.h"
#include "runtime/val.h"
#include "ui/window_facts.h"

namespace ui {

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
