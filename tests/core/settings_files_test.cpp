// Text and settings files: CP932, which files are read, atomic writes and their failures, the profile rules,
// colours and numbers, and where the player's settings are saved.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <thread>

#include "engine/keyconf_file.h"
#include "engine/rome_table.h"
#include "platform/core/encoding.h"
#include "platform/core/error.h"
#include "platform/core/files.h"
#include "platform/core/profile.h"
#include "platform/core/testing.h"
#include "settings/convert.h"
#include "settings/ini.h"
#include "settings/shared.h"
#include "settings/user_settings.h"
#include "tests/support/temp_folder.h"

namespace dexlora {
namespace {

using test::TempFolder;
using namespace std::string_literals;

std::string Repeat(std::string_view text, int times) {
    std::string out;
    while (times--) out += text;
    return out;
}

TEST(Encoding, Cp932AsWindowsWritesIt) {
    // Both: lossless both ways. Decode: bad bytes become U+FFFD. Encode: what CP932 lacks becomes '?' or a
    // look-alike, and TryUtf8ToCp932 refuses it.
    enum Way { Both, Decode, Encode };
    const std::tuple<Way, std::string_view, std::string_view> cases[] = {
        {Both, "C:\\skin\\", "C:\\skin\\"}, {Both, "\x81\x60", "\uFF5E"},  // 0x5C, the wave dash as Windows maps it
        {Both, "\xB1\xDD~", "\uFF71\uFF9D~"}, {Decode, "A\x81\r\nB", "A\uFFFD\r\nB"}, {Encode, "?", "\u3094"},
        {Decode, "\x82\xA0\xFF\x82\xA0", "\u3042\uFFFD\u3042"}, {Encode, "\x81\x91", "\u00A2"}, {Encode, "a??", "a\xE3\x81"},
    };
    for (std::string exact; const auto& [way, cp932, utf8] : cases) {
        EXPECT_TRUE(way == Encode || Cp932ToUtf8(cp932) == utf8) << utf8;
        EXPECT_TRUE(way == Decode || Utf8ToCp932(utf8) == cp932) << utf8;
        EXPECT_EQ(TryUtf8ToCp932(utf8, exact) && exact == cp932, way == Both) << utf8;
    }
    // Long texts go to iconv in slices: a character cut by a slice's end is whole in the next one.
    EXPECT_TRUE(Cp932ToUtf8(Repeat("\x82\xA0\x82\xA2z", 40000)) == Repeat("\u3042\u3044z", 40000));
    EXPECT_TRUE(Utf8ToCp932(Repeat("\u3042\u3044z", 40000)) == Repeat("\x82\xA0\x82\xA2z", 40000));
}

TEST(Files, OnlyRegularFilesWithinTheLimitAreRead) {
    // A FIFO opened for reading would wait forever, a huge file would fill memory (64 GiB: a size cut to 32
    // bits would pass): no reader takes either, and no write replaces them.
    TempFolder temp;
    alarm(60);
    const std::string fifo = temp.Path() + "fifo.ini", huge = temp.Write("huge.ini", ""), vast = temp.Write("v.ini", "");
    ASSERT_TRUE(!mkfifo(fifo.c_str(), 0644) && !truncate(huge.c_str(), MaxTextFileBytes + 1) &&
                !truncate(vast.c_str(), 1L << 36));
    using S = FileReadStatus;
    for (auto [path, status] : {std::pair{fifo, S::NotAFile}, {huge, S::TooLarge}, {vast, S::TooLarge}}) {
        std::string bytes = "left over";
        EXPECT_TRUE(ReadWholeFile(path, bytes) == status && bytes.empty()) << path;
        EXPECT_EQ(GetPrivateProfileString("A", "x", "default", path), "default") << path;
        EXPECT_FALSE(WritePrivateProfileString("A", "x", "1", path)) << path;
        EXPECT_EQ(std::filesystem::status(path).type() == std::filesystem::file_type::fifo, path == fifo) << path;
    }
    alarm(0);
}

TEST(Files, WritesGoThroughLinksAndLeaveReadOnlyFilesAlone) {
    // How K.txt is made; whether the write succeeds; where the content lands (nullptr: nowhere).
    const auto link = [](const TempFolder& t, const char* to, const char* name) { symlink(to, (t.Path() + name).c_str()); };
    const auto file = [](const TempFolder& t, const char* name, mode_t mode) { chmod(t.Write(name, "old").c_str(), mode); };
    const std::tuple<const char*, std::function<void(const TempFolder&)>, bool, const char*> cases[] = {
        {"new file", [](auto&) {}, true, "K.txt"},
        {"read-only file", [&](auto& t) { file(t, "K.txt", 0444); }, false, "K.txt"},
        {"link to a link to a file elsewhere", [&](auto& t) {
             file(t, "real/K.txt", 0640), link(t, "real/K.txt", "L.txt"), link(t, "L.txt", "K.txt"); }, true, "real/K.txt"},
        {"link to a read-only file", [&](auto& t) { file(t, "real/K.txt", 0444), link(t, "real/K.txt", "K.txt"); },
         false, "real/K.txt"},
        {"dangling link", [&](auto& t) { link(t, "real/none.txt", "K.txt"); }, false, nullptr},
        {"link loop", [&](auto& t) { link(t, "K.txt", "L.txt"), link(t, "L.txt", "K.txt"); }, false, nullptr},
    };
    for (const auto& [name, make, written, file] : cases) {
        TempFolder temp;
        make(temp);
        EXPECT_EQ(WriteFileAtomically(temp.Path() + "K.txt", "new"), written) << name;
        EXPECT_TRUE(!file || TempFolder::Read(temp.Path() + file) == (written ? "new" : "old")) << name;
    }
}

TEST(Profile, GetPrivateProfileStringAndIntLookValuesUp) {
    // The file's bytes (written in CP932), the key looked up in section "g", and its value (default "d").
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"[G]\r\nText=Hello", "tEXT", "Hello"}, {"[G]\r\n  Spaced Key  =   v b   ", "Spaced Key", "v b"},
        {"[G]\r\nV=", "V", ""}, {"[G]\r\nV=1", "W", "d"}, {"[H]\r\nV=1", "V", "d"}, {"[G]\r\nV", "V", "d"},
        {"[G]\r\n;V=1", ";V", "d"}, {"[G]\r\nV=\"  a b  \"", "V", "  a b  "}, {"[G]\r\nV=1\r\nV=2", "V", "1"},
        {"[G]\r\nV=" + Repeat("\u3042", 64), "V", Repeat("\u3042", 63)},  // cut to 127 bytes, not inside a character
        {"[G]\r\n\u30A2=k", "\u30C2", "d"},       // ア 83 41, ヂ 83 61: a second byte is not case-folded
        {"[G]\r\n[\u30BE\r\nV=in G", "V", "in G"},  // ゾ 83 5D: ']' as a second byte closes no header
        {"[G]\rV=1\r", "V", "1"},
    };
    TempFolder temp;
    for (const auto& [file, key, expected] : cases) {
        temp.Write("Sample.ini", Utf8ToCp932(file));
        EXPECT_EQ(GetPrivateProfileString("g", key, "d", temp.Path() + "SAMPLE.INI"), expected) << file;
    }
    // GetPrivateProfileInt, default 99.
    for (auto [body, expected] : {std::pair{"V=12abc", 12}, {"V= -42", -42}, {"V=0x1F", 31}, {"V=4294967295", -1}})
        EXPECT_EQ(GetPrivateProfileInt("G", "V", 99, temp.Write("Sample.ini", "[G]\r\n"s + body)), expected) << body;
}

TEST(Profile, WritePrivateProfileStringEditsInPlace) {
    // before: nullopt for no file. after: nullopt when the write must be refused, leaving the file as it was.
    using Text = std::optional<std::string>;
    const std::string mixed = "; top\r\n[A]\nx=1\n\n[S]\r\n  K = old \r\nO=2\r\n\r\n[B]\r\ny=3", one = "[A]\r\nx=1\r\n";
    const std::tuple<Text, std::string, std::string, std::string, Text> cases[] = {
        {std::nullopt, "System", "SkinPath", "C:\\s\\", "[System]\r\nSkinPath=C:\\s\\\r\n"},
        {mixed, "s", "k", "/n/", "; top\r\n[A]\nx=1\n\n[S]\r\nK=/n/\r\nO=2\r\n\r\n[B]\r\ny=3"},
        {mixed, "S", "N", "z", "; top\r\n[A]\nx=1\n\n[S]\r\n  K = old \r\nO=2\r\nN=z\r\n\r\n[B]\r\ny=3"},
        {mixed, "B", "z", "4", mixed + "\r\nz=4\r\n"}, {mixed, "New", "k", "v", mixed + "\r\n\r\n[New]\r\nk=v\r\n"},
        {one + "x=2\r\n", "A", "x", "9", "[A]\r\nx=9\r\nx=2\r\n"},
        {"[A]", "A", "x", "\u30B9\u30AD\u30F3\\", "[A]\r\nx=\x83\x58\x83\x4C\x83\x93\\\r\n"},
        {one, "A", "x", "a\r\nb=c", {}}, {one, "A", "x", "a\0b"s, {}}, {one, "A", "x", "/jos\u00E9/", {}},
        {one, "A", "", "1", {}},        {one, "A", "a=b", "1", {}},   {one, "A", ";x", "1", {}},
    };
    for (const auto& [before, section, key, value, after] : cases) {
        TempFolder temp;
        if (before) temp.Write("System.ini", *before);
        // SYSTEM.INI names the existing System.ini.
        const std::string file = temp.Path() + "SYSTEM.INI", row = "[" + section + "] " + key + "=" + value;
        EXPECT_EQ(WritePrivateProfileString(section, key, value, file), after.has_value()) << row;
        EXPECT_EQ(TempFolder::Read(ResolvePath(file)), after.value_or(*before)) << row;
    }
}

// The settings files read last are kept parsed: a file changed in any way is read afresh.
TEST(Profile, ChangedFilesReadAfresh) {
    auto edit = [](const std::string& file, int value) {  // same size, time stamps put back
        struct stat st {};
        stat(file.c_str(), &st), std::ofstream(file, std::ios::binary) << "[A]\r\nx=" << value << "\r\n";
        const timespec times[2] = {st.st_atim, st.st_mtim};
        utimensat(AT_FDCWD, file.c_str(), times, 0);
    };
    const std::tuple<const char*, std::function<void(const std::string&)>, int32_t> cases[] = {
        {"edited in place, same size and times", [&](auto& file) { edit(file, 2); }, 2},
        {"replaced by a rename", [](auto& file) { std::filesystem::rename(file + "2", file); }, 2},
        {"deleted", [](auto& file) { std::filesystem::remove(file); }, -1},
        {"written through a link in another spelling", [](auto& file) {
             symlink(file.c_str(), (file + ".link").c_str()), WritePrivateProfileString("a", "X", "2", file + ".LINK"); }, 2},
    };
    TempFolder temp;
    for (size_t i = 0; i < std::size(cases); ++i) temp.Write(std::to_string(i) + "/file", "[A]\r\nx=1\r\n");
    temp.Write("1/file2", "[A]\r\nx=2\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));  // old enough to be kept, whatever the clock's grain
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [name, change, expected] = cases[i];
        const std::string file = temp.Path() + std::to_string(i) + "/file";
        for (int read = 0; read < 2; ++read) EXPECT_EQ(GetPrivateProfileInt("A", "x", -1, file), 1) << name;
        change(file);
        EXPECT_EQ(GetPrivateProfileInt("A", "x", -1, file), expected) << name;
    }
    for (int n = 3; n < 30; ++n) {  // edits this close together may leave every time stamp as it was
        edit(temp.Path() + "0/file", n % 10);
        ASSERT_EQ(GetPrivateProfileInt("A", "x", -1, temp.Path() + "0/file"), n % 10) << n;
    }
}

TEST(Ini, ColoursAndNumbers) {
    // CLng reads the result's rank points, CInt the colours' parts, CSng the sprites' steps (its values are the fuzz
    // target's to check against the C library). The value when the error is 0.
    TempFolder temp;
    enum Kind { Int, Lng, Sng, Colour };
    const int32_t T = ErrTypeMismatch, O = ErrOverflow;
    const std::tuple<Kind, std::string, int32_t, int32_t> cases[] = {
        {Colour, "300,2.5,3.5", PackColor(255, 2, 4), 0}, {Colour, "10,20", 0, 0}, {Colour, "40000,0,0", 0, 0},
        {Int, "  42  ", 42, 0}, {Int, "2.5", 2, 0}, {Int, "-2.5", -2, 0}, {Int, "32767.5", 0, O}, {Lng, "7.", 7, 0},
        {Lng, "-2147483648", INT32_MIN, 0}, {Lng, "2147483646.5", 2147483646, 0}, {Lng, "2147483647.5", 0, O},
        {Lng, "-2147483649", 0, O}, {Lng, "99999999999999999999", 0, O}, {Lng, "", 0, T}, {Lng, "12abc", 0, T},
        {Lng, "-", 0, T}, {Lng, ".", 0, T}, {Lng, "1 2", 0, T}, {Lng, "1e3", 0, T}, {Lng, "\uFF11", 0, T},
        {Sng, " -.5e1 ", -5, 0}, {Sng, "1e", 0, T}, {Sng, "inf", 0, T}, {Sng, "0x10", 0, T}, {Sng, "+-1", 0, T},
    };
    for (const auto& [kind, text, value, error] : cases) {
        std::pair<int32_t, int32_t> got;
        try {
            got.first = kind == Int ? CInt(text) : kind == Lng ? CLng(text) : kind == Sng ? int32_t(CSng(text))
                      : ReadIniColor(temp.Write("Game.ini", "[Color]\r\nC=" + text), "Color", "C");
        } catch (const RuntimeError& e) { got.second = e.Number; }
        EXPECT_EQ(got, std::pair(value, error)) << "CInt CLng CSng Colour"s.substr(kind * 5, 6) << text;
    }
}

// Two kana of two spellings each and no pairs; newer selects the second spellings.
void SetChoices(bool newer) {  // two spare entries after the kana
    RomeTable.assign(2, RomeEntry{"", 2, {"A", "B", ""}, newer ? 1 : 0}), RomeTable.resize(4), Rome2Table.assign(2, {});
}

// One kind of save: its file, the bytes before and after, the game's save, and whether a start reads it back.
struct SaveKind { const char* file; std::string oldBytes, newBytes; bool (*save)(bool newer); bool (*readsNewer)(); };
const SaveKind Kinds[] = {
    {"KeyConf.txt", "0\r\n0\r\n", "1\r\n1\r\n", [](bool newer) { return SetChoices(newer), SaveKeyConf("KeyConf.txt"); },
     [] { return SetChoices(false), LoadKeyConf("KeyConf.txt") && RomeTable[1].Selected == 1; }},
    {"System.ini", "[System]\r\nSkinPath=/old\r\n[Install]\r\nEdition=7\r\n",
     "[System]\r\nSkinPath=/new\r\n[Install]\r\nEdition=7\r\n",
     [](bool newer) { return WriteIniString(SettingsFileToWrite("System.ini"), "System", "SkinPath", newer ? "/new" : "/old"); },
     [] { return ReadIniString(SettingsFileToRead("System.ini"), "System", "SkinPath", "") == "/new"; }},
};

// "old" or "new" for the whole versions, else the bytes; then every other entry of the folder.
std::string State(const std::string& folder, const SaveKind& kind) {
    const std::string bytes = TempFolder::Read(folder + kind.file);
    std::string state = bytes == kind.oldBytes ? "old" : bytes == kind.newBytes ? "new" : "torn: " + bytes;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename() != kind.file) state += " + " + entry.path().filename().string();
    return state;
}

std::pair<AtomicWriteStep, int> chosen;  // the failing step, and its error (-1: the program is killed there)

TEST(Saves, EachLandsWholeWhereTheNextStartReadsItOrLeavesTheOldVersion) {
    using Step = AtomicWriteStep;
    // The installed file's mode (0 for no file, -1 for no system folder at all), a user copy, the save's target.
    const std::tuple<const char*, int, bool, bool> places[] = {
        {"writable system copy", 0644, false, false}, {"read-only system copy, a user copy made", 0444, false, true},
        {"no system folder", -1, false, true}, {"the player's copy comes first", 0644, true, true},
    };
    for (const SaveKind& kind : Kinds) {
        for (auto [step, error] : {std::pair{Step::CreateTemporary, ENOSPC}, {Step::Write, ENOSPC}, {Step::Flush, EIO},
                                   {Step::Close, ENOSPC}, {Step::Rename, EACCES}, {Step::SyncFolder, EIO}}) {
            for (const bool killed : {false, true}) {  // a failure, or the program killed at that step
                const std::string row = kind.file + " at step "s + std::to_string(int(step)) + (killed ? " killed" : "");
                const std::string renamed = step == Step::SyncFolder ? "new" : "old";  // the new file is in place already
                TempFolder temp;
                SystemPath = temp.Write(kind.file, kind.oldBytes).substr(0, temp.Path().size());
                chosen = {step, killed ? -1 : error};
                AtomicWriteFaultForTests = [](Step s) {
                    return s != chosen.first ? 0 : chosen.second < 0 ? raise(SIGKILL) : chosen.second;
                };
                const pid_t child = killed ? fork() : 1;
                if (child == 0) _exit(kind.save(true));
                int status = 0;
                EXPECT_TRUE(killed ? waitpid(child, &status, 0) == child && WIFSIGNALED(status)
                                   : kind.save(true) == (renamed == "new")) << row << ": not killed, or a failure passed";
                AtomicWriteFaultForTests = nullptr;
                EXPECT_EQ(State(temp.Path(), kind).substr(0, killed ? 3 : std::string::npos), renamed) << row;
                // After a kill, the next save lands whole and takes away what the killed one left.
                if (killed) { EXPECT_EQ(kind.save(false) ? State(temp.Path(), kind) : "not saved", "old") << row; }
            }
        }
        // A real write cut short: a file size limit binds root too, and the write fails with EFBIG, not SIGXFSZ.
        TempFolder cut;
        SystemPath = cut.Write(kind.file, kind.oldBytes).substr(0, cut.Path().size());
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
        const rlimit small = {4, previous.rlim_max};
        const bool saved = setrlimit(RLIMIT_FSIZE, &small) == 0 && kind.save(true);
        setrlimit(RLIMIT_FSIZE, &previous);
        EXPECT_EQ(saved ? "saved" : State(cut.Path(), kind), "old") << kind.file << " past a file size limit";
        for (const auto& [name, systemMode, userCopy, toUser] : places) {
            const std::string row = kind.file + ", "s + name;
            TempFolder temp;
            SystemPath = temp.Path() + "system/", UserSettingsPath = temp.Path() + "home/.config/dexlora/";
            if (systemMode >= 0) std::filesystem::create_directories(SystemPath);
            if (systemMode > 0) chmod(temp.Write("system/"s + kind.file, kind.oldBytes).c_str(), systemMode);
            if (userCopy) temp.Write("home/.config/dexlora/"s + kind.file, kind.oldBytes);
            EXPECT_TRUE(kind.save(true) && kind.readsNewer()) << row;
            const std::string target = (toUser ? UserSettingsPath : SystemPath) + kind.file;
            EXPECT_TRUE(FileExists(target) && (systemMode <= 0 || TempFolder::Read(target) == kind.newBytes)) << row;
            EXPECT_TRUE(!toUser || systemMode <= 0 || TempFolder::Read(SystemPath + kind.file) == kind.oldBytes) << row;
        }
        UserSettingsPath.clear();
    }
}

}  // namespace
}  // namespace dexlora
