#pragma once

// What the register's tests share: a Qt core application (the SQL drivers are plugins), a
// temporary folder standing for the agent's data folder, and records of a real simulation.

#include "register/record_of_form.h"
#include "tests/support/started_form.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace regtest {

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "register_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

// The example customer of the offer, assessed, so that a document may be issued for it.
inline void fillExample(testsupport::StartedForm& s, const std::string& product = "3500") {
    using core::Control;
    s.set(Control::vn, "4200");
    s.set(Control::ar, "350");
    s.set(Control::ad, "100");
    s.set(Control::tbvp, product);
    s.set(Control::tbavans, "500");
    s.set(Control::tbdurcred, "24");
    s.c().select(Control::cbasig, 1);
}

inline reg::MadeRecord exampleRecord(const std::optional<std::string>& customer = "Ion Popescu",
                                     const std::string& product = "3500") {
    testsupport::StartedForm s;
    fillExample(s, product);
    reg::MadeRecord made =
        reg::makeRecord(s.form, reg::kindOffer, std::string("Magazin Centru"), customer);
    made.record.document_sha256 = reg::sha256Hex("pdf of " + made.record.id);
    return made;
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(dir.isValid());
    }
    std::filesystem::path path(const std::string& name) const {
        return std::filesystem::path(dir.path().toStdString()) / name;
    }
    QTemporaryDir dir;
};

} // namespace regtest
