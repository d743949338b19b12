#include "ui/qt/application.h"
#include "ui/qt/command_line.h"
#include "ui/qt/simulator_window.h"
#include "ui/tariff_choice.h"

#include <QApplication>
#include <QCommandLineParser>

#include <filesystem>
#include <optional>

int main(int argc, char** argv) {
    ui::qt::answerWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    QCommandLineParser options;
    if (!ui::qt::readCommandLine(options)) {
        return 1;
    }
    ui::qt::prepareApplication();
    std::optional<std::filesystem::path> given;
    if (options.isSet(QStringLiteral("tarif"))) {
        given = options.value(QStringLiteral("tarif")).toStdString();
    }
    ui::qt::SimulatorWindow window(ui::chooseTariff(given));
    window.load(); // start-up runs before the window is first shown
    window.show();
    return QApplication::exec();
}
