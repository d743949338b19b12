#include "gui/fault_notice.h"

#include "ui/form1.h"

#include <QLabel>
#include <QMenuBar>
#include <QPalette>
#include <QString>
#include <QtGlobal>

namespace gui {

FaultNotice::FaultNotice(QMenuBar* bar, const ui::Form1& form)
    : label_(new QLabel(QStringLiteral("Rezultate neactualizate: eroare de calcul"), bar)),
      form_(form) {
    label_->setObjectName(QStringLiteral("faultNotice"));
    label_->setContentsMargins(0, 0, 8, 0);
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, QColor(192, 0, 0)); // the form's own error red
    label_->setPalette(palette);
    label_->setAccessibleName(label_->text());
    label_->hide();
    bar->setCornerWidget(label_, Qt::TopRightCorner);
}

void FaultNotice::fault(std::string_view what) {
    const QString text = QString::fromUtf8(what.data(), static_cast<qsizetype>(what.size()));
    qWarning("simulator-credit: recalculation abandoned: %s", qPrintable(text));
    if (label_) {
        label_->setToolTip(QStringLiteral("Ultima recalculare s-a oprit: %1. Cifrele afisate "
                                          "pot apartine datelor anterioare.")
                               .arg(text));
    }
}

void FaultNotice::follow() {
    if (label_) {
        label_->setVisible(!form_.resultsCurrent());
    }
}

} // namespace gui
