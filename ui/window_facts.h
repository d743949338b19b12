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

} // namespace ui
