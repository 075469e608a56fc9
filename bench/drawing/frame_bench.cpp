// Cost of one typing-scene frame: composed through the game's drawing layer
// on the headless display, then composed, uploaded and presented through the
// real window display on SDL's dummy driver, each beside the same frame made
// with SDL2 and SDL_ttf alone in the same run.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "dexlora_frame.h"
#include "drawing/display.h"
#include "platform/headless.h"
#include "plain_sdl/plain_frame.h"

namespace dexlora::bench {
namespace {

// The real window display shows a frame at most once a refresh (60 Hz
// here), as a game loop with vsync would; a pause of a whole refresh before
// each measured frame keeps that pacing out of the figure. The plain-SDL frame gets the same pause, so
// both start each frame with caches as cold.
constexpr auto kPause = std::chrono::milliseconds(17);

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Times each call of frame() by the wall clock, with a pause before it;
// reports the processor time of the thread beside it.
template <typename Frame>
void TimeFrames(benchmark::State& state, Frame&& frame, std::chrono::milliseconds pause = kPause) {
    for (int i = 0; i < 10; ++i) frame();  // fonts, glyphs and textures are made on first use
    double cpu = 0;
    for (auto _ : state) {
        if (pause.count() > 0) std::this_thread::sleep_for(pause);
        const double cpu0 = ThreadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        frame();
        const auto end = std::chrono::steady_clock::now();
        cpu += ThreadCpuSeconds() - cpu0;
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["cpu_us"] = benchmark::Counter(cpu * 1e6 / double(state.iterations()));
}

// How fast the machine is right now: one 640x480 XRGB8888 frame copied with
// memcpy (about 26 us on an idle machine of this kind). On a shared machine
// it shows how far every other figure is slowed.
void BM_FrameMemcpy(benchmark::State& state) {
    std::vector<uint32_t> from(640 * 480, 0x102030), to(640 * 480);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);

void BM_ComposedFrame(benchmark::State& state) {
    TypingFrame scene(Shown::Headless);
    for (int i = 0; i < 10; ++i) scene.ComposeFrame();
    for (auto _ : state) scene.ComposeFrame();
    // To look at the frame being measured: DEXLORA_FRAME_SHOT=frame.png
    if (const char* shot = getenv("DEXLORA_FRAME_SHOT")) DDSurfBack->SavePng(shot);
}
BENCHMARK(BM_ComposedFrame)->Unit(benchmark::kMicrosecond);

// The same frame composed for a 1440x1080 output, sharp text on: every
// surface holds its pixels at 2.25 times 640x480.
void BM_ComposedFrame1440x1080(benchmark::State& state) {
    TypingFrame scene(Shown::Headless);
    headless::SetOutputScale(2.25);
    for (int i = 0; i < 10; ++i) scene.ComposeFrame();
    for (auto _ : state) scene.ComposeFrame();
}
BENCHMARK(BM_ComposedFrame1440x1080)->Unit(benchmark::kMicrosecond);

void BM_CopyAndFlip(benchmark::State& state) {
    TypingFrame scene(Shown::Headless);
    for (int i = 0; i < 10; ++i) scene.CopyAndFlip();
    for (auto _ : state) scene.CopyAndFlip();
}
BENCHMARK(BM_CopyAndFlip)->Unit(benchmark::kMicrosecond);

// The floor of the composing alone: the same frame with SDL2 and SDL_ttf.
void BM_PlainSdlComposedFrame(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    plain_sdl::Session session;
    plain_sdl::Frame frame(plain_sdl::Placement::Windowed640, false);
    for (int i = 0; i < 10; ++i) frame.Compose();
    for (auto _ : state) frame.Compose();
}
BENCHMARK(BM_PlainSdlComposedFrame)->Unit(benchmark::kMicrosecond);

// Composed, uploaded to the streaming texture and presented.
void BM_PresentedFrame(benchmark::State& state) {
    TypingFrame scene(Shown::DummyWindow);
    TimeFrames(state, [&] { scene.ComposeFrame(); });
}
BENCHMARK(BM_PresentedFrame)->Unit(benchmark::kMicrosecond)->UseManualTime();

// The floor: the same frame with SDL2 and SDL_ttf alone.
void BM_PlainSdlPresentedFrame(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    plain_sdl::Session session;
    plain_sdl::Frame frame(plain_sdl::Placement::Windowed640, false);
    TimeFrames(
        state,
        [&] {
            frame.Compose();
            frame.Present();
        },
        std::chrono::milliseconds(state.range(0)));
}
// Arg: the pause before each frame in ms; 0 shows what warm caches are worth.
BENCHMARK(BM_PlainSdlPresentedFrame)->Unit(benchmark::kMicrosecond)->UseManualTime()->Arg(17)->Arg(0);

}  // namespace
}  // namespace dexlora::bench

BENCHMARK_MAIN();
