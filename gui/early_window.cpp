#include "gui/early_window.h"

#include "gui/schedule_window.h"
#include "gui/simulator_window.h"
#include "gui/table_text.h"

#include <QButtonGroup>
#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <limits>

namespace gui {
namespace {

// The most figures a repayment shows: a part adds the instalment after it.
constexpr int figureRows = 9;

void setIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) { // an unchanged label keeps its layout
        label->setText(text);
    }
}

// `reachable`: an answer the keyboard, and so a screen reader, reaches with Tab.
QLabel* wrappedLabel(QWidget* parent, const QString& name, bool reachable) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(reachable
                                       ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                       : Qt::TextSelectableByMouse);
    return label;
}

// A pair of choices that hold one answer, reachable with the arrow keys as one group.
void pair(QWidget* parent, QRadioButton* first, QRadioButton* second) {
    auto* group = new QButtonGroup(parent);
    group->addButton(first);
    group->addButton(second);
    first->setChecked(true);
}

} // namespace

EarlyWindow::EarlyWindow(SimulatorWindow& owner)
    : CompanionWindow(owner, QStringLiteral("earlyWindow"), QString::fromUtf8(offer::earlyTitle)),
      form_(owner.form()) {
    auto* layout = new QVBoxLayout(this);
    buildChoices(layout);

    message_ = wrappedLabel(this, QStringLiteral("earlyMessage"), false);
    layout->addWidget(message_);

    details_ = new QWidget(this);
    auto* detailsLayout = new QVBoxLayout(details_);
    detailsLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(details_, 1);
    buildDetails(detailsLayout);

    resize(860, 700);
    refresh();
    owner.form().addRecalculationObserver([this] {
        if (isVisible()) {
            refresh();
        }
    });
}

void EarlyWindow::buildChoices(QVBoxLayout* layout) {
    auto* choices = new QFormLayout;

    month_ = new QSpinBox(this);
    month_->setObjectName(QStringLiteral("earlyMonth"));
    month_->setAccessibleName(QStringLiteral("Dupa rata numarul"));
    month_->setRange(1, 1);
    connect(month_, &QSpinBox::valueChanged, this, [this](int value) {
        monthValue_ = value;
        refresh();
    });
    choices->addRow(QStringLiteral("Dupa rata &numarul:"), month_);

    whole_ = new QRadioButton(QStringLiteral("&Integrala"), this);
    whole_->setObjectName(QStringLiteral("earlyWhole"));
    part_ = new QRadioButton(QStringLiteral("&Partiala"), this);
    part_->setObjectName(QStringLiteral("earlyPart"));
    pair(this, whole_, part_);
    connect(part_, &QRadioButton::toggled, this, [this](bool checked) {
        partial_ = checked;
        refresh();
    });
    auto* kind = new QHBoxLayout;
    kind->addWidget(whole_);
    kind->addWidget(part_);
    kind->addStretch(1);
    choices->addRow(QStringLiteral("Rambursare:"), kind);

    amount_ = new QLineEdit(this);
    amount_->setObjectName(QStringLiteral("earlyAmount"));
    amount_->setAccessibleName(QStringLiteral("Suma rambursata anticipat, in RON"));
    amount_->setPlaceholderText(QStringLiteral("suma in RON"));
    connect(amount_, &QLineEdit::textEdited, this, [this](const QString& text) {
        amountText_ = text.toStdString();
        refresh();
    });
    choices->addRow(QStringLiteral("&Suma rambursata (RON):"), amount_);

    lowerInstalment_ = new QRadioButton(QStringLiteral("&rata mai mica"), this);
    lowerInstalment_->setObjectName(QStringLiteral("earlyLowerInstalment"));
    shorterTerm_ = new QRadioButton(QStringLiteral("&durata mai scurta"), this);
    shorterTerm_->setObjectName(QStringLiteral("earlyShorterTerm"));
    pair(this, lowerInstalment_, shorterTerm_);
    connect(shorterTerm_, &QRadioButton::toggled, this, [this](bool checked) {
        shorter_ = checked;
        refresh();
    });
    auto* mode = new QHBoxLayout;
    mode->addWidget(lowerInstalment_);
    mode->addWidget(shorterTerm_);
    mode->addStretch(1);
    choices->addRow(QStringLiteral("Dupa rambursare:"), mode);
    layout->addLayout(choices);
}

void EarlyWindow::buildDetails(QVBoxLayout* layout) {
    // The answers first, in plain words: what is paid today, what is saved, the compensation.
    const std::array<const char*, 4> names = {"earlyPayToday", "earlySaving", "earlyCompensation",
                                              "earlyAfter"};
    for (const char* name : names) {
        QLabel* sentence = wrappedLabel(details_, QString::fromLatin1(name), true);
        layout->addWidget(sentence);
        sentences_.push_back(sentence);
    }
    QFont bold = sentences_[0]->font();
    bold.setBold(true);
    sentences_[0]->setFont(bold);
    sentences_[1]->setFont(bold);

    auto* figures = new QGridLayout;
    figures->setHorizontalSpacing(16);
    for (int i = 0; i < figureRows; ++i) {
        auto* name = new QLabel(details_);
        auto* value = new QLabel(details_);
        value->setObjectName(QStringLiteral("earlyFigure%1").arg(i));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        name->setBuddy(value);
        const int row = i % 5;
        const int column = (i / 5) * 2;
        figures->addWidget(name, row, column);
        figures->addWidget(value, row, column + 1);
        figureNames_.push_back(name);
        figures_.push_back(value);
    }
    layout->addLayout(figures);

    model_ = new ScheduleModel(this);
    table_ = new QTableView(details_);
    table_->setObjectName(QStringLiteral("earlyTable"));
    table_->setModel(model_);
    adoptTable(table_, QStringLiteral("Ratele de dupa rambursare"));
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    spreadColumns(table_);
    layout->addWidget(table_, 1);
}

void EarlyWindow::showEvent(QShowEvent* event) {
    refresh(); // hidden, it did not follow the form
    CompanionWindow::showEvent(event);
}

offer::EarlyRequest EarlyWindow::request() const {
    offer::EarlyRequest r;
    r.month = monthValue_;
    r.mode = !partial_ ? offer::EarlyMode::total
                       : (shorter_ ? offer::EarlyMode::durata : offer::EarlyMode::rata);
    // An amount that cannot be read is said to be so, as an amount out of range is.
    r.amount = offer::readAmount(amountText_).value_or(std::numeric_limits<double>::quiet_NaN());
    return r;
}

void EarlyWindow::refresh() {
    // The month box follows the form's duration: the month stays where it was while it may.
    text_ = offer::earlyText(form_, request());
    if (text_.lastMonth >= 1 && month_->maximum() != text_.lastMonth) {
        const QSignalBlocker blocker(month_);
        month_->setRange(1, text_.lastMonth);
        month_->setValue(static_cast<int>(std::clamp<long long>(monthValue_, 1, text_.lastMonth)));
        if (month_->value() != monthValue_) {
            monthValue_ = month_->value();
            text_ = offer::earlyText(form_, request());
        }
    }
    month_->setEnabled(text_.lastMonth >= 1);
    amount_->setEnabled(partial_);
    lowerInstalment_->setEnabled(partial_);
    shorterTerm_->setEnabled(partial_);

    message_->setVisible(!text_.valid);
    details_->setVisible(text_.valid);
    offer::OfferText rows;
    rows.valid = text_.valid && !text_.rows.empty();
    rows.header = text_.header;
    rows.rows = text_.rows;
    rows.totals = text_.totals;
    if (!text_.valid) {
        setIfChanged(message_, qs(text_.reason));
        model_->show(rows);
        return;
    }
    const std::array<const std::string*, 4> sentences = {&text_.payToday, &text_.saving,
                                                         &text_.compensation, &text_.after};
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        setIfChanged(sentences_[i], qs(*sentences[i]));
    }
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        const bool used = i < text_.figures.size();
        figureNames_[i]->setVisible(used);
        figures_[i]->setVisible(used);
        if (used) {
            const QString name = qs(text_.figures[i].label);
            setIfChanged(figureNames_[i], name + QLatin1Char(':'));
            setIfChanged(figures_[i], qs(text_.figures[i].value));
            if (figures_[i]->accessibleName() != name) {
                figures_[i]->setAccessibleName(name);
            }
        }
    }
    table_->setVisible(rows.valid);
    model_->show(rows);
}

QAction* addEarlyEntry(SimulatorWindow& window) {
    return window.addEntry(window.offerMenu(),
                           {.text = QStringLiteral("&Rambursare anticipata"),
                            .name = QStringLiteral("earlyAction"),
                            .shortcut = QKeySequence(Qt::Key_F4)},
                           &window, [&window] { window.openCompanion<EarlyWindow>(); });
}

} // namespace gui
