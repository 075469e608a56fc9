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
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Corpus files are a few kilobytes; one that makes a reader take gigabytes is
// a fault even when the machine has them. DEXLORA_REPLAY_RSS_MB changes the bound.
long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

long RssLimitMegabytes() {
    const char* text = std::getenv("DEXLORA_REPLAY_RSS_MB");
    long limit = text ? std::atol(text) : 0;
    return limit > 0 ? limit : 1024;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        if (fs::is_directory(argv[i], error)) {
            for (const auto& entry : fs::recursive_directory_iterator(argv[i]))
                if (entry.is_regular_file()) inputs.push_back(entry.path());
        } else if (fs::is_regular_file(argv[i], error)) {
            inputs.emplace_back(argv[i]);
        } else {
            std::fprintf(stderr, "replay: %s is neither a folder nor a file\n", argv[i]);
            return 2;
        }
    }
    // An empty corpus would pass without testing anything.
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no input files\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Named before it runs, so a crash is attributed to its file.
        std::fprintf(stderr, "replay: %s (%zu bytes)\n", input.c_str(), bytes.size());
        std::fflush(stderr);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        if (PeakMegabytes() > RssLimitMegabytes()) {
            std::fprintf(stderr, "replay: %s took the peak memory to %ld MB (limit %ld MB)\n", input.c_str(),
                         PeakMegabytes(), RssLimitMegabytes());
            return 1;
        }
    }
    std::fprintf(stderr, "replay: %zu inputs passed\n", inputs.size());
    return 0;
}
