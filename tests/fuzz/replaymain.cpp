// Replays a seed corpus through a fuzz target's entry point, so the normal test run checks every
// committed input (regressions included) without libFuzzer. Arguments: corpus folders.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER...\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> inputs;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
            if (entry.is_regular_file())
                inputs.push_back(entry.path());
        }
        // A missing, empty or misnamed corpus would pass without checking anything.
        if (error || inputs.empty()) {
            std::fprintf(stderr, "%s holds no inputs\n", argv[i]);
            return 1;
        }
        // A fixed order makes a failing run repeat exactly.
        std::sort(inputs.begin(), inputs.end());
        for (const auto& path : inputs) {
            std::ifstream file(path, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
            if (file.bad()) {
                std::fprintf(stderr, "cannot read %s\n", path.c_str());
                return 1;
            }
            // Printed first, so a crash names the input that caused it.
            std::printf("%s\n", path.filename().c_str());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        }
        std::printf("%zu inputs replayed from %s\n", inputs.size(), argv[i]);
    }
    return 0;
}
