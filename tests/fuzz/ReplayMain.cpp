// Runs a fuzz target's function over stored inputs, so that the seed corpus and every input that once
// found a fault are replayed by every build, with any compiler, as a plain test.
// Usage: replay <corpus-dir> [<dir>...]; the first directory must hold at least one file, the others
// (regressions) may be absent.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> FilesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus-dir> [<dir>...]\n", argv[0]);
        return 2;
    }
    size_t nRun = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path dir = argv[i];
        std::error_code ec;
        if (!fs::is_directory(dir, ec)) {
            if (i == 1) {
                std::fprintf(stderr, "no corpus directory %s\n", argv[i]);
                return 2;
            }
            continue;
        }
        const std::vector<fs::path> files = FilesIn(dir);
        if (i == 1 && files.empty()) {
            std::fprintf(stderr, "empty corpus directory %s\n", argv[i]);
            return 2;
        }
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (!in.good() && !in.eof()) {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                return 2;
            }
            std::fprintf(stderr, "replay %s (%zu bytes)\n", file.c_str(), bytes.size());
            // A buffer of exactly the input's size, so that AddressSanitizer sees a read past its end.
            const std::unique_ptr<uint8_t[]> data = std::make_unique<uint8_t[]>(bytes.size());
            std::memcpy(data.get(), bytes.data(), bytes.size());
            LLVMFuzzerTestOneInput(data.get(), bytes.size());
            ++nRun;
        }
    }
    std::printf("replayed %zu inputs\n", nRun);
    return 0;
}
