#pragma once

#include "gui/companion_window.h"
#include "gui/register_model.h"

#include <functional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QTableView;

namespace gui {

class SimulatorWindow;

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
