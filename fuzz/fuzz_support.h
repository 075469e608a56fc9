// What the fuzz targets share: a failed invariant that stops the run, and a
// scratch folder the file readers take their input from.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace dexlora::fuzz {

// A broken invariant is a finding like a crash: libFuzzer saves the input, the
// replay driver fails its test.
[[noreturn]] inline void Fail(const char* file, int line, const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n%s\n", file, line, what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                   \
    do {                                                                                \
        if (!(condition)) ::dexlora::fuzz::Fail(__FILE__, __LINE__, #condition, detail); \
    } while (0)

// A readable form of a text for failure messages: printable ASCII as it is,
// every other byte as \xNN.
inline std::string Escaped(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// One folder per process, in memory when /dev/shm is there: the readers take
// their input as a file, and the atomic writes sync it.
class ScratchFolder {
public:
    static ScratchFolder& Get() {
        static ScratchFolder folder;
        return folder;
    }

    // The folder's path ending in '/'.
    const std::string& Path() const { return path_; }

    // Replaces the file name below the folder with bytes; answers its path.
    std::string Write(std::string_view name, std::string_view bytes) const {
        std::string file = path_ + std::string(name);
        std::FILE* out = std::fopen(file.c_str(), "wb");
        if (out == nullptr) Fail(__FILE__, __LINE__, "scratch file writable", file);
        bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        ok = std::fclose(out) == 0 && ok;
        if (!ok) Fail(__FILE__, __LINE__, "scratch file written", file);
        return file;
    }

    void Remove(std::string_view name) const { std::filesystem::remove(path_ + std::string(name)); }

private:
    ScratchFolder() {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : P_tmpdir;
        std::string pattern = std::string(base) + "/dexlora_fuzz_XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) Fail(__FILE__, __LINE__, "mkdtemp", pattern);
        path_ = pattern + "/";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    std::string path_;
};

}  // namespace dexlora::fuzz
