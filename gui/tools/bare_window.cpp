// A bare Qt Widgets window with the simulator's controls: the same kinds, count, parents and
// places, taken from the same table, but no fonts, colours, pictures, model or handlers. The
// baseline the window's start-up time and memory are measured against (bench/window/measure).
#include "gui/layout.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setFixedSize(gui::clientWidth, gui::clientHeight);

    QHash<QString, QWidget*> frames;
    int count = 0;
    for (const gui::ControlSpec& entry : gui::controlTable()) {
        const QString name =
            QString::fromUtf8(entry.name.data(), static_cast<int>(entry.name.size()));
        const QString caption =
            QString::fromUtf8(entry.caption.data(), static_cast<int>(entry.caption.size()));
        QWidget* parent = entry.parent.empty()
                              ? &window
                              : frames.value(QString::fromUtf8(
                                    entry.parent.data(), static_cast<int>(entry.parent.size())));
        QWidget* widget = nullptr;
        switch (entry.kind) {
        case gui::Kind::Frame:
            widget = new QGroupBox(caption, parent);
            frames.insert(name, widget);
            break;
        case gui::Kind::Label:
        case gui::Kind::Picture:
            widget = new QLabel(caption, parent);
            break;
        case gui::Kind::TextBox:
            widget = new QLineEdit(caption, parent);
            break;
        case gui::Kind::ComboBox:
            widget = new QComboBox(parent);
            break;
        case gui::Kind::CheckBox:
            widget = new QCheckBox(caption, parent);
            break;
        }
        const int px = gui::twipsPerPixel;
        widget->setGeometry(entry.left / px, entry.top / px, entry.width / px, entry.height / px);
        ++count;
    }
    qInfo().noquote() << QString::number(count) + QStringLiteral(" controls");
    window.show();
    return QApplication::exec();
}
