// Start-up to the first title frame on the headless display with the
// standard skin, and the private memory of the running title, each in a
// fresh process (so that nothing is warm but the system's font cache):
//   bench_startup [RUNS]
// prints the median and range over RUNS processes after one warm-up run.
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "platform/headless.h"
#include "platform/window.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Frames of the title shown before the memory is read and Esc is typed.
constexpr uint64_t kTitleFrames = 120;

long RssAnonKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("RssAnon:", 0) == 0) return std::atol(line.c_str() + 8);
    return -1;
}

// A program folder of its own: the bundled system folder, with System.ini
// naming the bundled standard skin, so that the chooser opens on it and the
// run writes nothing into the build or the sources.
fs::path MakeProgramFolder() {
    std::string pattern = (fs::temp_directory_path() / "dexlora-startup-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::exit(1);
    const fs::path folder = pattern;
    fs::create_directories(folder / "system");
    for (const char* table : {"Rome.ini", "Rome2.ini"})
        fs::copy_file(fs::path(DEXLORA_SOURCE_DIR) / "system" / table, folder / "system" / table);
    std::ofstream(folder / "system" / "System.ini", std::ios::binary)
        << "[System]\r\nSkinPath=" << DEXLORA_SOURCE_DIR << "/skins/Standard\r\n";
    return folder;
}

// One start: main() to the first Flip of the title, then the title's memory.
int Once(const fs::path& folder) {
    const auto start = Clock::now();
    double firstFrameMs = -1;
    long rssAnonKb = -1;
    int status = 0;
    {
        dexlora::PlatformSession session(dexlora::DisplayKind::Headless);
        dexlora::headless::OnFlip([&](const dexlora::DirectDrawSurface7&, uint64_t frame) {
            if (frame == 1) firstFrameMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            if (frame == kTitleFrames) {
                rssAnonKb = RssAnonKb();
                dexlora::headless::Script({{.At = dexlora::GetTickCount(), .Key = 27}});
            }
        });
        status = dexlora::RunDexlora(folder.string() + "/");
        dexlora::ReleaseGameObjects();
    }
    std::printf("first_frame_ms=%.3f rss_anon_kb=%ld status=%d\n", firstFrameMs, rssAnonKb, status);
    return firstFrameMs < 0 ? 1 : 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--once") == 0) return Once(argv[2]);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const fs::path folder = MakeProgramFolder();
    const fs::path self = fs::read_symlink("/proc/self/exe");
    std::vector<double> ms, rss;
    for (int i = 0; i <= runs; ++i) {
        const std::string command = "'" + self.string() + "' --once '" + folder.string() + "'";
        FILE* child = popen(command.c_str(), "r");
        double first = -1;
        long anon = -1;
        int status = -1;
        if (!child || std::fscanf(child, "first_frame_ms=%lf rss_anon_kb=%ld status=%d", &first, &anon, &status) != 3 ||
            pclose(child) != 0 || first < 0) {
            std::fprintf(stderr, "bench_startup: run %d did not reach the title\n", i);
            return 1;
        }
        if (i == 0) continue;  // the warm-up: font cache and file pages
        ms.push_back(first);
        rss.push_back(double(anon));
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    std::printf("start_to_first_title_frame_ms median=%.1f min=%.1f max=%.1f runs=%d\n", Median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), runs);
    std::printf("title_rss_anon_kb median=%.0f min=%.0f max=%.0f\n", Median(rss),
                *std::min_element(rss.begin(), rss.end()), *std::max_element(rss.begin(), rss.end()));
    return 0;
}
