#include "gui/application.h"
#include "gui/command_line.h"
#include "gui/simulator_window.h"
#include "ui/tariff_choice.h"

#include <QApplication>
#include <QCommandLineParser>

#include <filesystem>
#include <optional>

int main(int argc, char** argv) {
    gui::answerWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    QCommandLineParser options;
    if (!gui::readCommandLine(options)) {
        return 1;
    }
    gui::prepareApplication();
    std::optional<std::filesystem::path> given;
    if (options.isSet(QStringLiteral("tarif"))) {
        given = options.value(QStringLiteral("tarif")).toStdString();
    }
    gui::SimulatorWindow window(ui::chooseTariff(given));
    window.load(); // start-up runs before the window is first shown
    window.show();
    return QApplication::exec();
}
