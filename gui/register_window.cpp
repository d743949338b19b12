#include "gui/register_window.h"

#include "gui/register_link.h"
#include "gui/simulator_window.h"
#include "register/database.h"
#include "register/record_of_form.h"
#include "tariff/write.h"
#include "ui/window_facts.h"

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <nlohmann/json.hpp>

#include <array>
#include <map>

namespace gui {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Every scalar of a JSON text under its path ("legal.dae"); the schedule's months are left out,
// their totals stay.
void flatten(const nlohmann::json& j, const std::string& path,
             std::map<std::string, std::string>& out) {
    if (j.is_object()) {
        for (auto it = j.begin(); it != j.end(); ++it) {
            if (it.key() == "months" || it.key() == "controls" || it.key() == "messages") {
                continue;
            }
            flatten(it.value(), path.empty() ? it.key() : path + "." + it.key(), out);
        }
    } else if (j.is_array()) {
        for (std::size_t i = 0; i < j.size(); ++i) {
            flatten(j[i], path + "[" + std::to_string(i) + "]", out);
        }
    } else {
        out[path] = j.is_string() ? j.get<std::string>() : j.dump();
    }
}

std::vector<std::pair<std::string, std::string>> fieldsOf(const reg::Record& r) {
    std::vector<std::pair<std::string, std::string>> fields = {
        {"Data", r.issued_at},
        {"Tip", r.kind},
        {"Client", r.customer.value_or("")},
        {"Magazin", r.shop.value_or("")},
        {"Agent", r.agent},
        {"Tarif", r.tariff.name + (r.tariff.valid_from ? " (" + *r.tariff.valid_from + ")" : "")},
    };
    for (const auto& [name, value] : {std::pair{"vn", &r.inputs.vn},
                                      {"ar", &r.inputs.ar},
                                      {"ad", &r.inputs.ad},
                                      {"tbvp", &r.inputs.tbvp},
                                      {"tbavans", &r.inputs.tbavans},
                                      {"tbdurcred", &r.inputs.tbdurcred},
                                      {"cbasig", &r.inputs.cbasig},
                                      {"plata", &r.inputs.plata}}) {
        fields.emplace_back(name, *value);
    }
    std::map<std::string, std::string> figures;
    for (const std::string* text : {&r.figures.legal, &r.figures.schedule, &r.figures.snapshot}) {
        const nlohmann::json j = nlohmann::json::parse(*text, nullptr, false);
        if (!j.is_discarded()) {
            flatten(j, "", figures);
        }
    }
    for (auto& [name, value] : figures) {
        fields.emplace_back(name, value);
    }
    return fields;
}

} // namespace

RegisterWindow::RegisterWindow(SimulatorWindow& owner)
    : CompanionWindow(owner, QStringLiteral("registerWindow"), QStringLiteral("Registru")) {
    tell = [this](const QString& title, const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };
    chooseFile = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Verifica document"), QString(),
                                            QStringLiteral("Documente (*.pdf *.csv);;Toate (*)"));
    };
    auto* layout = new QVBoxLayout(this);
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("registerFilter"));
    filter_->setPlaceholderText(QStringLiteral("Cauta dupa client, magazin sau data (2026-12-08)"));
    filter_->setAccessibleName(QStringLiteral("Cauta in registru")); // the hint is no name
    filter_->setClearButtonEnabled(true);
    layout->addWidget(filter_);
    model_ = new RegisterModel(this);
    model_->failed = [this](const std::string& error) {
        note_->setText(qs(error));
        note_->setVisible(true);
    };
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("registerTable"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    adoptTable(table_, QStringLiteral("Documentele emise"));
    layout->addWidget(table_);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("registerNote"));
    note_->setWordWrap(true);
    layout->addWidget(note_);
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* text, const char* name) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
        return b;
    };
    QPushButton* reopenButton = button("&Redeschide", "reopenButton");
    QPushButton* compareButton = button("&Compara", "compareButton");
    buttons->addStretch();
    QPushButton* verifyButton = button("&Verifica document...", "verifyButton");
    layout->addLayout(buttons);
    connect(filter_, &QLineEdit::textChanged, this,
            [this](const QString& t) { model_->filter(t); });
    connect(reopenButton, &QPushButton::clicked, this, [this] {
        const std::vector<int> rows = selectedRows();
        if (rows.size() == 1) {
            reopen(rows.front());
        } else {
            tell(QStringLiteral("Redeschide"), QStringLiteral("Alegeti o singura inregistrare."));
        }
    });
    connect(table_, &QTableView::activated, this,
            [this](const QModelIndex& i) { reopen(i.row()); });
    connect(compareButton, &QPushButton::clicked, this, [this] { compare(selectedRows()); });
    connect(verifyButton, &QPushButton::clicked, this, [this] {
        const QString file = chooseFile();
        if (!file.isEmpty()) {
            tell(QStringLiteral("Verifica document"), verify(file));
        }
    });
    resize(860, 420);
    refresh();
}

std::vector<int> RegisterWindow::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : table_->selectionModel()->selectedRows()) {
        rows.push_back(i.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void RegisterWindow::refresh() {
    auto* link = owner().openedCompanion<RegisterLink>();
    reg::Outcome o;
    std::unique_ptr<reg::Database> db;
    if (!link || !link->location()) {
        o = reg::Outcome::failure("Registrul nu este configurat.");
    } else {
        db = reg::Database::open(*link->location(), o);
    }
    note_->setText(o.ok ? QString() : qs(o.error));
    note_->setVisible(!o.ok);
    model_->show(std::move(db));
}

void RegisterWindow::reopen(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        return;
    }
    auto* link = owner().openedCompanion<RegisterLink>();
    reg::Outcome o;
    auto db = link && link->location() ? reg::Database::open(*link->location(), o) : nullptr;
    std::optional<reg::Record> full;
    if (db) {
        o = db->get(model_->record(row).id, full);
    }
    if (!full) {
        tell(QStringLiteral("Redeschide"),
             qs(o.ok ? "Inregistrarea nu mai este in registru." : o.error));
        return;
    }
    const reg::Record& r = *full;
    ui::Form1& form = owner().form();
    ui::ControlModel& m = form.controls();
    using core::Control;
    const std::array<const std::string*, 6> boxes = {&r.inputs.vn,      &r.inputs.ar,
                                                     &r.inputs.ad,      &r.inputs.tbvp,
                                                     &r.inputs.tbavans, &r.inputs.tbdurcred};
    for (std::size_t i = 0; i < ui::inputBoxes.size(); ++i) {
        m.setText(ui::inputBoxes[i], *boxes[i]);
    }
    const std::vector<std::string>& items = m.data(Control::cbasig).items;
    const auto item = std::find(items.begin(), items.end(), r.inputs.cbasig);
    if (item != items.end()) {
        m.select(Control::cbasig, static_cast<int>(item - items.begin()));
    } else {
        m.setText(Control::cbasig, r.inputs.cbasig); // a typed text that is no item's
    }
    const bool cash = r.inputs.plata == ui::cashCaption;
    if (m.value(cash ? Control::Check2 : Control::Check1) != 1) {
        form.click(cash ? Control::Check2 : Control::Check1);
    }
    const tariff::Tariff& today = *form.state().tarif;
    if (reg::sha256Hex(tariff::write(today)) != r.tariff.sha256) {
        auto label = [](const std::string& name, const std::optional<std::string>& from) {
            return qs(name + (from ? " (" + *from + ")" : ""));
        };
        tell(QStringLiteral("Redeschide"),
             QStringLiteral("Documentul a fost emis pe tariful %1. Formularul a fost recalculat "
                            "pe tariful de azi, %2: cifrele pot diferi.")
                 .arg(label(r.tariff.name, r.tariff.valid_from),
                      label(today->name, today->valid_from)));
    }
}

void RegisterWindow::compare(const std::vector<int>& rows) {
    if (rows.size() < 2 || rows.size() > 3) {
        tell(QStringLiteral("Compara"), QStringLiteral("Alegeti doua sau trei inregistrari."));
        return;
    }
    auto* link = owner().openedCompanion<RegisterLink>();
    reg::Outcome o;
    auto db = link && link->location() ? reg::Database::open(*link->location(), o) : nullptr;
    if (!db) {
        tell(QStringLiteral("Compara"), qs(o.error));
        return;
    }
    std::vector<std::vector<std::pair<std::string, std::string>>> columns;
    for (int row : rows) {
        std::optional<reg::Record> full;
        if (o = db->get(model_->record(row).id, full); !o.ok || !full) {
            tell(QStringLiteral("Compara"), qs(o.error));
            return;
        }
        columns.push_back(fieldsOf(*full));
    }
    // Every field any record has, in the first record's order, then the others' own.
    std::vector<std::string> names;
    for (const auto& column : columns) {
        for (const auto& [name, value] : column) {
            if (std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(name);
            }
        }
    }
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("compareDialog"));
    dialog->setWindowTitle(QStringLiteral("Compara inregistrari"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* grid =
        new QTableWidget(static_cast<int>(names.size()), static_cast<int>(columns.size()), dialog);
    grid->setObjectName(QStringLiteral("compareTable"));
    QStringList labels;
    for (const std::string& name : names) {
        labels << qs(name);
    }
    grid->setVerticalHeaderLabels(labels);
    QStringList titles;
    for (int row : rows) {
        titles << shownTime(model_->record(row).issued_at);
    }
    grid->setHorizontalHeaderLabels(titles);
    for (std::size_t n = 0; n < names.size(); ++n) {
        std::vector<QString> values;
        for (const auto& column : columns) {
            auto it = std::find_if(column.begin(), column.end(),
                                   [&](const auto& f) { return f.first == names[n]; });
            values.push_back(it == column.end() ? QString() : qs(it->second));
        }
        const bool differs = std::any_of(values.begin(), values.end(),
                                         [&](const QString& v) { return v != values.front(); });
        for (std::size_t c = 0; c < values.size(); ++c) {
            auto* item = new QTableWidgetItem(values[c]);
            if (differs) { // marked twice: colour for the eye, bold for the screen reader's text
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(QColor(255, 236, 179));
                item->setData(Qt::AccessibleDescriptionRole, QStringLiteral("diferit"));
            }
            grid->setItem(static_cast<int>(n), static_cast<int>(c), item);
        }
        if (differs) {
            grid->verticalHeaderItem(static_cast<int>(n))
                ->setText(QStringLiteral("≠ ") + labels[static_cast<int>(n)]);
        }
    }
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(grid);
    dialog->resize(760, 560);
    dialog->show();
}

QString RegisterWindow::verify(const QString& file) {
    const std::optional<std::string> sha = reg::sha256OfFile(file.toStdString());
    if (!sha) {
        return QStringLiteral("Fisierul %1 nu poate fi citit.").arg(file);
    }
    auto* link = owner().openedCompanion<RegisterLink>();
    reg::Outcome o;
    auto db = link && link->location() ? reg::Database::open(*link->location(), o) : nullptr;
    std::vector<reg::Record> found;
    if (db) {
        o = db->findDocument(*sha, found);
    }
    if (!o.ok) {
        return qs(o.error);
    }
    if (found.empty()) {
        return QStringLiteral("Registrul nu a emis acest fisier.");
    }
    QString text = QStringLiteral("Registrul a emis acest fisier:");
    for (const reg::Record& r : found) {
        text += QStringLiteral("\n%1 (UTC), %2, magazinul %3, clientul %4, agentul %5")
                    .arg(shownTime(r.issued_at), qs(r.kind),
                         r.shop ? qs(*r.shop) : QStringLiteral("necompletat"),
                         r.customer ? qs(*r.customer) : QStringLiteral("necompletat"), qs(r.agent));
    }
    return text;
}

QAction* addRegisterEntry(SimulatorWindow& window) {
    return window.addEntry(window.fileMenu(),
                           {.text = QStringLiteral("&Registru..."),
                            .name = QStringLiteral("registerAction"),
                            .shortcut = QKeySequence(Qt::CTRL | Qt::Key_R),
                            .before = window.quitSeparator()},
                           &window, [&window] {
                               auto* w = window.openCompanion<RegisterWindow>();
                               w->refresh();
                           });
}

} // namespace gui
