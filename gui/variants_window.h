#pragma once

#include "gui/companion_window.h"
#include "offer/duration_rows.h"
#include "offer/what_if.h"
#include "offer/what_would_pass.h"
#include "ui/form1.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <array>
#include <vector>

class QAction;
class QLabel;
class QTableView;
class QTimer;

namespace gui {

class SimulatorWindow;

// The variants' rows as the window shows them: duration, rate, total monthly payment, total cost
// and DAE as the form shows them, the indebtedness index and the verdict.
class VariantsModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(std::vector<offer::DurationRow> rows);
    const std::vector<offer::DurationRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<offer::DurationRow> rows_;
};

// "Variante": every duration side by side and what would be accepted, for the form's present
// inputs. It follows the form after each recalculation, late by one turn of the event loop so
// that typing never waits for it, and reads the form through copies only. Choosing a row (double
// click or Enter) is the one thing it does to the form: it sets the duration box to the row's
// duration, as if the agent had typed it.
class VariantsWindow final : public CompanionWindow {
public:
    explicit VariantsWindow(SimulatorWindow& owner);

    // Reads the form again now.
    void refresh();
    // Sets the form's duration to row `row`'s: one text change, one recalculation.
    void choose(int row);

    QTableView* table() const { return table_; }
    const std::vector<offer::DurationRow>& rows() const { return model_->rows(); }
    const offer::Answers& answers() const { return answers_; }
    // The three answers' values: down payment, durations, product value.
    QLabel* answerLabel(std::size_t i) const { return answerValues_[i]; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ui::Form1& form_;
    offer::WhatIf whatIf_;
    offer::Answers answers_;
    VariantsModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    std::array<QLabel*, 3> answerValues_{};
    QTimer* pending_ = nullptr;
    std::array<int, 6> baseWidths_{}; // the columns before the verdict, at their least
    int leastWidth_ = 0;              // the table with every column at its least
    bool sideways_ = false;           // the screen is narrower: the table scrolls sideways

    void fitScreen();
    void fitColumns();
    void fitHeight();
};

// Adds "Variante" (F3) to the window's "Oferta" menu; the window is made when first opened.
QAction* addVariantsEntry(SimulatorWindow& window);

} // namespace gui
