#pragma once

// A form after start-up, as the agent first sees it: its messages and faults recorded, never
// shown. As a member of a fixture (`StartedFormTest`) or on its own, one per simulation.

#include "tariff/tariff.h"
#include "ui/form1.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace testsupport {

struct StartedForm {
    explicit StartedForm(const tariff::Tariff& tarif = tariff::builtIn()) : form(log, tarif) {
        form.setFaultSink(&faults);
        form.Form_Load();
    }
    StartedForm(const StartedForm&) = delete;
    StartedForm& operator=(const StartedForm&) = delete;

    ui::ControlModel& c() { return form.controls(); }
    const ui::ControlModel& c() const { return form.controls(); }
    bool visible(core::Control k) const { return form.controls().visible(k); }
    // The whole text of a box at once, as a paste is.
    void set(core::Control k, std::string_view text) { form.controls().setText(k, text); }

    ui::MessageLog log;
    ui::FaultLog faults;
    ui::Form1 form;
};

class StartedFormTest : public ::testing::Test, public StartedForm {};

} // namespace testsupport
