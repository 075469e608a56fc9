// dexlora-skin-check: the skin half of dexlora-check, which runs it for
// "dexlora-check SYSTEM_FOLDER --skin SKIN_FOLDER [--pictures PICTURE_FOLDER]".
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "tools/skin_check.h"

int main(int argc, char** argv) {
    const bool pictures = argc == 6 && std::string(argv[4]) == "--pictures";
    if (!((argc == 4 || pictures) && std::string(argv[2]) == "--skin")) {
        std::fputs("usage: dexlora-check SYSTEM_FOLDER --skin SKIN_FOLDER [--pictures PICTURE_FOLDER]\n", stderr);
        return 2;
    }
    struct stat st;
    if (stat(argv[3], &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "dexlora-check: %s: not a folder\n", argv[3]);
        return 2;
    }
    return dexlora::CheckSkin(argv[1], argv[3], pictures ? argv[5] : "");
}
