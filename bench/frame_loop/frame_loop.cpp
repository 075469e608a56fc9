// The typing frame shown at the display's pace in a real window, either
// through the game's drawing layer or with SDL alone: processor time per
// second, key-to-present latency and private memory, for setting the game's
// figures beside their floor. Run it on a screen (Xvfb is enough):
//   bench_frame_loop plain|dexlora [--seconds S] [--keys N] [--no-sharp-text]
// or, for instructions per frame:
//   valgrind --tool=callgrind --collect-atstart=no bench_frame_loop plain|dexlora --frames N
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#endif

#include "dexlora_frame.h"
#include "plain_sdl/plain_frame.h"
#include "platform/surface.h"
#include "platform/window.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) + double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) * 1e-6;
}

// A line of /proc/self/status in kB (RssAnon: the private resident memory).
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':') return std::atol(line.c_str() + n + 1);
    return -1;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Key presses arriving at random moments from another thread, as a keyboard
// does; each waits until the frame showing the previous one was presented.
class KeyFeeder {
public:
    explicit KeyFeeder(int count) : count_(count) {}
    void Start() {
        if (count_ > 0) thread_ = std::thread([this] { Run(); });
    }
    ~KeyFeeder() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }

    // Called by the loop's key handler: the moment the key was pushed.
    void Seen() { shownAfter_ = pushedAt_.load(); }
    // Called after each present: a key seen before this frame was composed
    // is now on the screen.
    void Presented(bool keyInFrame, int64_t pushed) {
        if (!keyInFrame) return;
        latencies_.push_back(double(Clock::now().time_since_epoch().count() - pushed) * 1e-6);
        awaiting_ = false;
    }
    // The push time of a key the handler saw since the last call, or 0.
    int64_t TakeSeen() { return std::exchange(shownAfter_, 0); }
    bool Done() const { return int(latencies_.size()) >= count_; }
    const std::vector<double>& LatenciesMs() const { return latencies_; }

private:
    void Run() {
        std::mt19937 random(12345);
        std::uniform_int_distribution<int> pause_us(20000, 60000);
        for (int i = 0; i < count_ && !stop_; ++i) {
            std::this_thread::sleep_for(std::chrono::microseconds(pause_us(random)));
            awaiting_ = true;
            SDL_Event e{};
            e.type = SDL_TEXTINPUT;
            std::strcpy(e.text.text, "a");
            pushedAt_ = Clock::now().time_since_epoch().count();
            SDL_PushEvent(&e);
            while (awaiting_ && !stop_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    int count_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> awaiting_{false};
    std::atomic<int64_t> pushedAt_{0};
    int64_t shownAfter_ = 0;
    std::vector<double> latencies_;
};

struct Options {
    bool plain = false;
    double seconds = 10;
    int keys = 100;
    int frames = 0;  // instead: this many frames, counted by callgrind
    bool window640 = false;  // windowed at 640x480, unscaled, instead of covering the desktop
    bool sharp = true;
};


// Frames: compose, present, let events run; the key handler records what the
// next frame shows.
struct Loop {
    std::function<void(int32_t marker)> frame;  // compose and present
    std::function<void()> events;
    std::function<std::string()> renderer;  // asked once frames have been shown
    SDL_Window* window = nullptr;
};

// Frames counted by callgrind (run with --collect-atstart=no), every thread
// of the process while they are shown, the renderer's own included.
int CountFrames(int frames, Loop& loop, int32_t& marker) {
    for (int i = 0; i < 20; ++i) loop.frame(marker), loop.events();  // fonts, glyphs and the renderer settle
#if __has_include(<valgrind/callgrind.h>)
    CALLGRIND_TOGGLE_COLLECT;
    for (int i = 0; i < frames; ++i) loop.frame(marker), loop.events();
    CALLGRIND_TOGGLE_COLLECT;
    int w = 0, h = 0;
    SDL_GetWindowSize(loop.window, &w, &h);
    std::printf("renderer=%s size=%dx%d frames=%d\n", loop.renderer().c_str(), w, h, frames);
    return 0;
#else
    std::fprintf(stderr, "bench_frame_loop: built without valgrind's callgrind.h\n");
    return 1;
#endif
}

int Run(const Options& options, Loop& loop, KeyFeeder& keys, int32_t& marker) {
    if (options.frames > 0) return CountFrames(options.frames, loop, marker);
    auto runFor = [&](double seconds) {
        uint64_t frames = 0;
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            loop.frame(marker);
            ++frames;
            loop.events();
        }
        return frames;
    };
    runFor(2);  // fonts, glyphs and the renderer settle
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    const uint64_t frames = runFor(options.seconds);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double cpu = ProcessCpuSeconds() - cpu0;

    // Latency: each key changes the marker; the frame composed after the
    // handler saw it is the one that shows it.
    keys.TakeSeen();
    keys.Start();
    int64_t pendingPush = 0;
    const auto latencyEnd = Clock::now() + std::chrono::seconds(60);
    while (!keys.Done() && Clock::now() < latencyEnd) {
        const int64_t inFrame = pendingPush;
        loop.frame(marker);
        keys.Presented(inFrame != 0, inFrame);
        loop.events();
        pendingPush = keys.TakeSeen();
        if (pendingPush) marker ^= 0x00FFFF;
    }

    const std::vector<double>& lat = keys.LatenciesMs();
    int width = 0, height = 0;
    SDL_GetWindowSize(loop.window, &width, &height);
    std::printf("%s%s renderer=%s size=%dx%d seconds=%.2f frames=%llu fps=%.1f cpu_percent=%.1f cpu_ms_per_frame=%.3f "
                "rss_anon_kb=%ld rss_kb=%ld keys=%zu latency_median_ms=%.2f latency_max_ms=%.2f\n",
                options.plain ? "plain" : "dexlora", options.plain || options.sharp ? "" : "-no-sharp-text",
                loop.renderer().c_str(), width, height, wall, (unsigned long long)frames,
                double(frames) / wall, 100 * cpu / wall, 1000 * cpu / double(frames), StatusKb("RssAnon"),
                StatusKb("VmRSS"), lat.size(), Median(lat), lat.empty() ? 0 : *std::max_element(lat.begin(), lat.end()));
    return 0;
}

std::string RendererName(SDL_Window* window) {
    SDL_RendererInfo info{};
    SDL_Renderer* renderer = window ? SDL_GetRenderer(window) : nullptr;
    // No renderer: the window's own surface, filled on the processor.
    if (!renderer) return window ? "surface" : "?";
    if (SDL_GetRendererInfo(renderer, &info) != 0) return "?";
    return std::string(info.name) + ((info.flags & SDL_RENDERER_PRESENTVSYNC) ? "+vsync" : "");
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (argc < 2 || (std::strcmp(argv[1], "plain") != 0 && std::strcmp(argv[1], "dexlora") != 0)) {
        std::fprintf(stderr, "usage: %s plain|dexlora [--seconds S] [--keys N] [--frames N] [--window640 1] [--no-sharp-text]\n", argv[0]);
        return 2;
    }
    options.plain = std::strcmp(argv[1], "plain") == 0;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) options.seconds = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--keys") == 0) options.keys = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--frames") == 0) options.frames = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--window640") == 0) options.window640 = std::atoi(argv[i + 1]) != 0;
    }

    // Frames composed at 640x480 and scaled by the output, as before sharp text.
    const bool sharp = !(argc > 2 && std::strcmp(argv[argc - 1], "--no-sharp-text") == 0);
    options.sharp = sharp;
    dexlora::SetSharpComposition(sharp);

    int32_t marker = 0;
    try {
        if (options.plain) {
            plain_sdl::Session session;
            plain_sdl::Frame frame(options.window640 ? plain_sdl::Placement::Windowed640 : plain_sdl::Placement::Desktop,
                                   true);
            SDL_StartTextInput();
            KeyFeeder keys(options.keys);
            Loop loop;
            loop.window = frame.Window();
            loop.renderer = [&] { return RendererName(frame.Window()); };
            loop.frame = [&](int32_t m) {
                frame.Compose(uint32_t(m));
                frame.Present();
            };
            loop.events = [&] {
                SDL_Event e;
                while (SDL_PollEvent(&e))
                    if (e.type == SDL_TEXTINPUT) keys.Seen();
            };
            return Run(options, loop, keys, marker);
        }
        dexlora::bench::TypingFrame scene(options.window640 ? dexlora::bench::Shown::Window640
                                                            : dexlora::bench::Shown::Desktop);
        KeyFeeder keys(options.keys);
        dexlora::SetMainWindowEvents({.KeyPress = [&](char32_t&) { keys.Seen(); }, .MouseDown = nullptr, .DblClick = nullptr});
        Loop loop;
        loop.window = SDL_GetWindowFromID(Uint32(dexlora::MainWindowHandle()));
        loop.renderer = [&] { return RendererName(loop.window); };
        loop.frame = [&](int32_t m) { scene.ComposeFrame(m); };
        loop.events = [] { dexlora::DoEvents(); };
        return Run(options, loop, keys, marker);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_frame_loop: %s\n", e.what());
        return 1;
    }
}
