// Windows-made skin paths resolved in a small folder tree: the answer is the
// path given with '/' separators and letter case aside, and names an existing
// entry whenever one matches.
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "platform/core/files.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

namespace {

constexpr const char* Folders[] = {"Skin", "Skin/Image", "Skin/image2", "Skin/SOUND", "Skin/Image/Sub", "Skin/sound"};
constexpr const char* Files[] = {"Skin/Title.bmp", "Skin/title.BMP", "Skin/Image/Back.jpg", "Skin/SOUND/Ok.wav",
                                 "Skin/type.txt", "Skin/Image/Sub/a"};
constexpr const char* Entries[] = {"Skin", "Skin/Image", "Skin/image2", "Skin/SOUND", "Skin/Image/Sub",
                                   "Skin/Title.bmp", "Skin/Image/Back.jpg", "Skin/SOUND/Ok.wav",
                                   "Skin/type.txt", "Skin/Image/Sub/a", "Skin/Link", "Skin/Link/Back.jpg"};

const std::string& Root() {
    static const std::string root = [] {
        auto& scratch = fuzz::ScratchFolder::Get();
        for (const char* folder : Folders) mkdir((scratch.Path() + folder).c_str(), 0755);
        for (const char* file : Files) scratch.Write(file, "x");
        symlink("Image", (scratch.Path() + "Skin/Link").c_str());
        symlink("Loop", (scratch.Path() + "Skin/Loop").c_str());
        return scratch.Path();
    }();
    return root;
}

// The path with '\' as '/' and runs of '/' as one, as the answer spells it.
std::string Normalised(std::string_view path) {
    std::string out;
    for (char c : path) {
        if (c == '\\') c = '/';
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out += c;
    }
    return out;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Paths below the tree only: "..", the root and NUL bytes would reach
    // the real file system, which is not ours to list.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.find('\0') != std::string_view::npos || input.find("..") != std::string_view::npos) return 0;
    const std::string given = Root() + std::string(input);
    const std::string resolved = ResolvePath(given);
    FUZZ_CHECK(resolved.find('\\') == std::string::npos, Escaped(resolved));
    FUZZ_CHECK(SameIgnoringCase(resolved, Normalised(given)), Escaped(given) + " -> " + Escaped(resolved));

    // A path that exists as written stays as written; one that matches a
    // known entry regardless of case resolves to an existing entry.
    struct stat st;
    if (lstat(Normalised(given).c_str(), &st) == 0) {
        FUZZ_CHECK(resolved == Normalised(given), Escaped(given) + " exists but resolved to " + Escaped(resolved));
    }
    for (const char* entry : Entries) {
        if (SameIgnoringCase(Normalised(input), entry)) {
            FUZZ_CHECK(lstat(resolved.c_str(), &st) == 0, Escaped(given) + " resolved to " + Escaped(resolved));
        }
    }
    const bool regular = stat(resolved.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    FUZZ_CHECK(FileExists(given) == regular, "FileExists disagrees for " + Escaped(given));
    return 0;
}
