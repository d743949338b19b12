#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

class QAbstractItemModel;
class QItemSelectionModel;
class QTableView;

namespace gui {

class SimulatorWindow;

// A window that follows the form (the schedule, the variants...): a tool window of the form's,
// in the form's light palette, carrying the program's menu shortcuts, closed by Esc or Ctrl+W.
// A new one is a subclass constructed from the form's window, opened by one menu entry:
//   window.addEntry(menu, {...}, &window, [&window] { window.openCompanion<MyWindow>(); });
class CompanionWindow : public QWidget {
public:
    CompanionWindow(SimulatorWindow& owner, const QString& name, const QString& title);

    // Shows the window, raised and active; a hidden one is first placed beside the form.
    void showBeside();

protected:
    SimulatorWindow& owner() const { return owner_; }

    // A table of the window, as the desktop's tool windows have them: Tab leaves it, Ctrl+C
    // copies the selected rows as tab-separated text under the column names, and it is named
    // for screen readers.
    void adoptTable(QTableView* table, const QString& accessibleName);

    // A table's columns never narrower than their names, whatever the scale or the font; a
    // wider window widens them all.
    void spreadColumns(QTableView* table);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SimulatorWindow& owner_;
};

// Where a window of `size` goes beside the form whose frame is `form`: to its right, else to its
// left, else below it, else over it; always inside `available` (the screen's area free of
// panels), shrunk to it when larger.
QRect besideForm(const QRect& form, QSize size, const QRect& available);

// The selected rows of `model` as tab-separated lines, the column names first; every row when
// nothing is selected.
QString tableText(const QAbstractItemModel& model, const QItemSelectionModel* selection);

} // namespace gui
