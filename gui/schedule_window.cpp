#include "gui/schedule_window.h"

#include "gui/simulator_window.h"
#include "gui/table_text.h"
#include "offer/standard_form.h"

#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

#include <array>

namespace gui {
namespace {

// The summary under the table: which of the offer's key figures, by label.
constexpr std::array<const char*, 4> summary = {"Total de rambursat", "Cost total", "DAE",
                                                "DAE exacta"};

void setIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) { // an unchanged label keeps its layout
        label->setText(text);
    }
}

} // namespace

void ScheduleModel::show(const offer::OfferText& text) {
    std::vector<offer::Row> rows;
    if (text.valid) {
        rows.reserve(text.rows.size() + 1);
        rows = text.rows;
        rows.push_back(text.totals);
    }
    if (rows.size() == rows_.size() && text.header == header_) {
        rows_ = std::move(rows);
        if (!rows_.empty()) {
            emit dataChanged(
                index(0, 0),
                index(static_cast<int>(rows_.size()) - 1, static_cast<int>(offer::columnCount) - 1),
                {Qt::DisplayRole});
        }
        return;
    }
    beginResetModel();
    header_ = text.header;
    rows_ = std::move(rows);
    endResetModel();
}

int ScheduleModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ScheduleModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(offer::columnCount);
}

QVariant ScheduleModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const bool totals = index.row() + 1 == rowCount();
    switch (role) {
    case Qt::DisplayRole:
        return qs(
            rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())]);
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant(Qt::AlignCenter)
                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
        return boldFontIf(totals);
    default:
        return {};
    }
}

QVariant ScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(offer::columnCount)) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return qs(header_[static_cast<std::size_t>(section)]);
}

ScheduleWindow::ScheduleWindow(SimulatorWindow& owner)
    : CompanionWindow(owner, QStringLiteral("scheduleWindow"),
                      QString::fromUtf8(offer::scheduleTitle)),
      form_(owner.form()) {
    auto* layout = new QVBoxLayout(this);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("scheduleMessage"));
    message_->setWordWrap(true);
    message_->setTextFormat(Qt::PlainText);
    layout->addWidget(message_);
    // Under the reason, what the agent may expect: the window is not stuck on it.
    follows_ = new QLabel(QStringLiteral("Graficul apare aici de indata ce formularul permite o "
                                         "oferta: fereastra urmareste formularul la fiecare "
                                         "modificare."),
                          this);
    follows_->setObjectName(QStringLiteral("scheduleFollows"));
    follows_->setWordWrap(true);
    layout->addWidget(follows_);

    details_ = new QWidget(this);
    auto* detailsLayout = new QVBoxLayout(details_);
    detailsLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(details_, 1);
    layout->addStretch(); // a refusal's sentences stay at the top of the window

    // The header: what the offer is about, in two columns of label and value.
    auto* header = new QGridLayout;
    header->setHorizontalSpacing(16);
    constexpr int inputCount = 9;
    for (int i = 0; i < inputCount; ++i) {
        auto* label = new QLabel(details_);
        auto* value = new QLabel(details_);
        value->setObjectName(QStringLiteral("input%1").arg(i));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        const int row = i % 5;
        const int column = (i / 5) * 2;
        label->setBuddy(value);
        header->addWidget(label, row, column);
        header->addWidget(value, row, column + 1);
        inputLabels_.push_back(label);
        inputs_.push_back(value);
    }
    detailsLayout->addLayout(header);

    model_ = new ScheduleModel(this);
    table_ = new QTableView(details_);
    table_->setObjectName(QStringLiteral("scheduleTable"));
    table_->setModel(model_);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    spreadColumns(table_);
    adoptTable(table_, QStringLiteral("Grafic de rambursare"));
    detailsLayout->addWidget(table_, 1);

    auto* under = new QFormLayout;
    for (std::size_t i = 0; i < summary.size(); ++i) {
        auto* value = new QLabel(details_);
        value->setObjectName(QStringLiteral("summary%1").arg(i));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        value->setAccessibleName(QString::fromUtf8(summary[i]));
        under->addRow(QString::fromUtf8(summary[i]) + QLatin1Char(':'), value);
        figures_.push_back(value);
    }
    detailsLayout->addLayout(under);
    auto* rounding = new QLabel(
        QStringLiteral(
            "Graficul este in bani, asa cum plateste clientul: dobanda, comisionul si "
            "asigurarea fiecarei luni rotunjite la ban, ultima rata cu ce a ramas de "
            "plata. Cifrele formularului sunt nerotunjite si pot diferi cu cativa bani."),
        details_);
    rounding->setObjectName(QStringLiteral("scheduleRoundingNote"));
    rounding->setWordWrap(true);
    detailsLayout->addWidget(rounding);
    // What the law counts, and every legal limit the credit breaches, said to the agent.
    legal_ = new QLabel(details_);
    legal_->setObjectName(QStringLiteral("scheduleLegal"));
    legal_->setWordWrap(true);
    legal_->setTextFormat(Qt::PlainText);
    legal_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    detailsLayout->addWidget(legal_);
    resize(860, 640);
    refresh();
    owner.form().addRecalculationObserver([this] {
        if (isVisible()) {
            refresh();
        }
    });
}

void ScheduleWindow::showEvent(QShowEvent* event) {
    refresh(); // hidden, it did not follow the form
    CompanionWindow::showEvent(event);
}

void ScheduleWindow::refresh() {
    text_ = offer::offerText(form_);
    message_->setVisible(!text_.valid);
    follows_->setVisible(!text_.valid);
    details_->setVisible(text_.valid);
    if (!text_.valid) {
        setIfChanged(message_, qs(text_.reason));
        model_->show(text_);
        return;
    }
    for (std::size_t i = 0; i < inputs_.size() && i < text_.inputs.size(); ++i) {
        setIfChanged(inputLabels_[i], qs(text_.inputs[i].label) + QLatin1Char(':'));
        // A screen reader reads the figure under its caption's name.
        if (inputs_[i]->accessibleName() != qs(text_.inputs[i].label)) {
            inputs_[i]->setAccessibleName(qs(text_.inputs[i].label));
        }
        setIfChanged(inputs_[i], qs(text_.inputs[i].value));
    }
    for (std::size_t i = 0; i < summary.size(); ++i) {
        for (const offer::Line& line : text_.keyFigures) {
            if (line.label == summary[i]) {
                setIfChanged(figures_[i], qs(line.value));
            }
        }
    }
    setIfChanged(legal_, QString::fromStdString(offer::legalSummary(form_)));
    model_->show(text_);
}

} // namespace gui
