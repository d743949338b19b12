#pragma once

#include "gui/companion_window.h"
#include "offer/offer_text.h"
#include "ui/form1.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <vector>

class QLabel;
class QTableView;

namespace gui {

// The schedule's months and its totals row, as the offer writes them.
class ScheduleModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Takes the rows of a new offer: same number of months, the cells change in place;
    // another number, the table starts over.
    void show(const offer::OfferText& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    offer::Row header_;
    std::vector<offer::Row> rows_; // the months, then the totals
};

// "Grafic de rambursare": the schedule of the simulation the form shows, following it live. It
// reads the form and never writes to it; when no offer may be made it says why in one sentence.
class ScheduleWindow final : public CompanionWindow {
public:
    explicit ScheduleWindow(SimulatorWindow& owner);

    // Reads the form again; done after each recalculation while the window is open.
    void refresh();

    // What the window shows, for the offer and the tests.
    const offer::OfferText& shown() const { return text_; }
    QTableView* table() const { return table_; }
    QLabel* message() const { return message_; }
    QLabel* legal() const { return legal_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    const ui::Form1& form_;
    offer::OfferText text_;
    QLabel* message_ = nullptr;
    QLabel* follows_ = nullptr; // what follows a refusal
    QLabel* legal_ = nullptr;   // the legal figures and the breached limits
    QWidget* details_ = nullptr;
    std::vector<QLabel*> inputLabels_;
    std::vector<QLabel*> inputs_;  // the value labels, in the order of OfferText::inputs
    std::vector<QLabel*> figures_; // the value labels, in the order of the summary
    QTableView* table_ = nullptr;
    ScheduleModel* model_ = nullptr;
};

} // namespace gui
