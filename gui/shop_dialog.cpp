#include "gui/shop_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace gui {
namespace {

QLineEdit* box(QWidget* parent, const char* name, const std::string& text, int maxLength) {
    auto* edit = new QLineEdit(QString::fromStdString(text), parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    return edit;
}

std::string trimmed(const QLineEdit* edit) {
    return edit->text().trimmed().toStdString();
}

// The problems in words, the field named as the agent sees it.
QString problemText(const std::vector<tariff::Problem>& problems) {
    QStringList lines;
    for (const tariff::Problem& p : problems) {
        const QString field = p.pointer == "/name"      ? QStringLiteral("Denumirea")
                              : p.pointer == "/address" ? QStringLiteral("Adresa")
                              : p.pointer == "/phone"   ? QStringLiteral("Telefonul")
                                                        : QString::fromStdString(p.pointer);
        lines << QStringLiteral("%1: %2").arg(field, QString::fromStdString(p.reason));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

ShopDialog::ShopDialog(const std::optional<ui::Shop>& shop, std::filesystem::path file,
                       QWidget* parent)
    : QDialog(parent), file_(std::move(file)) {
    setObjectName(QStringLiteral("shopDialog"));
    setWindowTitle(QStringLiteral("Datele magazinului"));
    const ui::Shop current = shop.value_or(ui::Shop{});
    name_ = box(this, "shopName", current.name, 120);
    address_ = box(this, "shopAddress", current.address, 200);
    phone_ = box(this, "shopPhone", current.phone.value_or(""), 120);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Denumire:"), name_);
    form->addRow(QStringLiteral("&Adresa:"), address_);
    form->addRow(QStringLiteral("&Telefon (optional):"), phone_);

    auto* where =
        new QLabel(QStringLiteral("Se salveaza in %1")
                       .arg(QDir::toNativeSeparators(QString::fromStdString(file_.string()))),
                   this);
    where->setWordWrap(true);
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("shopProblem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #a00000"));
    problem_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("&Salveaza"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Renunta"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (save()) {
            accept();
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(where);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    setMinimumWidth(480);
}

ui::Shop ShopDialog::typed() const {
    ui::Shop shop{trimmed(name_), trimmed(address_), trimmed(phone_)};
    if (shop.phone->empty()) {
        shop.phone.reset();
    }
    return shop;
}

bool ShopDialog::save() {
    const ui::Shop shop = typed();
    QString failure;
    if (const auto problems = ui::checkShop(shop); !problems.empty()) {
        failure = problemText(problems);
    } else if (file_.empty()) {
        failure = QStringLiteral("Nu exista un dosar de configurare in care sa fie salvate.");
    } else if (const std::string why = ui::saveShopFile(file_, shop); !why.empty()) {
        failure = QStringLiteral("Fisierul nu a putut fi scris (%1). Datele anterioare au ramas "
                                 "neschimbate.")
                      .arg(QString::fromStdString(why));
    }
    problem_->setText(failure);
    problem_->setVisible(!failure.isEmpty());
    if (!failure.isEmpty()) {
        return false;
    }
    saved_ = shop;
    return true;
}

} // namespace gui
