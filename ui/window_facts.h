#pragma once

#include "core/window.h"

#include <array>
#include <string_view>

// Facts about the window that the window, the batch tool, the tests and the benchmarks all need:
// written here once.
namespace ui {

using core::Control;

// The six boxes the recalculation reads, in the order it reads them.
inline constexpr std::array<Control, 6> inputBoxes = {
    Control::vn, Control::ar, Control::ad, Control::tbvp, Control::tbavans, Control::tbdurcred};

// Whether the agent can type into the control: the six input boxes, the rate box (read by
// nothing, but not locked) and the insurance list's text portion.
constexpr bool isTypable(Control c) {
    for (const Control box : inputBoxes) {
        if (box == c) {
            return true;
        }
    }
    return c == Control::tbdob || c == Control::cbasig;
}

// The payment pair's captions: Check1 pays by direct debit, Check2 in cash.
inline constexpr std::string_view directDebitCaption = "Debit Direct";
inline constexpr std::string_view cashCaption = "Numerar";

// The caption beside each box and figure, and the unit after it, in the order of the window.
struct Caption {
    Control control;
    std::string_view caption;
    std::string_view unit; // empty: none shown
};

inline constexpr std::array<Caption, 16> captions = {{
    {Control::vn, "Venit Net", "RON"},
    {Control::ar, "Alte Rate", "RON"},
    {Control::ad, "Alte Datorii", "RON"},
    {Control::tbvp, "Valoare Produs", "RON"},
    {Control::tbavans, "Avans", "RON"},
    {Control::cbasig, "Prima de asigurare", ""},
    {Control::tbdurcred, "Durata Creditului", "LUNI"},
    {Control::tbdob, "Procent Dobanda", ""},
    {Control::lbrata, "Total de Plata", "RON"},
    {Control::lbasig, "Asigurare - prima luna", "RON"},
    {Control::lbcomisgest, "Comision de gestiune - prima luna", "RON"},
    {Control::lbdobaferenta, "Cost Total", "RON"},
    {Control::lbdae, "DAE", ""},
    {Control::bnr, "Indice BNR", ""},
    {Control::tbsumacc, "Valoare maxima bunuri", "RON"},
    {Control::tbratatlx, "Rata TLXF", "RON"},
}};

constexpr const Caption& captionOf(Control c) {
    for (const Caption& entry : captions) {
        if (entry.control == c) {
            return entry;
        }
    }
    return captions.front(); // every control named above; never reached
}

// The indebtedness warning's two lines, as built.
inline constexpr std::string_view indebtednessWarning = "Indatorare prea mare. ";
inline constexpr std::string_view indebtednessAdvice =
    "Incercati cu o valoare mai mica sau o perioada mai mare.";

// The caption of both error panels.
inline constexpr std::string_view errorCaption = "Eroare";

} // namespace ui
