#include "ui/qt/application.h"
#include "ui/qt/command_line.h"
#include "ui/qt/simulator_window.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
    ui::qt::answerWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    QCommandLineParser options;
    if (!ui::qt::readCommandLine(options)) {
        return 1;
    }
    ui::qt::prepareApplication();
    ui::qt::SimulatorWindow window;
    window.load(); // start-up runs before the window is first shown
    window.show();
    return QApplication::exec();
}
