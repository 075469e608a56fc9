// Windows-made skin paths resolved in a small folder tree: the answer is the
// path given with '/' separators and letter case aside, keeps a path that
// exists as written, and names an existing entry whenever one matches.
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/core/files.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

namespace {

// Six folders, then six files; Skin/Link leads to Skin/Image and Skin/Loop to itself.
constexpr const char* Entries[] = {"Skin", "Skin/Image", "Skin/image2", "Skin/SOUND", "Skin/Image/Sub", "Skin/sound",
                                   "Skin/Title.bmp", "Skin/title.BMP", "Skin/Image/Back.jpg", "Skin/SOUND/Ok.wav",
                                   "Skin/type.txt", "Skin/Image/Sub/a", "Skin/Link", "Skin/Link/Back.jpg"};

const std::string& Root() {
    static const std::string root = [] {
        for (int i = 0; i < 12; ++i)
            if (i < 6) mkdir((fuzz::Scratch() + Entries[i]).c_str(), 0755);
            else fuzz::WriteScratch(Entries[i], "x");
        symlink("Image", (fuzz::Scratch() + "Skin/Link").c_str());
        symlink("Loop", (fuzz::Scratch() + "Skin/Loop").c_str());
        return fuzz::Scratch();
    }();
    return root;
}

// The path with '\' as '/' and runs of '/' as one, as the answer spells it.
std::string Normalised(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    path.erase(std::unique(path.begin(), path.end(), [](char a, char b) { return a == '/' && b == '/'; }), path.end());
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Paths below the tree only: ".." and NUL bytes would reach the real file
    // system, which is not ours to list.
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (input.find('\0') != std::string::npos || input.find("..") != std::string::npos) return 0;
    const std::string given = Normalised(Root() + input), resolved = ResolvePath(Root() + input);
    struct stat st;
    FUZZ_CHECK(strcasecmp(resolved.c_str(), given.c_str()) == 0 && (lstat(given.c_str(), &st) != 0 || resolved == given),
               Escaped(given) + " -> " + Escaped(resolved));
    if (std::any_of(std::begin(Entries), std::end(Entries),
                    [&](const char* entry) { return strcasecmp(Normalised(input).c_str(), entry) == 0; }))
        FUZZ_CHECK(lstat(resolved.c_str(), &st) == 0, Escaped(given) + " resolved to a missing " + Escaped(resolved));
    return 0;
}
