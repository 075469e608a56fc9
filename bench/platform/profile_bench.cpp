// Time of the lookups a skin load makes in a hostile animation file: 35
// animations of 23 keys each (805 lookups) behind megabytes of other keys.
// A load must take time linear in the file's size, not lookups x size.
// peak_MB is the process's peak resident size so far (the cases run in
// growing order, so each one's figure is its own).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/core/profile.h"

namespace dexlora {
namespace {

constexpr int Animations = 35;
const char* const SpriteKeys[] = {
    "FileName", "Width",    "Height",    "PatternCount", "Wait",      "StartX",     "StartY",    "EndX",
    "EndY",     "MoveTime", "Loop",      "ColorKey",     "Alpha",     "ZoomX",      "ZoomY",     "Delay",
    "Visible",  "Region",   "RegionTop", "RegionRight",  "RegionBottom", "Speed",   "VisibleAfterMoveEnd",
};

class Folder {
public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dexlora_profile_XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::exit(1);
        path_ = pattern + "/";
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// An animation file of at least megabytes MB: the animation list, a section
// of distinct filler keys, then the animations' own sections last, so that a
// reader scanning the file meets them only at its end.
std::string WriteHostileAnimeFile(const Folder& folder, int64_t megabytes) {
    const std::string path = folder.Path() + "Game_FrontAnime" + std::to_string(megabytes) + ".ini";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string names;
    for (int i = 0; i < Animations; ++i) names += (i ? "," : "") + std::string("Anime") + std::to_string(i);
    out << "[setting]\r\nAnimeName=" << names << "\r\n\r\n[Filler]\r\n";
    const size_t target = static_cast<size_t>(megabytes) << 20;
    std::string block;
    size_t written = 0;
    for (size_t line = 0; written < target; ++line) {
        block += "Filler" + std::to_string(line) + "=0,0,0\r\n";
        if (block.size() >= (1u << 16)) {
            out << block;
            written += block.size();
            block.clear();
        }
    }
    for (int i = 0; i < Animations; ++i) {
        out << "\r\n[Anime" << i << "]\r\n";
        for (const char* key : SpriteKeys) out << key << "=" << i << "\r\n";
    }
    return path;
}

void BM_HostileAnimeFileLookups(benchmark::State& state) {
    Folder folder;
    const std::string path = WriteHostileAnimeFile(folder, state.range(0));
    // A file changed within the last moments is read afresh at every lookup
    // (its time stamps could not tell a second change apart): let it settle,
    // as any skin on disk has.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    int64_t lookups = 0;
    int64_t sum = 0;
    for (auto _ : state) {
        if (GetPrivateProfileString("setting", "AnimeName", "", path).empty()) state.SkipWithError("no list");
        ++lookups;
        for (int i = 0; i < Animations; ++i) {
            const std::string section = "Anime" + std::to_string(i);
            for (const char* key : SpriteKeys) {
                sum += GetPrivateProfileInt(section, key, -1, path);
                ++lookups;
            }
        }
    }
    benchmark::DoNotOptimize(sum);
    if (sum != static_cast<int64_t>(state.iterations()) * 23 * (Animations - 1) * Animations / 2)
        state.SkipWithError("wrong values");
    state.counters["lookups"] = static_cast<double>(lookups) / static_cast<double>(state.iterations());
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_HostileAnimeFileLookups)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);

// The densest index a file can ask for: sections of distinct two-letter keys
// ("AB=\r", four bytes a key), read through one lookup after settling.
void BM_DenseKeysFile(benchmark::State& state) {
    Folder folder;
    const std::string path = folder.Path() + "dense.ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const size_t target = static_cast<size_t>(state.range(0)) << 20;
        std::string block;
        size_t written = 0;
        for (int section = 0; written < target; ++section) {
            block += "[S" + std::to_string(section) + "]\r";
            for (char a = '0'; a <= 'Z'; ++a) {
                for (char b = '0'; b <= 'Z'; ++b) block += std::string{a, b, '=', '\r'};
            }
            out << block;
            written += block.size();
            block.clear();
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetPrivateProfileString("S0", "ZZ", "d", path));
        benchmark::DoNotOptimize(GetPrivateProfileString("S1", "00", "d", path));
    }
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_DenseKeysFile)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace dexlora

BENCHMARK_MAIN();
