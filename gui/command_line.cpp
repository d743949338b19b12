#include "gui/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <string_view>

namespace gui {

namespace {

void nameTheProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("simulator-credit"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SIMCREDIT_VERSION));
}

bool asksForInformation(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "-v" || arg == "--version") {
            return true;
        }
    }
    return false;
}

} // namespace

void describeOptions(QCommandLineParser& parser) {
    // Qt prints the description as it is: the lines are broken here to fit a terminal.
    parser.setApplicationDescription(QStringLiteral(
        "Simulates a consumer credit for goods bought on instalments: the rate, the monthly\n"
        "payment, the total cost, the effective annual rate and the customer's indebtedness,\n"
        "recalculated at every keystroke."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        QStringList{QStringLiteral("tarif")},
        QStringLiteral("Run on the tariff of this JSON file instead of the one found in\n"
                       "$XDG_CONFIG_HOME or $XDG_CONFIG_DIRS (simulator-credit/tarif.json)."),
        QStringLiteral("FILE")));
}

void answerWithoutDisplay(int argc, char** argv) {
    if (!asksForInformation(argc, argv)) {
        return; // the usual start costs no second application object
    }
    nameTheProgram();
    const QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    describeOptions(parser);
    // Qt's own options (-platform xcb) are unknown here, so the parse errors are not ours to
    // report: that waits for readCommandLine, once QApplication has taken them out.
    parser.parse(QCoreApplication::arguments());
    // --help-all is left to readCommandLine: only a QApplication knows the display options.
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp(0);
    }
}

bool readCommandLine(QCommandLineParser& parser) {
    nameTheProgram();
    describeOptions(parser);
    parser.process(QCoreApplication::arguments()); // an unknown option ends the process here
    if (!parser.positionalArguments().isEmpty()) {
        std::fputs(qPrintable(QStringLiteral("simulator-credit: unexpected argument '%1'; see "
                                             "--help\n")
                                  .arg(parser.positionalArguments().constFirst())),
                   stderr);
        return false;
    }
    return true;
}

} // namespace gui
