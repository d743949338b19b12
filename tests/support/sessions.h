#pragma once

// Random sessions of an agent at the form, for the tests that compare a variant with the form
// itself: a session is a list of actions that can be replayed on any number of forms.

#include "ui/form1.h"

#include <random>
#include <string>
#include <vector>

namespace testsupport {

using core::Control;

struct Action {
    enum Kind { set, select, click } kind = set;
    Control control = Control::tbvp;
    std::string text;
    int position = 0;
};

inline void apply(ui::Form1& form, const Action& a) {
    switch (a.kind) {
    case Action::set:
        form.controls().setText(a.control, a.text);
        break;
    case Action::select:
        form.controls().select(Control::cbasig, a.position);
        break;
    case Action::click:
        form.click(a.control);
        break;
    }
}

inline void replay(ui::Form1& form, const std::vector<Action>& session) {
    for (const Action& a : session) {
        apply(form, a);
    }
}

// Texts an agent types, from the ordinary to the odd: empty, fractions, negatives, blanks,
// values at the grid's and the limits' edges, durations past the guard.
inline std::string amountText(std::mt19937& rng) {
    static const std::vector<std::string> odd = {
        "",      "0",       "-350", "abc",   "1 000", "3999.99", "4000",  "4347.83",
        "27599", "27598.9", "510",  "469.1", "12.5",  "1e3",     "30000", "1000000"};
    std::uniform_int_distribution<int> pick(0, 3);
    if (pick(rng) == 0) {
        return odd[std::uniform_int_distribution<std::size_t>(0, odd.size() - 1)(rng)];
    }
    return std::to_string(std::uniform_int_distribution<int>(0, 40000)(rng));
}

inline std::string durationText(std::mt19937& rng) {
    static const std::vector<std::string> odd = {"",   "0",   "5",   "6",    "12", "13",
                                                 "36", "37",  "47",  "47.5", "48", "60",
                                                 "61", "550", "551", "24.5", "-3"};
    std::uniform_int_distribution<int> pick(0, 2);
    if (pick(rng) == 0) {
        return odd[std::uniform_int_distribution<std::size_t>(0, odd.size() - 1)(rng)];
    }
    return std::to_string(std::uniform_int_distribution<int>(1, 70)(rng));
}

inline std::vector<Action> randomSession(std::mt19937& rng, int length) {
    static const std::vector<Control> boxes = {Control::vn,   Control::ar,      Control::ad,
                                               Control::tbvp, Control::tbavans, Control::tbdurcred};
    std::vector<Action> out;
    std::uniform_int_distribution<int> kind(0, 9);
    for (int i = 0; i < length; ++i) {
        Action a;
        const int k = kind(rng);
        if (k == 0) {
            a.kind = Action::select;
            a.position = std::uniform_int_distribution<int>(0, 3)(rng);
        } else if (k == 1) {
            a.kind = Action::click;
            a.control =
                std::uniform_int_distribution<int>(0, 1)(rng) ? Control::Check1 : Control::Check2;
        } else {
            a.control = boxes[std::uniform_int_distribution<std::size_t>(0, 5)(rng)];
            a.text = a.control == Control::tbdurcred ? durationText(rng) : amountText(rng);
        }
        out.push_back(a);
    }
    return out;
}

} // namespace testsupport
