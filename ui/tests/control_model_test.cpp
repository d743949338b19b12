#include "ui/control_model.h"
#include "ui/window_facts.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using core::Control;
using ui::ControlModel;
using ui::Notification;

// Records every notification as "name:text" or "name:click".
struct Recorder {
    std::vector<std::string> heard;
    void attach(ControlModel& m) {
        m.setHandler([this](Control c, Notification n) {
            heard.push_back(std::string(ui::controlName(c)) +
                            (n == Notification::Click ? ":click" : ":text"));
        });
    }
};

TEST(ControlModel, TextAndValueChangesNotifyOnlyWhenTheyChange) {
    ControlModel m;
    Recorder r;
    r.attach(m);
    m.setText(Control::tbvp, "2");
    m.setText(Control::tbvp, "2"); // same text: silent
    m.setText(Control::tbvp, "");
    m.setValue(Control::Check1, 1); // already ticked: silent
    m.setValue(Control::Check2, 1);
    m.setValue(Control::Check2, 1);
    EXPECT_EQ(r.heard, (std::vector<std::string>{"tbvp:text", "tbvp:text", "Check2:click"}));
}

TEST(ControlModel, CaptionsAndVisibilityRaiseNothing) {
    ControlModel m;
    Recorder r;
    r.attach(m);
    m.setCaption(Control::lbrata, "113.45");
    m.setCaption(Control::Label10, "x");
    m.setVisible(Control::Eroare, false);
    m.setVisible(Control::Frame6, true);
    m.setVisible(Control::Frame6, false);
    EXPECT_TRUE(r.heard.empty());
    EXPECT_EQ(m.caption(Control::lbrata), "113.45");
    EXPECT_FALSE(m.visible(Control::Eroare));
}

// A change made inside a handler is heard at once, before the outer handler goes on; observers
// hear of a change before the handler does.
TEST(ControlModel, NotificationsNestInsideTheChange) {
    ControlModel m;
    std::vector<std::string> order;
    m.addObserver([&](Control c, ui::Property) {
        order.push_back("show " + std::string(ui::controlName(c)));
    });
    m.setHandler([&](Control c, Notification) {
        order.push_back("enter " + std::string(ui::controlName(c)));
        if (c == Control::tbdurcred && m.text(c) == "551") {
            m.setText(Control::tbdurcred, "60");
            EXPECT_EQ(m.text(Control::tbdurcred), "60");
        }
        order.push_back("leave " + std::string(ui::controlName(c)));
    });
    m.setText(Control::tbdurcred, "551");
    EXPECT_EQ(order,
              (std::vector<std::string>{"show tbdurcred", "enter tbdurcred", "show tbdurcred",
                                        "enter tbdurcred", "leave tbdurcred", "leave tbdurcred"}));
}

TEST(ControlModel, ListChoiceAndTypedText) {
    ControlModel m;
    for (const std::string_view item : {"Fara Asigurare", "Standard", "Optim", "Senior"}) {
        m.addItem(Control::cbasig, item);
    }
    Recorder r;
    r.attach(m);
    EXPECT_TRUE(r.heard.empty()); // adding items raises nothing

    ASSERT_TRUE(m.select(Control::cbasig, 1));
    EXPECT_EQ(m.text(Control::cbasig), "Standard");
    EXPECT_EQ(m.listIndex(Control::cbasig), 1);
    EXPECT_EQ(r.heard, std::vector<std::string>{"cbasig:click"});

    r.heard.clear();
    m.setText(Control::cbasig, "Standar");
    EXPECT_EQ(m.listIndex(Control::cbasig), -1);
    m.setText(Control::cbasig, "Optim"); // typed, equals an item exactly
    EXPECT_EQ(m.listIndex(Control::cbasig), 2);
    m.setText(Control::cbasig, "optim");
    EXPECT_EQ(m.listIndex(Control::cbasig), -1);
    m.setText(Control::cbasig, "Optim ");
    EXPECT_EQ(m.listIndex(Control::cbasig), -1);
    EXPECT_EQ(r.heard, std::vector<std::string>(4, "cbasig:text"));

    r.heard.clear();
    EXPECT_FALSE(m.select(Control::cbasig, 4));
    EXPECT_FALSE(m.select(Control::cbasig, -2));
    EXPECT_TRUE(r.heard.empty());
    EXPECT_EQ(m.text(Control::cbasig), "Optim ");
}

// What the display hears while the agent types into the list and when nothing is chosen: the
// position changes with the text (never the new text beside the old position), and choosing no
// item empties the text.
TEST(ControlModel, ListPositionFollowsTheTextForObservers) {
    ControlModel m;
    for (const std::string_view item : {"Fara Asigurare", "Standard", "Optim", "Senior"}) {
        m.addItem(Control::cbasig, item);
    }
    ASSERT_TRUE(m.select(Control::cbasig, 0));
    std::vector<std::string> seen;
    m.addObserver([&](Control c, ui::Property p) {
        if (c == Control::cbasig && p != ui::Property::Items) {
            seen.push_back((p == ui::Property::Text ? "text " : "position ") + m.text(c) + " " +
                           std::to_string(m.listIndex(c)));
        }
    });
    Recorder r;
    r.attach(m);
    m.setText(Control::cbasig, "Senio");
    m.setText(Control::cbasig, "Senior");
    m.setText(Control::cbasig, "Senior!");
    EXPECT_EQ(seen, (std::vector<std::string>{"text Senio -1", "position Senio -1", "text Senior 3",
                                              "position Senior 3", "text Senior! -1",
                                              "position Senior! -1"}));
    seen.clear();
    ASSERT_TRUE(m.select(Control::cbasig, 2));
    r.heard.clear();
    ASSERT_TRUE(m.select(Control::cbasig, -1));
    EXPECT_EQ(m.text(Control::cbasig), "");
    EXPECT_EQ(m.listIndex(Control::cbasig), -1);
    EXPECT_EQ(r.heard, std::vector<std::string>{"cbasig:click"});
}

// Every control against its name as the window and the scripts spell it, written out here in
// the order of the enumeration: a control renamed or moved in the one list of controls changes
// what scripts and snapshots say, and fails here.
TEST(ControlModel, NamesRoundTrip) {
    const std::vector<std::pair<Control, std::string_view>> spelled = {
        {Control::Form1, "Form1"},
        {Control::Label1, "Label1"},
        {Control::vn, "vn"},
        {Control::ar, "ar"},
        {Control::ad, "ad"},
        {Control::tbvp, "tbvp"},
        {Control::tbavans, "tbavans"},
        {Control::tbdurcred, "tbdurcred"},
        {Control::tbdob, "tbdob"},
        {Control::bnr, "bnr"},
        {Control::tbsumacc, "tbsumacc"},
        {Control::tbratatlx, "tbratatlx"},
        {Control::lbrata, "lbrata"},
        {Control::lbasig, "lbasig"},
        {Control::lbcomisgest, "lbcomisgest"},
        {Control::lbdobaferenta, "lbdobaferenta"},
        {Control::lbdae, "lbdae"},
        {Control::Label10, "Label10"},
        {Control::Eroare, "Eroare"},
        {Control::Frame3, "Frame3"},
        {Control::Frame4, "Frame4"},
        {Control::Frame6, "Frame6"},
        {Control::Check1, "Check1"},
        {Control::Check2, "Check2"},
        {Control::cbasig, "cbasig"},
    };
    ASSERT_EQ(spelled.size(), static_cast<std::size_t>(core::controlCount));
    for (std::size_t i = 0; i < spelled.size(); ++i) {
        const auto& [control, name] = spelled[i];
        SCOPED_TRACE(std::string(name));
        EXPECT_EQ(static_cast<std::size_t>(control), i);
        EXPECT_EQ(ui::controlName(control), name);
        Control back = Control::Form1;
        ASSERT_TRUE(ui::controlByName(name, back));
        EXPECT_EQ(back, control);
    }
    Control unused = Control::Form1;
    EXPECT_FALSE(ui::controlByName("Frame1", unused));
    EXPECT_FALSE(ui::controlByName("tbVP", unused)); // names are matched exactly
    EXPECT_FALSE(ui::controlByName("", unused));
}

} // namespace
