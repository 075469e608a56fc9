// Runs a fuzz target's entry point once on every file of the folders (or the
// files) named on the command line, so that a committed corpus is replayed by
// any compiler without the fuzzer's runtime.
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!fs::is_directory(argv[i])) inputs.emplace_back(argv[i]);
        else for (const auto& entry : fs::recursive_directory_iterator(argv[i]))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        // Named before it runs, so a crash is attributed to its file.
        std::fprintf(stderr, "replay: %s\n", input.c_str());
        std::ifstream in(input, std::ios::binary);
        if (!in) return 2;
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        // Corpus files are a few kilobytes: one that takes a reader past 1 GB
        // is a fault even on a machine that has the memory.
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        if (usage.ru_maxrss > 1024 * 1024)
            return std::fprintf(stderr, "replay: %s peaked at %ld MB\n", input.c_str(), usage.ru_maxrss / 1024), 1;
    }
    // An empty corpus would pass without testing anything.
    std::fprintf(stderr, "replay: %zu inputs passed\n", inputs.size());
    return inputs.empty() ? 2 : 0;
}
