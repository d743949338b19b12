#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Runs a fuzz target's entry point once on every file named, or found in a folder named, on the
// command line, in name order: the saved inputs become a test of the normal build.
int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                // Hidden files (the .gitkeep that keeps an empty folder) are no inputs.
                if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
                    files.push_back(entry.path());
                }
            }
        } else if (std::filesystem::exists(path)) {
            files.push_back(path);
        } else {
            std::cerr << "no such input: " << path.string() << '\n';
            return 2;
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        std::cerr << "replaying " << file.filename().string() << '\n';
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::cerr << "replayed " << std::to_string(files.size()) << " inputs\n";
    return 0;
}
