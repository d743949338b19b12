#pragma once

#include "register/location.h"

class QCommandLineParser;

namespace gui {

// The window's options, described once for the help text and for reading them. Qt's own options
// (-platform, -style...) are taken out by QApplication before ours are read.
void describeOptions(QCommandLineParser& parser);

// --help and --version must work on a machine without a display, so they are answered before
// the QApplication exists: when one is asked for, its text goes to standard output and the
// process ends with status 0. Before that, a command line the window refuses ends the process
// (refuseWithoutDisplay). Otherwise this returns and changes nothing.
void answerWithoutDisplay(int argc, char** argv);

// An unknown option or an argument the window does not take ends the process with a message on
// standard error and status 1 before any application object exists: the GUI application would
// abort first on a machine without a display. Qt's own options (-platform, -style...) pass.
void refuseWithoutDisplay(int argc, char** argv);

// Reads the running application's command line. An unknown option ends the process with a
// message and status 1, as --help-all ends it after printing every option, Qt's included; an
// argument the window does not take gives false, with a message on standard error.
bool readCommandLine(QCommandLineParser& parser);

// The register the documents are recorded in: --registru, else registru.conf, else the local one.
reg::LocationChoice chooseRegister(const QCommandLineParser& parser);

} // namespace gui
