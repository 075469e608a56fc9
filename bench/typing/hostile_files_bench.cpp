// Time and peak memory of reading hostile data files: type.txt, Rome.ini and
// KeyConf.txt of many megabytes. Each load runs in a child process, whose peak
// resident size is reported as peak_MB and as a multiple of the file's size.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "keyconf/keyconf_file.h"
#include "skin/settings/shared.h"
#include "typing/questions.h"
#include "typing/rome_table.h"

namespace dexlora {
namespace {

// A folder of its own for the generated files, removed at exit.
class Folder {
public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dexlora_hostile_XXXXXX").string();
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

Folder& Shared() {
    static Folder folder;
    return folder;
}

// Writes name with pieces repeated until it holds at least megabytes MB; answers its size.
size_t WriteRepeated(const std::string& name, const std::string& head, const std::string& piece, int64_t megabytes) {
    std::filesystem::path file = Shared().Path() + name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << head;
    const size_t target = static_cast<size_t>(megabytes) << 20;
    std::string block;
    while (block.size() < (size_t{1} << 20)) block += piece;
    size_t written = head.size();
    while (written < target) {
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
        written += block.size();
    }
    return written;
}

// Runs load in a child process and reports its time, peak memory and result.
void MeasureInChild(benchmark::State& state, size_t fileBytes, const std::function<bool()>& load) {
    long peakKb = 0;
    int status = 0;
    for (auto _ : state) {
        pid_t child = fork();
        if (child == 0) {
            bool ok = false;
            try {
                ok = load();
            } catch (...) {
                _exit(2);
            }
            _exit(ok ? 0 : 1);
        }
        struct rusage usage {};
        wait4(child, &status, 0, &usage);
        peakKb = usage.ru_maxrss;
    }
    state.counters["file_MB"] = static_cast<double>(fileBytes) / (1 << 20);
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024;
    state.counters["peak_per_file_byte"] = static_cast<double>(peakKb) * 1024 / static_cast<double>(fileBytes);
    state.counters["exit"] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileBytes));
}

void LoadBundledTables() {
    SystemPath = std::string(DEXLORA_SOURCE_DIR) + "/system/";
    LoadRomeTable(RomeTable, "Rome.ini");
    LoadRomeTable(Rome2Table, "Rome2.ini");
    BuildRomeIndex(RomeIndex, RomeTable, 1);
    BuildRomeIndex(Rome2Index, Rome2Table, 2);
}

// type.txt of one-letter questions: the most entries per byte.
void BM_TypeTxtTinyQuestions(benchmark::State& state) {
    size_t bytes = WriteRepeated("tiny/type.txt", "", "a\r\nA\r\n\r\n", state.range(0));
    MeasureInChild(state, bytes, [] {
        LoadBundledTables();
        SkinPath = Shared().Path() + "tiny/";
        return LoadQuestions("type.txt");
    });
}

// type.txt of one question whose reading is the whole file (CP932 "かき").
void BM_TypeTxtHugeReading(benchmark::State& state) {
    size_t bytes = WriteRepeated("huge/type.txt", "q\r\n", "\x82\xa9\x82\xab", state.range(0));
    { std::ofstream(Shared().Path() + "huge/type.txt", std::ios::binary | std::ios::app) << "\r\n\r\n"; }
    MeasureInChild(state, bytes, [] {
        LoadBundledTables();
        SkinPath = Shared().Path() + "huge/";
        return LoadQuestions("type.txt");
    });
}

// Rome.ini whose first entry claims 2,000,000,000 spellings, then lines of one letter.
void BM_RomeIniHugeCount(benchmark::State& state) {
    size_t bytes = WriteRepeated("count/Rome.ini", "\x82\xa0\r\n2000000000\r\n", "A\r\n", state.range(0));
    MeasureInChild(state, bytes, [] {
        SystemPath = Shared().Path() + "count/";
        LoadRomeTable(RomeTable, "Rome.ini");
        return BuildRomeIndex(RomeIndex, RomeTable, 1);
    });
}

// Rome.ini of one long kana line with one spelling, then placeholder entries.
void BM_RomeIniLongKana(benchmark::State& state) {
    size_t bytes = WriteRepeated("kana/Rome.ini", "", "\x82\xa0", state.range(0));
    { std::ofstream(Shared().Path() + "kana/Rome.ini", std::ios::binary | std::ios::app) << "\r\n1\r\nA\r\n\r\n"; }
    MeasureInChild(state, bytes, [] {
        SystemPath = Shared().Path() + "kana/";
        LoadRomeTable(RomeTable, "Rome.ini");
        BuildRomeIndex(RomeIndex, RomeTable, 1);
        return RomeLookup::Current().Single(U'あ') == -1;
    });
}

// Rome.ini of a million entries and more.
void BM_RomeIniManyEntries(benchmark::State& state) {
    size_t bytes = WriteRepeated("entries/Rome.ini", "", "\x82\xa0\r\n1\r\nA\r\n\r\n", state.range(0));
    MeasureInChild(state, bytes, [] {
        SystemPath = Shared().Path() + "entries/";
        LoadRomeTable(RomeTable, "Rome.ini");
        return BuildRomeIndex(RomeIndex, RomeTable, 1);
    });
}

// KeyConf.txt of millions of lines for the bundled tables.
void BM_KeyConfManyLines(benchmark::State& state) {
    size_t bytes = WriteRepeated("keyconf/KeyConf.txt", "", "1\r\n", state.range(0));
    MeasureInChild(state, bytes, [] {
        LoadBundledTables();
        SystemPath = Shared().Path() + "keyconf/";
        return LoadKeyConf("KeyConf.txt");
    });
}

// 10 and 60 MB: within the 64 MB the readers accept, so the whole file is read.
#define DEXLORA_SIZES ->Arg(10)->Arg(60)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond)
BENCHMARK(BM_TypeTxtTinyQuestions) DEXLORA_SIZES;
BENCHMARK(BM_TypeTxtHugeReading) DEXLORA_SIZES;
BENCHMARK(BM_RomeIniHugeCount) DEXLORA_SIZES;
BENCHMARK(BM_RomeIniLongKana) DEXLORA_SIZES;
BENCHMARK(BM_RomeIniManyEntries) DEXLORA_SIZES;
BENCHMARK(BM_KeyConfManyLines) DEXLORA_SIZES;

}  // namespace
}  // namespace dexlora

BENCHMARK_MAIN();
