// Hostile text files through every text reader: each read runs in a child
// process, so its peak resident memory is its own, and is reported beside its
// time and the file's size. Files past the text size limit must be refused
// quickly and without reading them.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "engine/keyconf_file.h"
#include "engine/questions.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "platform/core/files.h"
#include "settings/ini.h"
#include "settings/shared.h"

namespace dexlora {
namespace {

constexpr int64_t MB = 1024 * 1024;
// A read still running after this long is reported as timed out, not waited for.
constexpr int TimeoutSeconds = 120;

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

// A file of size bytes: head, then body repeated (cut to fit), then tail.
struct Shape {
    const char* name;
    std::string head;
    std::string body;
    std::string tail;
};

// The hostile files, each built to make its reader keep more than it reads.
const std::map<std::string, Shape>& Shapes() {
    static const std::map<std::string, Shape> shapes = {
        {"blank_lines.ini", {"blank lines then one key", "", "\r\n", "[Title]\r\nColor=1,2,3\r\n"}},
        {"long_value.ini", {"one key with a huge value", "[Title]\r\nColor=", "9", "\r\n"}},
        {"huge_count.ini", {"count 2000000000, then spellings", "\x82\xA0\r\n2000000000\r\n", "A\r\n", ""}},
        {"long_kana.ini", {"one long kana line", "", "\x82\xA0", "\r\n1\r\nA\r\n\r\n"}},
        {"many_entries.ini", {"entries of one spelling each", "", "\x82\xA0\r\n1\r\nA\r\n\r\n", ""}},
        {"type.txt", {"one-letter questions", "", "a\r\na\r\n\r\n", ""}},
        {"huge_reading/type.txt", {"one question whose reading is the whole file", "q\r\n", "\x82\xA9\x82\xAB", "\r\n\r\n"}},
        {"KeyConf.txt", {"a number a line", "", "0\r\n", ""}},
        {"lines.txt", {"short lines", "", "x\r\n", ""}},
    };
    return shapes;
}

// The folder of generated files, made once and removed at exit (children
// leave with _exit and never run this).
class Files {
public:
    static Files& Get() {
        static Files files;
        return files;
    }

    // The path of a file of the shape and size, written on first use.
    std::string Path(const std::string& name, int64_t size) {
        const std::string path = folder_ + "/" + std::to_string(size) + "/" + name;
        const std::string folder = FolderOf(path);
        if (std::filesystem::exists(path)) return path;
        std::filesystem::create_directories(folder);
        const Shape& shape = Shapes().at(name);
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out) std::exit(1);
        std::string chunk;
        while (chunk.size() < MB) chunk += shape.body;
        int64_t left = size - static_cast<int64_t>(shape.head.size() + shape.tail.size());
        std::fwrite(shape.head.data(), 1, shape.head.size(), out);
        while (left > 0) {
            // Whole repetitions only, so a two-byte character is never cut.
            int64_t take = std::min<int64_t>(left, static_cast<int64_t>(chunk.size()));
            take -= take % static_cast<int64_t>(shape.body.size());
            if (take == 0) break;
            std::fwrite(chunk.data(), 1, static_cast<size_t>(take), out);
            left -= take;
        }
        std::fwrite(shape.tail.data(), 1, shape.tail.size(), out);
        std::fclose(out);
        return path;
    }

private:
    Files() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dexlora_limits_XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::exit(1);
        folder_ = pattern;
    }
    ~Files() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string folder_;
};

struct Outcome {
    double seconds = 0;
    double peakMb = 0;
    bool refused = false;
    bool timedOut = false;
};

// Runs read in a child; it answers whether the reader accepted the file.
Outcome InChild(const std::function<bool()>& read) {
    Outcome outcome;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        alarm(TimeoutSeconds);
        bool accepted = false;
        try {
            accepted = read();
        } catch (const RuntimeError&) {
        }
        _exit(accepted ? 0 : 3);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    outcome.timedOut = WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
    outcome.refused = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    return outcome;
}

void LoadBundledTables() {
    SystemPath = std::string(DEXLORA_SOURCE_DIR) + "/system/";
    LoadRomeTable(RomeTable, "Rome.ini");
    LoadRomeTable(Rome2Table, "Rome2.ini");
    BuildRomeIndex(RomeIndex, RomeTable, 1);
    BuildRomeIndex(Rome2Index, Rome2Table, 2);
}

// The readers, each given the path of its file.
const std::map<std::string, std::pair<std::string, std::function<bool(const std::string&)>>>& Readers() {
    static const std::map<std::string, std::pair<std::string, std::function<bool(const std::string&)>>> readers = {
        {"ProfileBlankLines", {"blank_lines.ini", [](const std::string& path) {
             return ReadIniColor(path, "Title", "Color") == PackColor(1, 2, 3);
         }}},
        {"ProfileLongValue", {"long_value.ini", [](const std::string& path) {
             return ReadIniString(path, "Title", "Color", "").size() == 127;
         }}},
        {"RomeHugeCount", {"huge_count.ini", [](const std::string& path) {
             SystemPath = FolderOf(path);
             return LoadRomeTable(RomeTable, "huge_count.ini");
         }}},
        {"RomeLongKana", {"long_kana.ini", [](const std::string& path) {
             SystemPath = FolderOf(path);
             bool loaded = LoadRomeTable(RomeTable, "long_kana.ini");
             BuildRomeIndex(RomeIndex, RomeTable, 1);
             return loaded && RomeLookup::Current().Single(U'あ') == 0;
         }}},
        {"RomeManyEntries", {"many_entries.ini", [](const std::string& path) {
             SystemPath = FolderOf(path);
             return LoadRomeTable(RomeTable, "many_entries.ini");
         }}},
        {"QuestionsOneLetter", {"type.txt", [](const std::string& path) {
             LoadBundledTables();
             return LoadQuestions(FolderOf(path), "type.txt");
         }}},
        {"QuestionsHugeReading", {"huge_reading/type.txt", [](const std::string& path) {
             LoadBundledTables();
             return LoadQuestions(FolderOf(path), "type.txt");
         }}},
        {"KeyConfLines", {"KeyConf.txt", [](const std::string& path) {
             LoadBundledTables();
             SystemPath = FolderOf(path);
             return LoadKeyConf("KeyConf.txt");
         }}},
        {"TextFileReaderLines", {"lines.txt", [](const std::string& path) {
             TextFileReader file(path);
             size_t lines = 0;
             while (!file.AtEnd()) {
                 file.ReadLine();
                 ++lines;
             }
             return lines > 0;
         }}},
    };
    return readers;
}

void Report(benchmark::State& state, const Outcome& outcome, int64_t size) {
    state.SetIterationTime(outcome.seconds);
    state.counters["file_MB"] = static_cast<double>(size) / MB;
    state.counters["peak_MB"] = outcome.peakMb;
    state.counters["peak_per_file"] = outcome.peakMb / (static_cast<double>(size) / MB);
    state.counters["refused"] = outcome.refused ? 1 : 0;
    if (outcome.timedOut) state.SkipWithError("timed out");
}

void ReadFile(benchmark::State& state, const std::string& reader) {
    const int64_t size = state.range(0) * MB;
    const auto& [name, read] = Readers().at(reader);
    const std::string path = Files::Get().Path(name, size);
    for (auto _ : state) Report(state, InChild([&] { return read(path); }), size);
}

// Decoding invalid CP932 in memory, without a file around it.
void DecodeInvalidCp932(benchmark::State& state) {
    const int64_t size = state.range(0) * MB;
    for (auto _ : state) {
        Report(state, InChild([&] {
                   const std::string bytes(static_cast<size_t>(size), '\x80');
                   return Cp932ToUtf8(bytes).size() == 3 * bytes.size();
               }),
               size);
    }
}

// The baseline: a child that reads nothing.
void Nothing(benchmark::State& state) {
    for (auto _ : state) Report(state, InChild([] { return true; }), MB);
}

}  // namespace
}  // namespace dexlora

int main(int argc, char** argv) {
    using namespace dexlora;
    benchmark::RegisterBenchmark("Baseline", Nothing)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
    for (const auto& [reader, unused] : Readers()) {
        benchmark::RegisterBenchmark(reader.c_str(), ReadFile, reader)
            ->Arg(1)->Arg(10)->Arg(60)->Arg(100)
            ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("Cp932Invalid", DecodeInvalidCp932)
        ->Arg(1)->Arg(10)->Arg(60)->Arg(100)
        ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
