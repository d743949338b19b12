#pragma once

#include "gui/fault_notice.h"
#include "gui/menu_entry.h"
#include "gui/message_box.h"
#include "ui/form1.h"
#include "ui/tariff_choice.h"

#include <QList>
#include <QWidget>

#include <functional>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;

namespace gui {

class OfferActions;

// The simulator's one window, built from the control table and bound to the control model of
// its Form1. The model is the only holder of values: the agent's own actions (an edit, a click, a
// choice) go to the model, and one observer writes every change of the model back to the widget.
//
// A menu bar sits above the form; the form keeps its own client area, 848 x 519, below it, and
// every control is placed in that client area exactly as laid out.
class SimulatorWindow final : public QWidget {
public:
    // The form runs on `tarif` for the window's whole life.
    explicit SimulatorWindow(ui::TariffChoice tarif = {}, QWidget* parent = nullptr);
    ~SimulatorWindow() override;
    SimulatorWindow(const SimulatorWindow&) = delete;
    SimulatorWindow& operator=(const SimulatorWindow&) = delete;

    // Start-up (Form_Load), once, before the window is first shown; a tariff file that failed its
    // checks is reported first, in one message box.
    void load();

    const ui::TariffChoice& tariffChoice() const { return tarif_; }

    ui::Form1& form() { return form_; }
    const ui::Form1& form() const { return form_; }

    // A new customer: the form starts over as if just opened, and the focus goes to "Venit Net".
    // The panels the controls hold as built are never shown on the way (nor announced).
    void startOver();

    // The widget of a control by its name (and index within a label array), or null.
    QWidget* control(std::string_view name, int index = -1) const;

    // The form's client area (the controls' parent) and the menus above it: "Fisier" (the
    // offer's files, then quit), "Oferta" (the windows that follow the form), "Ajutor".
    QWidget* clientArea() const { return client_; }
    QMenuBar* menus() const { return menuBar_; }
    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* offerMenu() const { return offerMenu_; }
    QMenu* helpMenu() const { return helpMenu_; }
    // The separator above "Iesire": the file actions go before it.
    QAction* quitSeparator() const { return quitSeparator_; }
    // The offer's entries in those menus and the schedule window.
    OfferActions* offerActions() const { return offerActions_; }

    // Adds an entry to one of the menus; `slot` runs when it is chosen or its shortcut pressed,
    // from the form or from any companion window, for as long as `context` lives.
    QAction* addEntry(QMenu* menu, const MenuEntry& entry, QObject* context,
                      std::function<void()> slot);
    // Every entry added so far, for the companion windows to carry.
    const QList<QAction*>& programActions() const { return programActions_; }

    // The companion window of type `Companion`, made when first asked for, then shown beside the
    // form.
    template <class Companion> Companion* openCompanion() {
        auto* companion = openedCompanion<Companion>();
        if (companion == nullptr) {
            companion = new Companion(*this);
        }
        companion->showBeside();
        return companion;
    }
    // The companion window of type `Companion` if it was ever opened, else null.
    template <class Companion> Companion* openedCompanion() const {
        // The companions declare no meta-object of their own: told apart by their C++ type.
        for (QObject* child : children()) {
            if (auto* companion = dynamic_cast<Companion*>(child)) {
                return companion;
            }
        }
        return nullptr;
    }

private:
    void build();
    void buildMenus();
    void fitScreen();
    void fitHeading(QLabel* heading);
    void showAbout();
    void bind();
    void display(ui::Control c, ui::Property p);
    void displayList();
    void announceVerdicts();
    QWidget* widgetOf(ui::Control c) const { return bound_[static_cast<std::size_t>(c)]; }

    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* offerMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* quitSeparator_ = nullptr;
    QList<QAction*> programActions_;
    OfferActions* offerActions_ = nullptr;
    ui::TariffChoice tarif_;
    MessageBoxSink messages_;
    ui::Form1 form_;
    std::unique_ptr<FaultNotice> faultNotice_;
    bool loaded_ = false;
    std::optional<double> designedHeading_; // the heading's designed size, in points
    bool restarting_ = false;               // visibility is shown once the new start-up has settled
    std::array<QWidget*, core::controlCount> bound_{};
    std::vector<std::pair<std::string, QWidget*>> widgets_; // "Label33(1)" for array members
    // What was last announced of each verdict panel: empty while it is hidden.
    std::array<std::pair<ui::Control, std::string>, 2> verdictsSaid_{
        {{ui::Control::Eroare, {}}, {ui::Control::Frame6, {}}}};
};

} // namespace gui
