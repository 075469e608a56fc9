// What the fuzz targets share: a broken invariant that stops the run, a
// scratch folder the file readers take their input from, and the bundled
// romaji tables.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/rome_table.h"
#include "settings/shared.h"

namespace dexlora::fuzz {

// A broken invariant is a finding like a crash: libFuzzer saves the input, the
// replay driver fails its test.
[[noreturn]] inline void Fail(const char* where, int line, const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n%s\n", where, line, what, detail.c_str());
    std::abort();
}
#define FUZZ_CHECK(cond, detail) ((cond) ? void() : ::dexlora::fuzz::Fail(__FILE__, __LINE__, #cond, detail))

// Printable ASCII as it is, every other byte as \xNN, for failure messages.
inline std::string Escaped(std::string_view text) {
    std::string out;
    char shown[8];
    for (unsigned char c : text)
        out.append(shown, std::snprintf(shown, sizeof shown, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c));
    return out;
}

// One folder per process, in memory, ending in '/'; removed at exit.
inline const std::string& Scratch() {
    static const struct Folder {
        std::string path = "/dev/shm/dexlora_fuzz_XXXXXX";
        Folder() { FUZZ_CHECK(mkdtemp(path.data()) != nullptr, path), path += '/'; }
        ~Folder() { std::filesystem::remove_all(path); }
    } folder;
    return folder.path;
}

// Replaces the file name below the scratch folder with bytes; answers its path.
inline std::string WriteScratch(std::string_view name, std::string_view bytes) {
    const std::string path = Scratch() + std::string(name);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    const bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    FUZZ_CHECK(out && std::fclose(out) == 0 && written, "writing " + path);
    return path;
}

// Loads the game's own romaji tables once, for the readers built on them.
inline void LoadBundledTables() {
    static const bool loaded = [] {
        SystemPath = std::string(DEXLORA_SOURCE_DIR) + "/system/";
        return LoadRomeTable(RomeTable, "Rome.ini") && LoadRomeTable(Rome2Table, "Rome2.ini") &&
               BuildRomeIndex(RomeIndex, RomeTable, 1) && BuildRomeIndex(Rome2Index, Rome2Table, 2);
    }();
    FUZZ_CHECK(loaded, "the bundled romaji tables");
}

}  // namespace dexlora::fuzz
