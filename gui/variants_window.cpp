#include "gui/variants_window.h"
#include "gui/table_text.h"

#include "gui/simulator_window.h"

#include <QAction>
#include <QFont>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace gui {
namespace {

constexpr std::array<const char*, 7> headers = {
    "Durata (luni)", "Procent dobanda", "Rata lunara", "Cost total",
    "DAE",           "Indice BNR",      "Verdict"};

QString cellText(const offer::DurationRow& row, int column) {
    switch (column) {
    case 0:
        return qs(row.text) + (row.current ? QStringLiteral(" (curenta)") : QString());
    case 1:
        return figureText(row.tbdob);
    case 2:
        return figureText(row.lbrata);
    case 3:
        return figureText(row.lbdobaferenta);
    case 4:
        return figureText(row.lbdae);
    case 5:
        return figureText(row.bnr);
    default:
        return qs(offer::verdictText(row));
    }
}

constexpr std::array<const char*, 3> answerNames = {
    "Avans minim acceptat (durata actuala):",
    "Durate acceptate (avansul actual):",
    "Valoare produs maxima acceptata (avansul si durata actuale):",
};

// Not the form's "Valoare maxima bunuri": said where the agent reads it, under the answers.
constexpr const char* productValueNote =
    "Cea mai mare valoare a produsului cu care formularul insusi accepta clientul, verificata "
    "valoare cu valoare. \"Valoare maxima bunuri\" din formular este calculata la dobanda si "
    "comisionul creditului actual si poate fi mai mica: o valoare mai mare poate cadea in alta "
    "treapta de dobanda si comision.";

} // namespace

void VariantsModel::show(std::vector<offer::DurationRow> rows) {
    if (rows.size() == rows_.size()) {
        rows_ = std::move(rows);
        emit dataChanged(index(0, 0), index(rowCount() - 1, static_cast<int>(headers.size()) - 1));
        return;
    }
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int VariantsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int VariantsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers.size());
}

QVariant VariantsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const offer::DurationRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, index.column());
    case Qt::ToolTipRole:
        return index.column() == 6 && !row.limitText.empty()
                   ? QVariant(
                         qs(row.limitText).replace(QLatin1Char('\r'), QLatin1Char('\n')).trimmed())
                   : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == 6 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
        return boldFontIf(row.current);
    default:
        return {};
    }
}

QVariant VariantsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // A screen reader names each row by its duration, not by its place in the table.
    if (role == Qt::DisplayRole && orientation == Qt::Vertical && section >= 0 &&
        section < rowCount()) {
        return qs(rows_[static_cast<std::size_t>(section)].text);
    }
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(headers.size())) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromUtf8(headers[static_cast<std::size_t>(section)]);
}

VariantsWindow::VariantsWindow(SimulatorWindow& owner)
    : CompanionWindow(owner, QStringLiteral("variantsWindow"), QStringLiteral("Variante")),
      form_(owner.form()), whatIf_(form_) {
    auto* layout = new QVBoxLayout(this);

    model_ = new VariantsModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("variantsTable"));
    table_->setModel(model_);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    // Widths worked out once, wide enough for any figure: fitting them to the contents at every
    // keystroke would cost more than the variants themselves. A wider window widens them.
    const QFontMetrics metrics(table_->font());
    const int figure = metrics.horizontalAdvance(QStringLiteral("99999999.99  %")) + 12;
    for (int c = 0; c + 1 < static_cast<int>(headers.size()); ++c) {
        // The header's own measure of its name, margins included, at the desktop's scale.
        const int title = table_->horizontalHeader()->sectionSizeHint(c);
        baseWidths_[static_cast<std::size_t>(c)] = std::max(figure, title);
    }
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int least = 2 * table_->frameWidth() + figure * 2; // the verdict's column
    for (const int width : baseWidths_) {
        least += width;
    }
    leastWidth_ = least;
    table_->setMinimumWidth(least);
    connect(table_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { choose(index.row()); });
    adoptTable(table_, QStringLiteral("Variante pe durate"));
    layout->addWidget(table_);

    auto* under = new QFormLayout;
    for (std::size_t i = 0; i < answerNames.size(); ++i) {
        auto* value = new QLabel(this);
        value->setObjectName(QStringLiteral("answer%1").arg(i));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        auto* name = new QLabel(QString::fromUtf8(answerNames[i]), this);
        name->setBuddy(value);
        if (i == 2) {
            name->setToolTip(QString::fromUtf8(productValueNote));
            value->setToolTip(QString::fromUtf8(productValueNote));
        }
        QString caption = QString::fromUtf8(answerNames[i]);
        caption.chop(1); // the colon
        value->setAccessibleName(caption);
        under->addRow(name, value);
        answerValues_[i] = value;
    }
    layout->addLayout(under);
    auto* note = new QLabel(QString::fromUtf8(productValueNote), this);
    note->setObjectName(QStringLiteral("productValueNote"));
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch(1); // the space a taller window gives goes under the text, not the table

    // Coalesced: a burst of keystrokes is followed by one refresh once the events are handled.
    pending_ = new QTimer(this);
    pending_->setSingleShot(true);
    pending_->setInterval(0);
    connect(pending_, &QTimer::timeout, this, &VariantsWindow::refresh);
    form_.addRecalculationObserver([this] {
        if (isVisible()) {
            pending_->start();
        }
    });
    refresh();
    resize(960, sizeHint().height());
}

void VariantsWindow::resizeEvent(QResizeEvent* event) {
    CompanionWindow::resizeEvent(event);
    fitColumns();
}

// The room beyond the columns' least widths is shared: half to the figures, half to the verdict
// (the header's last section takes what is left).
void VariantsWindow::fitColumns() {
    int base = 0;
    for (const int width : baseWidths_) {
        base += width;
    }
    // Scrolled sideways, the verdict keeps its least width rather than what is left of the view.
    table_->horizontalHeader()->setStretchLastSection(!sideways_);
    if (sideways_) {
        table_->setColumnWidth(static_cast<int>(baseWidths_.size()), 2 * baseWidths_[1]);
    }
    const int spare = std::max(0, table_->viewport()->width() - base - 2 * baseWidths_[1]);
    const int figureShare = spare / 2 / static_cast<int>(baseWidths_.size() - 1);
    for (std::size_t c = 0; c < baseWidths_.size(); ++c) {
        table_->setColumnWidth(static_cast<int>(c), baseWidths_[c] + (c == 0 ? 0 : figureShare));
    }
}

// A laptop's screen at 150 % is narrower than every column at its least: the window stays inside
// the screen and the table scrolls sideways, its scroll bar under the rows.
void VariantsWindow::fitScreen() {
    const QScreen* shownOn = screen();
    if (shownOn == nullptr) {
        return;
    }
    const QMargins margins = layout()->contentsMargins();
    const int frame = std::max(frameGeometry().width() - geometry().width(), 16);
    const int room =
        shownOn->availableGeometry().width() - frame - margins.left() - margins.right();
    sideways_ = leastWidth_ > room;
    table_->setMinimumWidth(sideways_ ? std::max(room, 0) : leastWidth_);
    table_->setHorizontalScrollBarPolicy(sideways_ ? Qt::ScrollBarAlwaysOn
                                                   : Qt::ScrollBarAlwaysOff);
    fitHeight();
    fitColumns();
    layout()->activate(); // the window's least size follows now, before it is placed
}

// The table as tall as its rows: no blank band under them.
void VariantsWindow::fitHeight() {
    const int scrollBar =
        sideways_ ? table_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table_) : 0;
    const int height = 2 * table_->frameWidth() + table_->horizontalHeader()->sizeHint().height() +
                       table_->verticalHeader()->defaultSectionSize() * model_->rowCount() +
                       scrollBar;
    if (table_->height() != height || table_->minimumHeight() != height) {
        table_->setFixedHeight(height);
    }
}

void VariantsWindow::showEvent(QShowEvent* event) {
    refresh(); // hidden, it did not follow the form
    fitScreen();
    CompanionWindow::showEvent(event);
}

void VariantsWindow::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        table_->currentIndex().isValid()) {
        choose(table_->currentIndex().row());
        return;
    }
    CompanionWindow::keyPressEvent(event);
}

void VariantsWindow::refresh() {
    pending_->stop();
    model_->show(offer::durationRows(whatIf_, form_));
    fitHeight();
    answers_ = offer::whatWouldPass(whatIf_, form_);
    const offer::AnswerTexts texts = offer::answerTexts(answers_);
    const std::array<const std::string*, 3> values = {&texts.minDownPayment, &texts.durations,
                                                      &texts.maxProductValue};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (answerValues_[i]->text() != qs(*values[i])) {
            answerValues_[i]->setText(qs(*values[i]));
        }
    }
}

void VariantsWindow::choose(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        return;
    }
    const std::string text = rows()[static_cast<std::size_t>(row)].text;
    form_.controls().setText(core::Control::tbdurcred, text);
}

QAction* addVariantsEntry(SimulatorWindow& window) {
    return window.addEntry(window.offerMenu(),
                           {.text = QStringLiteral("&Variante"),
                            .name = QStringLiteral("variantsAction"),
                            .shortcut = QKeySequence(Qt::Key_F3)},
                           &window, [&window] { window.openCompanion<VariantsWindow>(); });
}

} // namespace gui
