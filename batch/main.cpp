#include "batch/batch.h"

#include <fstream>
#include <iostream>
#include <string_view>

namespace {

constexpr const char* usage = "usage: simulator-credit-batch script [FILE]\n"
                              "       simulator-credit-batch table [FILE]\n"
                              "FILE absent or '-': standard input.\n";

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << usage;
        return batch::malformed;
    }
    const std::string_view mode = argv[1];
    if (mode != "script" && mode != "table") {
        std::cerr << usage;
        return batch::malformed;
    }
    std::ifstream file;
    std::istream* in = &std::cin;
    if (argc == 3 && std::string_view(argv[2]) != "-") {
        file.open(argv[2], std::ios::binary);
        if (!file) {
            std::cerr << "cannot open '" << argv[2] << "'\n";
            return batch::malformed;
        }
        in = &file;
    }
    std::ios::sync_with_stdio(false);
    return mode == "script" ? batch::runScript(*in, std::cout, std::cerr)
                            : batch::runTable(*in, std::cout, std::cerr);
}
