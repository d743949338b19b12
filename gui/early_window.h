#pragma once

#include "gui/companion_window.h"
#include "offer/early_text.h"

#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableView;
class QVBoxLayout;

namespace gui {

class ScheduleModel;

// "Rambursare anticipata": what the customer pays today and saves by repaying early, whole or in
// part, after a number of instalments, following the form live. Its own boxes say when and how
// much; it reads the form and never writes to it. When no figure can be given it says why.
class EarlyWindow final : public CompanionWindow {
public:
    explicit EarlyWindow(SimulatorWindow& owner);

    // Reads the form and the window's boxes again.
    void refresh();

    // What the window shows and its boxes, for the tests.
    const offer::EarlyText& shown() const { return text_; }
    QSpinBox* monthBox() const { return month_; }
    QRadioButton* wholeButton() const { return whole_; }
    QRadioButton* partButton() const { return part_; }
    QLineEdit* amountBox() const { return amount_; }
    QRadioButton* lowerInstalmentButton() const { return lowerInstalment_; }
    QRadioButton* shorterTermButton() const { return shorterTerm_; }
    QLabel* message() const { return message_; }
    QTableView* table() const { return table_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildChoices(QVBoxLayout* layout);
    void buildDetails(QVBoxLayout* layout);
    offer::EarlyRequest request() const;

    const ui::Form1& form_;
    offer::EarlyText text_;
    // What the agent chose in the window's boxes, kept as they change.
    long long monthValue_ = 12;
    bool partial_ = false;
    std::string amountText_;
    bool shorter_ = false;

    QSpinBox* month_ = nullptr;
    QRadioButton* whole_ = nullptr;
    QRadioButton* part_ = nullptr;
    QLineEdit* amount_ = nullptr;
    QRadioButton* lowerInstalment_ = nullptr;
    QRadioButton* shorterTerm_ = nullptr;
    QLabel* message_ = nullptr;
    QWidget* details_ = nullptr;
    std::vector<QLabel*> sentences_; // today, saving, compensation, what follows
    std::vector<QLabel*> figureNames_;
    std::vector<QLabel*> figures_;
    QTableView* table_ = nullptr;
    ScheduleModel* model_ = nullptr;
};

// Adds "Oferta > Rambursare anticipata" (F4).
QAction* addEarlyEntry(SimulatorWindow& window);

} // namespace gui
