// dexlora-check: lists the romaji each question of a type.txt will ask for, as the game builds it.
#include <cstdio>
#include <string>

#include "keyconf/keyconf_file.h"
#include "platform/error.h"
#include "platform/files.h"
#include "skin/settings/shared.h"
#include "typing/reading_to_romaji.h"
#include "typing/rome_table.h"

using namespace dexlora;

namespace {

constexpr const char* Usage =
    "usage: dexlora-check SYSTEM_FOLDER TYPE_TXT\n"
    "Loads Rome.ini, Rome2.ini and KeyConf.txt from SYSTEM_FOLDER as the game does\n"
    "and prints, for each question of TYPE_TXT, its reading, a tab and the romaji\n"
    "to type, or \"!\" and the reason the game leaves the question out.\n"
    "Exit status: 0 when the game can start with this file, 1 when it cannot,\n"
    "2 for a usage error or a missing file.\n";

void PrintLine(const std::string& reading, const std::string& result) {
    std::printf("%s\t%s\n", reading.c_str(), result.c_str());
}

// Loads the tables and the spelling choices the way start-up does; answers
// false (after a message) when a table file is missing altogether.
bool LoadSystemFolder() {
    for (const char* name : {"Rome.ini", "Rome2.ini"}) {
        if (!FileExists(SystemPath + name)) {
            std::fprintf(stderr, "dexlora-check: %s%s not found\n", SystemPath.c_str(), name);
            return false;
        }
    }
    if (!LoadRomeTable(RomeTable, "Rome.ini")) {
        std::fprintf(stderr, "dexlora-check: warning: Rome.ini is malformed; its first %d entries are used\n",
                     RomeEntryCount(RomeTable));
    }
    if (!LoadRomeTable(Rome2Table, "Rome2.ini")) {
        std::fprintf(stderr, "dexlora-check: warning: Rome2.ini is malformed; its first %d entries are used\n",
                     RomeEntryCount(Rome2Table));
    }
    if (FileExists(SystemPath + "KeyConf.txt") && !LoadKeyConf("KeyConf.txt")) {
        std::fprintf(stderr,
                     "dexlora-check: warning: KeyConf.txt is short or holds a line that is not a number; "
                     "the entries after it use their first spelling\n");
    }
    BuildRomeIndex(RomeIndex, RomeTable, 1);
    BuildRomeIndex(Rome2Index, Rome2Table, 2);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs(Usage, stderr);
        return 2;
    }
    SystemPath = argv[1];
    if (SystemPath.empty() || SystemPath.back() != '/') SystemPath += '/';
    if (!LoadSystemFolder()) return 2;

    int converted = 0;
    int groups = 0;
    bool cutShort = false;
    try {
        TextFileReader file(argv[2]);
        int line = 0;
        while (!file.AtEnd()) {
            int start = line + 1;
            std::string lines[3];
            for (std::string& text : lines) {
                if (file.AtEnd()) {
                    cutShort = true;
                    break;
                }
                text = file.ReadLine();
                ++line;
            }
            if (cutShort) {
                // The game stops at start-up on such a file.
                std::printf("!the file ends inside the question that starts at line %d "
                            "(each question takes three lines: text, reading, separator)\n",
                            start);
                break;
            }
            ++groups;
            std::string romaji;
            std::string reason;
            if (ReadingToRomaji(romaji, lines[1], &reason)) {
                ++converted;
                PrintLine(lines[1], romaji);
            } else {
                PrintLine(lines[1], "!" + reason);
            }
        }
    } catch (const RuntimeError& error) {
        std::fprintf(stderr, "dexlora-check: %s\n", error.what());
        return 2;
    }
    std::fprintf(stderr, "dexlora-check: %d of %d questions can be typed%s\n", converted, groups,
                 cutShort ? "; the file is cut short, so the game will not start" : "");
    return converted > 0 && !cutShort ? 0 : 1;
}
