#pragma once

#include "gui/companion_window.h"
#include "register/record.h"

#include <QAbstractTableModel>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QTableView;

namespace gui {

class SimulatorWindow;

// The register's records as the window lists them, newest first: date, customer, shop, kind,
// product value, credit, duration, instalment and legal DAE; the filter keeps the records whose
// customer, shop or date holds its text (any case).
class RegisterModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(std::vector<reg::Record> records);
    void filter(const QString& text);
    const reg::Record& record(int row) const {
        return records_[shown_[static_cast<std::size_t>(row)]];
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<reg::Record> records_;
    std::vector<std::string> keys_; // the date, the customer and the shop, case-folded
    std::vector<std::size_t> shown_;
};

// "Registru": the documents issued, with the filter; "Redeschide" puts a record's inputs back
// into the form, "Compara" shows two or three records side by side, "Verifica document..." says
// whether the register issued a file.
class RegisterWindow final : public CompanionWindow {
public:
    explicit RegisterWindow(SimulatorWindow& owner);

    // Reads the register again.
    void refresh();
    // The record of row `row` back into the form: the boxes in table-mode order, then the
    // insurance item and the payment method, each through the model as the agent's edit.
    void reopen(int row);
    // The records of `rows` side by side, the fields that differ marked.
    void compare(const std::vector<int>& rows);
    // Whether the register issued `file`, in words.
    QString verify(const QString& file);

    QTableView* table() const { return table_; }
    QLineEdit* filterBox() const { return filter_; }
    RegisterModel& model() const { return *model_; }

    // What the window tells the agent (a notice, a failure); a message box unless a test puts
    // its own here.
    std::function<void(const QString& title, const QString& text)> tell;
    // The file to verify; a file dialog unless a test puts its own here.
    std::function<QString()> chooseFile;

private:
    std::vector<int> selectedRows() const;

    QLineEdit* filter_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* note_ = nullptr;
    RegisterModel* model_ = nullptr;
};

// "Fisier > Registru..." (Ctrl+R).
QAction* addRegisterEntry(SimulatorWindow& window);

} // namespace gui
