// The replay driver: feeds every file of the folders (or the files) named on the command line to
// the fuzz target once, as libFuzzer would, so that the seed corpus runs as an ordinary test with
// any compiler. A crash, a sanitizer report or a failed check ends the run with the input's name
// printed just before.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg = argv[i];
        if (!fs::is_directory(arg)) {
            files.push_back(arg);
            continue;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(arg)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
    }
    if (files.empty()) {
        std::cerr << "usage: " << argv[0] << " FOLDER|FILE...  (no inputs found)\n";
        return 2;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cerr << "cannot read " << file << '\n';
            return 2;
        }
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        std::cout << file.filename().string() << " (" << bytes.size() << " bytes)" << std::endl;
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::cout << files.size() << " inputs replayed\n";
    return 0;
}
