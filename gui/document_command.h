#pragma once

class QCommandLineParser;

namespace gui {

// `--document oferta|formular|grafic --script FILE --output OUT [--tarif FILE] [--magazin FILE]`:
// the documents of the window written in bulk, with no window shown.
void describeDocumentOptions(QCommandLineParser& parser);

// Whether the command line asks for a document: then the program runs on the offscreen platform,
// so it needs no display. Read before the application exists.
bool asksForDocument(int argc, char** argv);

// Replays the script as the batch tool does and writes the asked document for the final state,
// exactly as the menu would, whole or not at all. Returns the process status: 0 written; 2 when
// no document may be issued for that state (the reason on standard error, nothing written); 1 for
// a command line, a script, a tariff or a shop file that cannot be used, or a failed write.
int writeDocument(const QCommandLineParser& parser);

} // namespace gui
