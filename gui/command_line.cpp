#include "gui/command_line.h"

#include "gui/document_command.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace gui {

namespace {

void nameTheProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("simulator-credit"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SIMCREDIT_VERSION));
}

// The options QGuiApplication and QApplication take out of the command line for themselves, with
// a value or without: told apart from ours before the application exists, so that an unknown
// option is reported even where no display can be opened.
constexpr std::array<const char*, 17> qtValueOptions = {"platform",
                                                        "platformpluginpath",
                                                        "platformtheme",
                                                        "plugin",
                                                        "qwindowgeometry",
                                                        "geometry",
                                                        "qwindowicon",
                                                        "icon",
                                                        "qwindowtitle",
                                                        "title",
                                                        "session",
                                                        "display",
                                                        "style",
                                                        "stylesheet",
                                                        "name",
                                                        "qmljsdebugger",
                                                        "fontengine"};
constexpr std::array<const char*, 6> qtFlagOptions = {"reverse", "widgetcount", "nograb",
                                                      "dograb",  "sync",        "testability"};

QStringList argumentsOf(int argc, char** argv) {
    QStringList out;
    out.reserve(argc);
    for (int i = 0; i < argc; ++i) {
        out.push_back(QString::fromLocal8Bit(argv[i]));
    }
    return out;
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
        // No line break of our own here: Qt wraps an option's text in its column itself.
        QStringLiteral("Run on the tariff of this JSON file instead of the one found in "
                       "$XDG_CONFIG_HOME or $XDG_CONFIG_DIRS (simulator-credit/tarif.json)."),
        QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(
        QStringList{QStringLiteral("registru")},
        QStringLiteral("Record the documents issued in this PostgreSQL database (a libpq "
                       "connection string) instead of the one in registru.conf or the local "
                       "register in $XDG_DATA_HOME/simulator-credit."),
        QStringLiteral("URL")));
    describeDocumentOptions(parser);
}

reg::LocationChoice chooseRegister(const QCommandLineParser& parser) {
    std::optional<std::string> given;
    if (parser.isSet(QStringLiteral("registru"))) {
        given = parser.value(QStringLiteral("registru")).toStdString();
    }
    return reg::chooseLocation(given);
}

void answerWithoutDisplay(int argc, char** argv) {
    refuseWithoutDisplay(argc, argv);
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

void refuseWithoutDisplay(int argc, char** argv) {
    nameTheProgram();
    QCommandLineParser parser;
    describeOptions(parser);
    // Qt's own options are written with one dash ("-platform offscreen"); ours read the same.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : qtValueOptions) {
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    }
    for (const char* name : qtFlagOptions) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    }
    QString problem;
    if (!parser.parse(argumentsOf(argc, argv))) {
        problem = QStringLiteral("simulator-credit: %1\n").arg(parser.errorText());
    } else if (!parser.positionalArguments().isEmpty()) {
        problem = QStringLiteral("simulator-credit: unexpected argument '%1'; see --help\n")
                      .arg(parser.positionalArguments().constFirst());
    }
    if (!problem.isEmpty()) {
        std::fputs(problem.toLocal8Bit().constData(), stderr);
        std::exit(1);
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
