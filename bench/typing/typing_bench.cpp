// Speed of reading a large type.txt, of spelling one reading, of leaving
// the key configuration (the questions spelled anew, KeyConf.txt saved), and
// of flexible romaji on a 200-kana reading: making its matcher, judging a key.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/flexible_romaji.h"
#include "engine/keyconf_file.h"
#include "engine/questions.h"
#include "engine/reading_to_romaji.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "settings/shared.h"

namespace dexlora {
namespace {

constexpr int QuestionCount = 10000;

// The bundled tables loaded, and a type.txt of QuestionCount questions made
// from their kana in a folder of its own, removed at exit.
class Fixture {
public:
    Fixture() {
        SystemPath = std::string(DEXLORA_SOURCE_DIR) + "/system/";
        if (!LoadRomeTable(RomeTable, "Rome.ini") || !LoadRomeTable(Rome2Table, "Rome2.ini")) {
            std::fprintf(stderr, "bundled Rome tables missing\n");
            std::exit(1);
        }
        BuildRomeIndex(RomeIndex, RomeTable, 1);
        BuildRomeIndex(Rome2Index, Rome2Table, 2);

        std::string pattern = (std::filesystem::temp_directory_path() / "dexlora_bench_XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::exit(1);
        folder_ = pattern;
        // KeyConf.txt is saved beside the questions, never into the sources.
        SystemPath = Folder();
        WriteQuestions();
    }
    ~Fixture() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // The folder of type.txt, ending in '/'.
    std::string Folder() const { return folder_.string() + "/"; }

    std::vector<std::string> Readings;

private:
    // Readings of 6 to 24 pieces: mostly single kana, some pairs, ん, っ and
    // punctuation, as real questions have.
    void WriteQuestions() {
        std::vector<std::string> singles;
        std::vector<std::string> pairs;
        for (int32_t i = 0; i < RomeEntryCount(RomeTable); ++i) {
            if (RomeTable[i].Count > 0 && i != SmallTsuEntry) singles.push_back(RomeTable[i].Kana);
        }
        for (int32_t i = 0; i < RomeEntryCount(Rome2Table); ++i) {
            if (Rome2Table[i].Count > 0) pairs.push_back(Rome2Table[i].Kana);
        }
        std::mt19937 random(20240607);
        auto pick = [&](const std::vector<std::string>& from) {
            return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
        };
        std::string text;
        for (int q = 0; q < QuestionCount; ++q) {
            std::string reading;
            int pieces = std::uniform_int_distribution<int>(6, 24)(random);
            for (int p = 0; p < pieces; ++p) {
                int kind = std::uniform_int_distribution<int>(0, 19)(random);
                if (kind < 14) {
                    reading += pick(singles);
                } else if (kind < 16) {
                    reading += pick(pairs);
                } else if (kind == 16) {
                    reading += "っ" + pick(singles);
                } else if (kind == 17) {
                    reading += "ん";
                } else {
                    reading += kind == 18 ? "ー" : "、";
                }
            }
            Readings.push_back(reading);
            text += "問題" + std::to_string(q) + "\r\n" + reading + "\r\n\r\n";
        }
        std::ofstream(folder_ / "type.txt", std::ios::binary) << Utf8ToCp932(text);
    }

    std::filesystem::path folder_;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_LoadQuestions(benchmark::State& state) {
    Shared();
    for (auto _ : state) {
        bool loaded = LoadQuestions(Shared().Folder(), "type.txt");
        benchmark::DoNotOptimize(loaded);
    }
    state.counters["questions"] = static_cast<double>(Questions.size() - 2);
    state.SetItemsProcessed(state.iterations() * QuestionCount);
}
BENCHMARK(BM_LoadQuestions)->Unit(benchmark::kMillisecond);

void BM_ReadingToRomaji(benchmark::State& state) {
    const std::vector<std::string>& readings = Shared().Readings;
    std::string romaji;
    size_t next = 0;
    for (auto _ : state) {
        bool converted = ReadingToRomaji(romaji, readings[next]);
        benchmark::DoNotOptimize(converted);
        benchmark::DoNotOptimize(romaji.data());
        if (++next == readings.size()) next = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadingToRomaji)->Unit(benchmark::kNanosecond);

// "Exit Configure" with a large type.txt: every question spelled again with
// the new choices, then the choices saved. Each round changes one choice, as
// a player does.
void BM_LeaveKeyConf(benchmark::State& state) {
    Shared();
    int32_t entry = 0;
    for (auto _ : state) {
        while (!NextSpelling(RomeTable, entry)) entry = (entry + 1) % RomeEntryCount(RomeTable);
        bool left = LoadQuestions(Shared().Folder(), "type.txt") && SaveKeyConf("KeyConf.txt");
        benchmark::DoNotOptimize(left);
        if (!left) state.SkipWithError("leaving the key configuration failed");
    }
    state.counters["questions"] = static_cast<double>(Questions.size() - 2);
}
BENCHMARK(BM_LeaveKeyConf)->Unit(benchmark::kMillisecond);

// The generated readings joined up to 200 kana and more, as one question.
const std::string& LongReading() {
    static const std::string reading = [] {
        std::string joined;
        for (size_t i = 0; Utf8Length(joined) < 200; ++i) joined += Shared().Readings[i];
        return joined;
    }();
    return reading;
}

// What the first frame of a question pays with the option on.
void BM_FlexibleMatcher(benchmark::State& state) {
    for (auto _ : state) {
        FlexibleRomaji matcher(LongReading());
        benchmark::DoNotOptimize(matcher.Guide().data());
    }
    state.counters["kana"] = static_cast<double>(Utf8Length(LongReading()));
}
BENCHMARK(BM_FlexibleMatcher)->Unit(benchmark::kMicrosecond);

// One key of the reading typed in the key configuration's spelling, the
// guide following; a matcher is made afresh (untimed) when one is finished.
void BM_FlexibleKey(benchmark::State& state) {
    auto matcher = std::make_unique<FlexibleRomaji>(LongReading());
    const std::string keys = matcher->Romaji();
    size_t next = 0;
    for (auto _ : state) {
        if (next == keys.size()) {
            state.PauseTiming();
            matcher = std::make_unique<FlexibleRomaji>(LongReading());
            next = 0;
            state.ResumeTiming();
        }
        if (!matcher->Key(char32_t(keys[next++]))) state.SkipWithError("a key of the reading's own romaji refused");
    }
    state.counters["kana"] = static_cast<double>(Utf8Length(LongReading()));
}
BENCHMARK(BM_FlexibleKey)->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace dexlora

BENCHMARK_MAIN();
