#pragma once

#include "offer/standard_form.h"
#include "ui/shop.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class QAction;

namespace gui {

class SimulatorWindow;

// The law's entries of the "Fisier" menu: the standard information form (Ctrl+I) as PDF or on
// paper, and the shop's details printed on it as the credit intermediary. After every
// recalculation the form's entry follows whether a form may be issued; when not, it is disabled
// with the reason as its tooltip.
class LegalActions final : public QObject {
public:
    LegalActions(SimulatorWindow& window, ui::ShopChoice shop);

    QAction* standardFormAction() const { return standardForm_; }
    QAction* shopAction() const { return shop_; }
    const ui::ShopChoice& shop() const { return shopChoice_; }

    // The form for the simulation the window shows now, issued now.
    offer::StandardForm currentForm() const;

    // Write the form to `path` as an A4 PDF, whole or not at all; false (and the agent told)
    // when it may not be issued or the file cannot be written.
    bool saveStandardFormPdf(const QString& path);

    // Opens the shop's dialog; the details saved there are printed from then on.
    void editShop();

    // Where a failure is told, and the moment of issue; replaced by tests.
    std::function<void(const QString& title, const QString& text)> showError;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

private:
    void followForm();
    void askStandardForm();

    SimulatorWindow& window_;
    ui::ShopChoice shopChoice_;
    QAction* standardForm_ = nullptr;
    QAction* shop_ = nullptr;
    QString whyNoForm_; // empty while a form may be issued
};

// The moment of issue as the form prints it: "08.12.2026 14:30".
std::string issueText(const QDateTime& when);

} // namespace gui
