#pragma once

#include "offer/offer_text.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string_view>

class QAction;

namespace gui {

class ScheduleWindow;
class SimulatorWindow;

// The offer's menu entries and what they do: the schedule window (F2), the offer as PDF
// (Ctrl+S) or on paper (Ctrl+P), the schedule as CSV (Ctrl+E). After every recalculation of the
// form they follow its verdict: when no offer may be made the file entries are disabled, with
// the reason as their tooltip. Nothing here writes to the form.
class OfferActions final : public QObject {
public:
    explicit OfferActions(SimulatorWindow& window);

    QAction* scheduleAction() const { return schedule_; }
    QAction* savePdfAction() const { return savePdf_; }
    QAction* printAction() const { return print_; }
    QAction* exportCsvAction() const { return exportCsv_; }

    // The schedule window, created when it is first opened.
    ScheduleWindow* scheduleWindow() const;
    void showSchedule();

    // Write the current offer to `path`, whole or not at all: a temporary file beside it is
    // renamed over it once complete. On failure the agent is told and no file is left.
    bool savePdf(const QString& path);
    bool exportCsv(const QString& path);

    // The name the save dialogs propose: the date, the financed amount and the duration.
    QString proposedName(const QString& extension) const;
    // The printed document's name, from which the print dialog makes the file it proposes.
    QString printDocumentName() const;

    // Where a failure is told: a message box over the window (not blocking the event loop),
    // or whatever a test puts here.
    std::function<void(const QString& title, const QString& text)> showError;

    // The save dialog: the path chosen from `proposed`, or empty when cancelled; a test puts its
    // own choice here.
    std::function<QString(const QString& title, const QString& proposed, const QString& filter)>
        choosePath;

    // The date the offer carries; today unless a test fixes it.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

private:
    void followForm();
    QString askPath(const QString& title, const QString& extension, const QString& filter);
    void askSavePdf();
    void askExportCsv();
    void askPrint();
    void recordIssued(std::string_view kind, const std::optional<QString>& file);
    bool writeWhole(const QString& path, const char* failed,
                    const std::function<bool(QIODevice&)>& write);

    SimulatorWindow& window_;
    QAction* schedule_ = nullptr;
    QAction* savePdf_ = nullptr;
    QAction* print_ = nullptr;
    QAction* exportCsv_ = nullptr;
    QString whyNoOffer_; // empty while an offer may be made
    QString lastFolder_; // where the agent last saved, for this session
};

} // namespace gui
