// dexlora-check: lists the romaji each question of a type.txt will ask for, as
// the game builds it, or checks a whole skin folder as start-up loads it.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/keyconf_file.h"
#include "engine/printable.h"
#include "engine/questions.h"
#include "engine/reading_to_romaji.h"
#include "engine/rome_table.h"
#include "platform/core/error.h"
#include "platform/core/files.h"
#include "settings/shared.h"

using namespace dexlora;

namespace {

constexpr const char* Usage =
    "usage: dexlora-check SYSTEM_FOLDER TYPE_TXT\n"
    "       dexlora-check SYSTEM_FOLDER --skin SKIN_FOLDER [--pictures PICTURE_FOLDER]\n"
    "Loads Rome.ini, Rome2.ini and KeyConf.txt from SYSTEM_FOLDER as the game does\n"
    "and prints, for each question of TYPE_TXT, its reading, a tab and the romaji\n"
    "to type, or \"!\" and the reason the game leaves the question out. Control\n"
    "characters are shown as \\xHH. Faults of the tables go to standard error.\n"
    "Exit status: 0 when the game can start with this file, 1 when it cannot,\n"
    "2 for a usage error or a file that cannot be read.\n"
    "With --skin, runs dexlora-skin-check beside it, which loads the skin as\n"
    "the game starts with it and prints each load message (\"log: \"), the\n"
    "failure that would end the game (\"end: \"), and a summary. Exit status:\n"
    "0 when the game starts and runs with the skin, 1 when it would not start or\n"
    "would end at a result, 2 for a missing skin folder.\n"
    "With --pictures, a skin that starts also has its scenes pictured in\n"
    "PICTURE_FOLDER as PNG files: the title, a game with a question half typed,\n"
    "the result at every rank, both pages of the key configuration (\"picture: \"\n"
    "lines). Exit status 2 when a picture cannot be made.\n";

// Text files larger than this are refused, as the game refuses them.
constexpr size_t TextFileLimit = size_t{64} << 20;

// Prints text with its control characters escaped, a piece at a time: a
// reading may be tens of megabytes, and escaping it whole would hold it in
// memory twice more than the game ever does.
void PrintEscaped(std::string_view text) {
    constexpr size_t Piece = size_t{1} << 16;
    while (!text.empty()) {
        size_t end = std::min(Piece, text.size());
        // Never cut a UTF-8 character: move past its continuation bytes (at most three).
        for (int i = 0; i < 3 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80; ++i) ++end;
        const std::string escaped = EscapeControls(text.substr(0, end));
        std::fwrite(escaped.data(), 1, escaped.size(), stdout);
        text.remove_prefix(end);
    }
}

void PrintLine(std::string_view reading, std::string_view result) {
    PrintEscaped(reading);
    std::fputc('\t', stdout);
    PrintEscaped(result);
    std::fputc('\n', stdout);
}

void Warn(const std::string& message) {
    std::fprintf(stderr, "dexlora-check: %s\n", EscapeControls(message).c_str());
}

// What keeps the game from reading the file at path, or "" when nothing does.
// Looks before it opens, so that a FIFO or a device is named, not waited on.
std::string FileProblem(const std::string& given) {
    const std::string path = ResolvePath(given);
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        const int error = errno;
        struct stat link;
        if (error == ENOENT && lstat(path.c_str(), &link) == 0) return "not found (a symbolic link to nothing)";
        if (error == ENOENT || error == ENOTDIR) return "not found";
        if (error == ELOOP) return "cannot be read (a loop of symbolic links)";
        return std::string("cannot be read (") + std::strerror(error) + ")";
    }
    if (S_ISDIR(st.st_mode)) return "not a regular file (a folder)";
    if (!S_ISREG(st.st_mode)) return "not a regular file (a FIFO, device or socket)";
    if (static_cast<uint64_t>(st.st_size) > TextFileLimit) {
        return "too large (" + std::to_string(st.st_size) + " bytes; text files are read up to " +
               std::to_string(TextFileLimit >> 20) + " MB)";
    }
    // The same reader the game uses: what it refuses is what the game meets.
    std::string bytes;
    errno = 0;
    switch (ReadWholeFile(path, bytes, TextFileLimit)) {
        case FileReadStatus::Ok:
            return "";
        case FileReadStatus::Missing:
            return "not found";
        case FileReadStatus::NotAFile:
            return "not a regular file";
        case FileReadStatus::OpenFailed:
            return std::string("cannot be read (") + (errno ? std::strerror(errno) : "it cannot be opened") + ")";
        case FileReadStatus::ReadFailed:
            return "cannot be read (an error while reading)";
        case FileReadStatus::TooLarge:
            return "too large (text files are read up to " + std::to_string(TextFileLimit >> 20) + " MB)";
    }
    return "cannot be read";
}

void ReportTableFindings(const char* name, const RomeEntries& table, int32_t width) {
    for (const RomeTableFinding& finding : CheckRomeTable(table, width)) {
        Warn(std::string("warning: ") + name + " entry " + std::to_string(finding.Entry) + " (line " +
             std::to_string(finding.Line) + "): " + finding.What);
    }
}

// Loads the tables and the spelling choices the way start-up does, naming
// every fault; answers false when a table file cannot be read at all.
bool LoadSystemFolder() {
    for (const char* name : {"Rome.ini", "Rome2.ini"}) {
        std::string problem = FileProblem(SystemPath + name);
        if (!problem.empty()) {
            Warn(SystemPath + name + ": " + problem);
            return false;
        }
    }
    std::string problem;
    if (!LoadRomeTable(RomeTable, "Rome.ini", &problem)) {
        Warn("warning: Rome.ini is malformed at " + problem + "; its first " +
             std::to_string(RomeEntryCount(RomeTable)) + " entries are used");
    }
    if (!LoadRomeTable(Rome2Table, "Rome2.ini", &problem)) {
        Warn("warning: Rome2.ini is malformed at " + problem + "; its first " +
             std::to_string(RomeEntryCount(Rome2Table)) + " entries are used");
    }
    ReportTableFindings("Rome.ini", RomeTable, 1);
    ReportTableFindings("Rome2.ini", Rome2Table, 2);
    for (auto [index, kana] : {std::pair{SmallTsuEntry, "っ"}, std::pair{SyllabicNEntry, "ん"}}) {
        if (index >= RomeEntryCount(RomeTable) || RomeTable[static_cast<size_t>(index)].Count == 0) {
            Warn("warning: Rome.ini has no entry " + std::to_string(index) + " with spellings, which types " + kana +
                 ": every reading with " + kana + " is left out");
        }
    }

    const std::string keyConf = SystemPath + "KeyConf.txt";
    std::string keyConfProblem = FileProblem(keyConf);
    if (keyConfProblem.rfind("not found", 0) == 0) {
        // No choices saved yet: every entry uses its first spelling, as in the game.
    } else if (!keyConfProblem.empty()) {
        Warn("warning: KeyConf.txt " + keyConfProblem + "; every entry uses its first spelling");
    } else if (!LoadKeyConf("KeyConf.txt", &problem)) {
        Warn("warning: KeyConf.txt is malformed at " + problem + "; the entries from there on use their first spelling");
    }
    BuildRomeIndex(RomeIndex, RomeTable, 1);
    BuildRomeIndex(Rome2Index, Rome2Table, 2);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[2]) == "--skin") {
        // Checking a skin loads its pictures and sounds, which needs the
        // drawing layer; that half lives in its own program beside this one,
        // so that checking questions stays free of it.
        const std::string skinChecker = ProgramFolder() + "dexlora-skin-check";
        execv(skinChecker.c_str(), argv);
        Warn(skinChecker + ": " + std::strerror(errno));
        return 2;
    }
    if (argc != 3) {
        std::fputs(Usage, stderr);
        return 2;
    }
    SystemPath = argv[1];
    if (SystemPath.empty() || SystemPath.back() != '/') SystemPath += '/';
    if (!LoadSystemFolder()) return 2;

    const std::string typeTxt = argv[2];
    if (std::string problem = FileProblem(typeTxt); !problem.empty()) {
        Warn(typeTxt + ": " + problem);
        return 2;
    }
    int64_t converted = 0;
    int64_t groups = 0;
    int64_t cutAt = 0;
    try {
        std::string romaji;
        std::string reason;
        const RomeLookup& lookup = RomeLookup::Current();
        cutAt = ReadQuestionFile(typeTxt, [&](const QuestionGroup& group) {
            ++groups;
            if (ReadingToRomaji(romaji, group.Reading, lookup, &reason)) {
                ++converted;
                PrintLine(group.Reading, romaji);
            } else {
                PrintLine(group.Reading, "!" + reason);
            }
        });
    } catch (const RuntimeError& error) {
        Warn(error.what());
        return 2;
    }
    if (cutAt != 0) {
        // The game stops at start-up on such a file.
        std::printf("!the file ends inside the question that starts at line %lld "
                    "(each question takes three lines: text, reading, separator)\n",
                    static_cast<long long>(cutAt));
    }
    std::fprintf(stderr, "dexlora-check: %lld of %lld questions can be typed%s\n", static_cast<long long>(converted),
                 static_cast<long long>(groups), cutAt ? "; the file is cut short, so the game will not start" : "");
    return converted > 0 && !cutAt ? 0 : 1;
}
