#include "ui/qt/application.h"
#include "ui/qt/simulator_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::qt::prepareApplication();
    ui::qt::SimulatorWindow window;
    window.load(); // start-up runs before the window is first shown
    window.show();
    return QApplication::exec();
}
