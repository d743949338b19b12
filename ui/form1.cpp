#include "ui/form1.h"

#include "core/calcule.h"
#include "runtime/format.h"
#include "runtime/runtime_error.h"
#include "runtime/scoped_value.h"
#include "ui/window_facts.h"

namespace ui {

Form1::Form1(core::MessageSink& messages, const tariff::Tariff& tarif) : messages_(messages) {
    state_.tarif = &tarif;
    controls_.setHandler([this](Control c, Notification n) { onNotification(c, n); });
}

Form1::Form1(const Form1& source, core::MessageSink& messages) : Form1(messages) {
    copyFrom(source);
}

void Form1::copyFrom(const Form1& source) {
    controls_.copyContents(source.controls_);
    state_ = source.state_;
    recalculations_ = source.recalculations_;
    resultsCurrent_ = source.resultsCurrent_;
}

void Form1::Form_Load() {
    const tariff::Terms& tarif = state_.tarif->terms();
    controls_.setCaption(Control::Form1, tarif.lender.title);
    controls_.setCaption(Control::Label1, tarif.lender.heading);
    core::setCreditParameters(state_);
    core::setProductParameters(state_);
    controls_.setVisible(Control::Frame6, false);
    controls_.setVisible(Control::Label10, false);
    for (const tariff::InsuranceOption& option : tarif.insurance) {
        controls_.addItem(Control::cbasig, option.name);
    }
    controls_.select(Control::cbasig, 0); // first recalculation, every box still empty
    controls_.setValue(Control::Check1, 1);
    controls_.setValue(Control::Check2, 0);
    controls_.setVisible(Control::Check1, true);
    controls_.setVisible(Control::Check2, true);
    controls_.setText(Control::tbdurcred, runtime::NumberToText(state_.durmax)); // second one
}

void Form1::startOver() {
    controls_.restoreAsBuilt();
    const tariff::Tariff* tarif = state_.tarif; // a new customer, the same lender
    state_ = core::SimulationState{};
    state_.tarif = tarif;
    Form_Load();
}

void Form1::click(Control checkBox) {
    controls_.setValue(checkBox, controls_.value(checkBox) == 1 ? 0 : 1);
}

void Form1::onNotification(Control c, Notification n) {
    switch (c) {
    case Control::vn:
    case Control::ar:
    case Control::ad:
    case Control::tbvp:
    case Control::tbavans:
    case Control::tbdurcred:
        if (n == Notification::TextChanged) {
            recalculate();
        }
        break;
    case Control::cbasig:
        recalculate(); // typed text and a chosen item alike
        break;
    case Control::Check1:
        if (n == Notification::Click) {
            Check1_Click();
        }
        break;
    case Control::Check2:
        if (n == Notification::Click) {
            Check2_Click();
        }
        break;
    default:
        break; // tbdob and the outputs have no handler
    }
}

void Form1::recalculate() {
    ++recalculations_;
    {
        const runtime::ScopedValue nested(depth_, depth_ + 1);
        bool complete = true;
        try {
            core::calcule(state_, controls_, messages_);
        } catch (const runtime::RuntimeError& error) {
            // What was written stays; the window goes on with the next keystroke.
            complete = false;
            if (faults_ != nullptr) {
                faults_->fault(error.what());
            }
        }
        // A nested recalculation that fails is followed by the rest of the outer one, which
        // writes every figure again: only the outermost decides whether the figures are current.
        if (depth_ == 1) {
            resultsCurrent_ = complete;
        }
    }
    if (depth_ == 0) {
        for (const auto& observer : recalculationObservers_) {
            observer();
        }
    }
}

// The pair is an either-or choice that works only through nested notifications: setting the
// partner's value raises the partner's click, whose own write back changes nothing.
void Form1::Check1_Click() {
    if (controls_.value(Control::Check1) == 1) {
        controls_.setValue(Control::Check2, 0);
    } else if (controls_.value(Control::Check1) == 0) {
        controls_.setValue(Control::Check2, 1);
    }
}

void Form1::Check2_Click() {
    if (controls_.value(Control::Check2) == 1) {
        controls_.setValue(Control::Check1, 0);
    } else if (controls_.value(Control::Check2) == 0) {
        controls_.setValue(Control::Check1, 1);
    }
    recalculate();
}

void FaultLog::fault(std::string_view what) {
    ++count_;
    kept_.emplace_back(what);
    if (kept_.size() > capacity) {
        kept_.pop_front();
    }
}

} // namespace ui
