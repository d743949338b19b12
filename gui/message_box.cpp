#include "gui/message_box.h"

#include <QMessageBox>
#include <QString>

namespace gui {
namespace {

// The icon part of a message-box style (16 error, 32 question, 48 warning, 64 information).
QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

void MessageBoxSink::show(const core::Message& message) {
    // The sink has no way to hand an answer back, so the box always has the one OK button the
    // program asks for.
    QMessageBox box(iconOf(message.style), QString::fromStdString(message.title),
                    QString::fromStdString(message.prompt), QMessageBox::Ok, parent_.data());
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void showTariffProblems(QWidget* parent, const QString& text, const QString& details) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tarif"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("tariffBox"));
    box.setDetailedText(details);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace gui
