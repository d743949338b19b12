#include "batch/arguments.h"
#include "batch/batch.h"

#include <fstream>
#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    const batch::Arguments args = batch::parseArguments(words);
    switch (args.request) {
    case batch::Arguments::Request::help:
        std::cout << batch::helpText();
        return batch::ok;
    case batch::Arguments::Request::version:
        std::cout << batch::versionText();
        return batch::ok;
    case batch::Arguments::Request::misuse:
        std::cerr << batch::usage;
        return batch::malformed;
    case batch::Arguments::Request::run:
        break;
    }
    std::ifstream file;
    std::istream* in = &std::cin;
    if (args.file != "-") {
        file.open(std::string(args.file), std::ios::binary);
        if (!file) {
            std::cerr << "cannot open '" << args.file << "'\n";
            return batch::malformed;
        }
        in = &file;
    }
    std::ios::sync_with_stdio(false);
    return args.mode == "script" ? batch::runScript(*in, std::cout, std::cerr)
                                 : batch::runTable(*in, std::cout, std::cerr);
}
