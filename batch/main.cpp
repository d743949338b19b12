#include "batch/arguments.h"
#include "batch/batch.h"
#include "tariff/read.h"
#include "tariff/write.h"

#include <fstream>
#include <iostream>
#include <optional>
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
    // The tariff is checked whole before any input is read: a file that fails is never used.
    std::optional<tariff::Tariff> fromFile;
    if (!args.tarif.empty()) {
        tariff::ReadResult read = tariff::readFile(std::string(args.tarif));
        if (!read.tariff) {
            for (const tariff::Problem& problem : read.problems) {
                std::cerr << "tarif: " << problem.text() << '\n';
            }
            return batch::malformed;
        }
        fromFile = std::move(read.tariff);
    }
    const tariff::Tariff& tarif = fromFile ? *fromFile : tariff::builtIn();
    if (args.mode == "tarif") {
        std::cout << tariff::write(tarif);
        std::cout.flush();
        return std::cout ? batch::ok : batch::malformed;
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
    return args.mode == "script" ? batch::runScript(*in, std::cout, std::cerr, tarif)
                                 : batch::runTable(*in, std::cout, std::cerr, tarif);
}
