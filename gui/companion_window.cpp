#include "gui/companion_window.h"

#include "gui/light_palette.h"
#include "gui/simulator_window.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <set>

namespace gui {
namespace {

constexpr const char* spreadProperty = "simcreditSpread";

// Every column as wide as its name at least; what the view has beyond that is shared evenly.
void spreadOver(QTableView* table) {
    QHeaderView* header = table->horizontalHeader();
    const int count = header->count();
    if (count == 0) {
        return;
    }
    int least = 0;
    for (int c = 0; c < count; ++c) {
        least += header->sectionSizeHint(c);
    }
    const int scrollBar = table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    table->setMinimumWidth(least + 2 * table->frameWidth() + scrollBar);
    const int spare = std::max(0, table->viewport()->width() - least);
    for (int c = 0; c < count; ++c) {
        header->resizeSection(c, header->sectionSizeHint(c) + spare / count +
                                     (c < spare % count ? 1 : 0));
    }
}

} // namespace

CompanionWindow::CompanionWindow(SimulatorWindow& owner, const QString& name, const QString& title)
    : QWidget(&owner, Qt::Window), owner_(owner) {
    setObjectName(name);
    setWindowTitle(title);
    setPalette(lightPalette()); // the form's colours, whatever the desktop's theme
    addActions(owner.programActions());
    auto* close = new QAction(QStringLiteral("Inchide"), this);
    close->setObjectName(QStringLiteral("closeCompanionAction"));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

void CompanionWindow::showBeside() {
    const bool placed = isVisible();
    show(); // the frame around the window is known once it is shown
    if (!placed) {
        const QScreen* screen = owner_.screen();
        const QRect available =
            screen != nullptr ? screen->availableGeometry() : owner_.frameGeometry();
        const QSize frame = frameGeometry().size() - geometry().size();
        const QRect place = besideForm(owner_.frameGeometry(), size() + frame, available);
        resize(place.size() - frame);
        move(place.topLeft()); // a window's position is that of its frame
    }
    raise();
    activateWindow();
}

void CompanionWindow::adoptTable(QTableView* table, const QString& accessibleName) {
    table->setTabKeyNavigation(false);
    table->setAccessibleName(accessibleName);
    table->installEventFilter(this);
}

void CompanionWindow::spreadColumns(QTableView* table) {
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setStretchLastSection(false);
    table->viewport()->setProperty(spreadProperty, true);
    table->viewport()->installEventFilter(this);
    connect(table->model(), &QAbstractItemModel::modelReset, table, [table] { spreadOver(table); });
    connect(table->model(), &QAbstractItemModel::headerDataChanged, table,
            [table] { spreadOver(table); });
    spreadOver(table);
}

bool CompanionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched->property(spreadProperty).toBool()) {
        if (auto* table = qobject_cast<QTableView*>(watched->parent())) {
            spreadOver(table);
        }
        return QWidget::eventFilter(watched, event);
    }
    auto* table = qobject_cast<QTableView*>(watched);
    if (table != nullptr && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(tableText(*table->model(), table->selectionModel()));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QRect besideForm(const QRect& form, QSize size, const QRect& available) {
    size = size.boundedTo(available.size());
    const auto fits = [&](QPoint at) { return available.contains(QRect(at, size)); };
    const int top = std::clamp(form.top(), available.top(), available.bottom() + 1 - size.height());
    const int left =
        std::clamp(form.left(), available.left(), available.right() + 1 - size.width());
    for (const QPoint at : {QPoint(form.right() + 1, top), QPoint(form.left() - size.width(), top),
                            QPoint(left, form.bottom() + 1)}) {
        if (fits(at)) {
            return {at, size};
        }
    }
    // No room beside the form: as far right and down as the screen allows, the form's figures
    // on the left staying in sight.
    return {QPoint(available.right() + 1 - size.width(), available.bottom() + 1 - size.height()),
            size};
}

QString tableText(const QAbstractItemModel& model, const QItemSelectionModel* selection) {
    std::set<int> rows;
    if (selection != nullptr) {
        for (const QModelIndex& index : selection->selectedIndexes()) {
            rows.insert(index.row());
        }
    }
    if (rows.empty()) {
        for (int r = 0; r < model.rowCount(); ++r) {
            rows.insert(r);
        }
    }
    const auto line = [&model](auto cellOf) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) {
            // A tab or a line break inside a cell would break the table apart.
            cells << cellOf(c)
                         .toString()
                         .replace(QLatin1Char('\t'), QLatin1Char(' '))
                         .replace(QLatin1Char('\n'), QLatin1Char(' '));
        }
        return cells.join(QLatin1Char('\t'));
    };
    QStringList lines;
    lines << line([&model](int c) { return model.headerData(c, Qt::Horizontal, Qt::DisplayRole); });
    for (const int r : rows) {
        lines << line([&model, r](int c) { return model.index(r, c).data(); });
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace gui
