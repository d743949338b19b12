#include "gui/application.h"
#include "gui/command_line.h"
#include "gui/document_command.h"
#include "gui/legal_actions.h"
#include "gui/register_link.h"
#include "gui/register_window.h"
#include "gui/simulator_window.h"
#include "ui/shop.h"
#include "ui/tariff_choice.h"

#include <QApplication>
#include <QCommandLineParser>

#include <filesystem>
#include <optional>

int main(int argc, char** argv) {
    gui::answerWithoutDisplay(argc, argv);
    if (gui::asksForDocument(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen"); // a document needs no display
    }
    QApplication app(argc, argv);
    QCommandLineParser options;
    if (!gui::readCommandLine(options)) {
        return 1;
    }
    gui::prepareApplication();
    if (options.isSet(QStringLiteral("document"))) {
        return gui::writeDocument(options);
    }
    std::optional<std::filesystem::path> given;
    if (options.isSet(QStringLiteral("tarif"))) {
        given = options.value(QStringLiteral("tarif")).toStdString();
    }
    gui::SimulatorWindow window(ui::chooseTariff(given));
    std::optional<std::filesystem::path> shop;
    if (options.isSet(QStringLiteral("magazin"))) {
        shop = options.value(QStringLiteral("magazin")).toStdString();
    }
    new gui::LegalActions(window, ui::chooseShop(shop));         // owned by the window
    new gui::RegisterLink(window, gui::chooseRegister(options)); // owned by the window
    gui::addRegisterEntry(window);
    window.load(); // start-up runs before the window is first shown
    window.show();
    return QApplication::exec();
}
