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
#include <fstream>
#include <functional>
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
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

TEST(Encoding, Cp932AsWindowsWritesIt) {
    // Both: lossless both ways. Decode: bad bytes become U+FFFD. Encode: what CP932 lacks becomes '?' or a
    // look-alike, and TryUtf8ToCp932 refuses it.
    enum Way { Both, Decode, Encode };
    struct Case { Way way; std::string_view cp932, utf8; };
    const Case cases[] = {
        {Both, "C:\\skin\\", "C:\\skin\\"}, {Both, "\x81\x60", "\uFF5E"},  // 0x5C, the wave dash as Windows maps it
        {Both, "\xB1\xDD~", "\uFF71\uFF9D~"}, {Decode, "A\x81\r\nB", "A\uFFFD\r\nB"}, {Encode, "?", "\u3094"},
        {Decode, "\x82\xA0\xFF\x82\xA0", "\u3042\uFFFD\u3042"}, {Encode, "\x81\x91", "\u00A2"}, {Encode, "a??", "a\xE3\x81"},
    };
    for (const Case& c : cases) {
        std::string exact;
        EXPECT_TRUE(c.way == Encode || Cp932ToUtf8(c.cp932) == c.utf8) << c.utf8;
        EXPECT_TRUE(c.way == Decode || Utf8ToCp932(c.utf8) == c.cp932) << c.utf8;
        EXPECT_EQ(TryUtf8ToCp932(c.utf8, exact) && exact == c.cp932, c.way == Both) << c.utf8;
    }
    // Long texts go to iconv in slices: a character cut by a slice's end is whole in the next one.
    EXPECT_TRUE(Cp932ToUtf8(Repeat("\x82\xA0\x82\xA2z", 40000)) == Repeat("\u3042\u3044z", 40000));
    EXPECT_TRUE(Utf8ToCp932(Repeat("\u3042\u3044z", 40000)) == Repeat("\x82\xA0\x82\xA2z", 40000));
}

TEST(Files, OnlyRegularFilesWithinTheLimitAreRead) {
    TempFolder temp;
    // A FIFO opened for reading would wait forever, a huge file would fill memory: no reader takes either,
    // and no write replaces them.
    alarm(60);
    const std::string fifo = temp.Path() + "fifo.ini", huge = temp.Write("huge.ini", "");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(truncate(huge.c_str(), MaxTextFileBytes + 1), 0);
    for (const auto& [path, status] : {std::pair{fifo, FileReadStatus::NotAFile}, {huge, FileReadStatus::TooLarge}}) {
        std::string bytes = "left over";
        EXPECT_TRUE(ReadWholeFile(path, bytes) == status && bytes.empty()) << path;
        EXPECT_THROW(TextFileReader{path}, RuntimeError) << path;
        EXPECT_EQ(GetPrivateProfileString("A", "x", "default", path), "default") << path;
        EXPECT_FALSE(WritePrivateProfileString("A", "x", "1", path)) << path;
        EXPECT_EQ(std::filesystem::status(path).type() == std::filesystem::file_type::fifo, path == fifo) << path;
    }
    alarm(0);
}

TEST(Files, WritesGoThroughLinksKeepModesAndLeaveReadOnlyFilesAlone) {
    // How K.txt is made; whether the write succeeds; where the content lands (nullptr: nowhere); its mode after.
    struct Case { const char* name; std::function<void(const TempFolder&)> make; bool written; const char* file;
                  mode_t mode; };
    const auto link = [](const TempFolder& t, const char* to, const char* name) { symlink(to, (t.Path() + name).c_str()); };
    const auto file = [](const TempFolder& t, const char* name, mode_t mode) { chmod(t.Write(name, "old").c_str(), mode); };
    const Case cases[] = {
        {"new file", [](auto&) {}, true, "K.txt", 0},
        {"read-only file", [&](auto& t) { file(t, "K.txt", 0444); }, false, "K.txt", 0444},
        {"link to a link to a file elsewhere", [&](auto& t) {
             file(t, "real/K.txt", 0640), link(t, "real/K.txt", "L.txt"), link(t, "L.txt", "K.txt"); }, true, "real/K.txt", 0640},
        {"link to a read-only file", [&](auto& t) { file(t, "real/K.txt", 0444), link(t, "real/K.txt", "K.txt"); },
         false, "real/K.txt", 0444},
        {"dangling link", [&](auto& t) { link(t, "real/none.txt", "K.txt"); }, false, nullptr, 0},
        {"link loop", [&](auto& t) { link(t, "K.txt", "L.txt"), link(t, "L.txt", "K.txt"); }, false, nullptr, 0},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        c.make(temp);
        const std::string path = temp.Path() + "K.txt";
        const bool wasLink = std::filesystem::is_symlink(path);
        EXPECT_EQ(WriteFileAtomically(path, "new"), c.written) << c.name;
        EXPECT_EQ(std::filesystem::is_symlink(path), wasLink) << c.name << ": the link must stay";
        EXPECT_TRUE(!c.file || TempFolder::Read(temp.Path() + c.file) == (c.written ? "new" : "old")) << c.name;
        EXPECT_TRUE(!c.mode || std::filesystem::status(temp.Path() + c.file).permissions() == std::filesystem::perms(c.mode))
            << c.name;
    }
    TempFolder temp;  // the temporary file's name must stay within NAME_MAX
    EXPECT_TRUE(WriteFileAtomically(temp.Write(std::string(250, 'k'), "old"), "new")) << "a name of 250 bytes";
}

const std::string A = "\u3042";  // あ, two bytes in CP932

TEST(Profile, GetPrivateProfileStringAndIntLookValuesUp) {
    // The file's bytes (written in CP932), the key looked up in section "g", and its value (default "d").
    struct Case { std::string file; std::string key, expected; };
    const Case cases[] = {
        {"[G]\r\nText=Hello", "tEXT", "Hello"}, {"[G]\r\n  Spaced Key  =   v b   ", "Spaced Key", "v b"},
        {"[G]\r\nV=", "V", ""}, {"[G]\r\nV=1", "W", "d"}, {"[H]\r\nV=1", "V", "d"}, {"[G]\r\nV", "V", "d"},
        {"[G]\r\n;V=1", ";V", "d"}, {"[G]\r\nV=\"  a b  \"", "V", "  a b  "}, {"[G]\r\nV='x'", "V", "x"},
        {"[G]\r\nV=\"abc'", "V", "\"abc'"}, {"[G]\r\nV=1\r\nV=2", "V", "1"}, {"[G]\r\n[B\r\nV=1", "V", "1"},
        {"[G]\r\nV=1\r\n[g]\r\nW=2", "W", "d"},  // only the first section of a name
        {"[G]\r\nV=" + Repeat(A, 64), "V", Repeat(A, 63)},  // cut to 127 bytes, not inside a character
        {"[G]\r\n\u30A2=k", "\u30C2", "d"},       // ア 83 41, ヂ 83 61: a second byte is not case-folded
        {"[G]\r\n[\u30BE\r\nV=in G", "V", "in G"},  // ゾ 83 5D: ']' as a second byte closes no header
        {"[G\0]\r\nV=1"s, "V", "d"}, {"[G]\r\nV=a\0b"s, "V", "a"}, {"[G]\rV=1\r", "V", "1"},
    };
    TempFolder temp;
    for (const Case& c : cases) {
        temp.Write("Sample.ini", Utf8ToCp932(c.file));
        EXPECT_EQ(GetPrivateProfileString("g", c.key, "d", temp.Path() + "SAMPLE.INI"), c.expected) << c.file;
    }
    EXPECT_EQ(GetPrivateProfileString("g", "none", Repeat(A, 64), temp.Path() + "Sample.ini"), Repeat(A, 63));
    EXPECT_EQ(GetPrivateProfileString("g", "none", "jos\u00E9", temp.Path() + "Sample.ini"), "jos\u00E9");
    const std::pair<const char*, int32_t> numbers[] = {  // the value of V, and its whole number (default 99)
        {"V=12abc", 12}, {"V=abc", 0}, {"V= -42", -42}, {"V=+7", 7}, {"V=0x1F", 31}, {"V='5'", 5}, {"V=4294967295", -1},
        {"V=", 99}, {"W=1", 99},
    };
    for (const auto& [body, expected] : numbers) {
        EXPECT_EQ(GetPrivateProfileInt("G", "V", 99, temp.Write("Sample.ini", "[G]\r\n"s + body)), expected) << body;
    }
}

TEST(Profile, WritePrivateProfileStringEditsInPlace) {
    // before: nullopt for no file. after: nullopt when the write must be refused, leaving the file as it was.
    using Text = std::optional<std::string>;
    struct Case { Text before; std::string section, key, value; Text after; };
    const std::string mixed = "; top\r\n[A]\nx=1\n\n[S]\r\n  K = old \r\nO=2\r\n\r\n[B]\r\ny=3";
    const std::string one = "[A]\r\nx=1\r\n";
    const Case cases[] = {
        {std::nullopt, "System", "SkinPath", "C:\\s\\", "[System]\r\nSkinPath=C:\\s\\\r\n"},
        {mixed, "s", "k", "/n/", "; top\r\n[A]\nx=1\n\n[S]\r\nK=/n/\r\nO=2\r\n\r\n[B]\r\ny=3"},
        {mixed, "S", "N", "z", "; top\r\n[A]\nx=1\n\n[S]\r\n  K = old \r\nO=2\r\nN=z\r\n\r\n[B]\r\ny=3"},
        {mixed, "B", "z", "4", mixed + "\r\nz=4\r\n"}, {mixed, "New", "k", "v", mixed + "\r\n\r\n[New]\r\nk=v\r\n"},
        {one + "x=2\r\n", "A", "x", "9", "[A]\r\nx=9\r\nx=2\r\n"},
        {"[A]", "A", "x", "\u30B9\u30AD\u30F3\\", "[A]\r\nx=\x83\x58\x83\x4C\x83\x93\\\r\n"},
        {one, "A", "x", "a\r\nb=c", {}}, {one, "A", "x", "a\0b"s, {}}, {one, "A", "x", "/jos\u00E9/", {}},
        {one, "A", "", "1", {}},        {one, "A", "a=b", "1", {}},   {one, "A", ";x", "1", {}},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        if (c.before) temp.Write("System.ini", *c.before);
        const std::string file = temp.Path() + "SYSTEM.INI";  // names the existing System.ini
        const std::string row = "[" + c.section + "] " + c.key + "=" + c.value;
        EXPECT_EQ(WritePrivateProfileString(c.section, c.key, c.value, file), c.after.has_value()) << row;
        EXPECT_EQ(TempFolder::Read(ResolvePath(file)), c.after.value_or(*c.before)) << row;
    }
}

// Rewrites file with x=value (one digit: the same size), then puts its modification time back as it was.
void EditKeepingTimes(const std::string& file, int value) {
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    std::ofstream(file, std::ios::binary) << "[A]\r\nx=" << value << "\r\n";
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

TEST(Profile, ChangedFilesReadAfresh) {
    // Each file is read (and kept, once old enough) as x=1, then changed, then read again.
    struct Case { const char* name; std::function<void(const std::string& file)> change; int32_t expected; };
    const Case cases[] = {
        {"edited in place, same size and modification time", [](auto& file) { EditKeepingTimes(file, 2); }, 2},
        {"replaced by a rename", [](auto& file) { std::filesystem::rename(file + "2", file); }, 2},
        {"deleted", [](auto& file) { std::filesystem::remove(file); }, -1},
        {"written through a link in another spelling", [](auto& file) {
             symlink(file.c_str(), (file + ".link").c_str()), WritePrivateProfileString("a", "X", "2", file + ".LINK"); }, 2},
    };
    TempFolder temp;
    std::vector<std::string> files;
    for (size_t i = 0; i < std::size(cases); ++i) files.push_back(temp.Write(std::to_string(i) + "/file", "[A]\r\nx=1\r\n"));
    temp.Write("1/file2", "[A]\r\nx=2\r\n");
    struct stat st {};
    ASSERT_EQ(stat(files.back().c_str(), &st), 0);  // time stamps of whole seconds take two seconds to settle
    std::this_thread::sleep_for(std::chrono::milliseconds(st.st_mtim.tv_nsec == 0 ? 2100 : 200));
    for (size_t i = 0; i < std::size(cases); ++i) {
        for (int read = 0; read < 2; ++read) EXPECT_EQ(GetPrivateProfileInt("A", "x", -1, files[i]), 1) << cases[i].name;
        cases[i].change(files[i]);
        EXPECT_EQ(GetPrivateProfileInt("A", "x", -1, files[i]), cases[i].expected) << cases[i].name;
    }
    for (int edit = 3; edit < 50; ++edit) {  // edits this close together may leave every time stamp as it was
        EditKeepingTimes(files[0], edit % 10);
        ASSERT_EQ(GetPrivateProfileInt("A", "x", -1, files[0]), edit % 10) << "quick edit " << edit;
    }
}

TEST(Ini, ColoursAndNumbers) {
    TempFolder temp;
    for (const auto& [value, colour] : {std::pair{"300,2.5,3.5", PackColor(255, 2, 4)}, {"10,20", 0}, {"1,2,3,4", 0},
                                        {"-1,0,0", 0}, {"1,,3", 0}, {"40000,0,0", 0}}) {
        EXPECT_EQ(ReadIniColor(temp.Write("Game.ini", "[Color]\r\nC="s + value), "Color", "C"), colour) << value;
    }
    // The values CSng gives are the fuzz target's to check against the C library; here its forms.
    enum Kind { Int, Lng, Sng };
    struct Case { Kind kind; std::string text; int32_t value; int32_t error; };  // value when error is 0
    const int32_t T = ErrTypeMismatch, O = ErrOverflow;
    const Case cases[] = {
        {Int, "  42  ", 42, 0}, {Int, "\t-7", -7, 0}, {Int, "1.5", 2, 0}, {Int, "2.5", 2, 0}, {Int, "3.5", 4, 0},
        {Int, "-2.5", -2, 0}, {Int, "2.50001", 3, 0}, {Int, ".5", 0, 0}, {Int, "-32768.5", -32768, 0},
        {Int, "32767.5", 0, O}, {Int, "-32769", 0, O}, {Int, "99999999999999999999", 0, O}, {Int, "7.", 7, 0},
        {Int, "", 0, T}, {Int, "12abc", 0, T}, {Int, "-", 0, T}, {Int, ".", 0, T}, {Int, "1 2", 0, T}, {Int, "1e3", 0, T},
        {Int, "\uFF11", 0, T}, {Lng, "-2147483648", INT32_MIN, 0}, {Lng, "2147483646.5", 2147483646, 0},
        {Lng, "2147483647.5", 0, O}, {Lng, "-2147483649", 0, O}, {Sng, " -.5e1 ", -5, 0}, {Sng, "", 0, T},
        {Sng, "1e", 0, T}, {Sng, "inf", 0, T}, {Sng, "0x10", 0, T}, {Sng, "+-1", 0, T}, {Sng, "1e5.5", 0, T},
    };
    for (const Case& c : cases) {
        int32_t value = 0, error = 0;
        try {
            value = c.kind == Int ? CInt(c.text) : c.kind == Lng ? CLng(c.text) : static_cast<int32_t>(CSng(c.text));
        } catch (const RuntimeError& e) {
            error = e.Number;
        }
        EXPECT_EQ(std::pair(value, error), std::pair(c.value, c.error)) << "CInt CLng CSng"s.substr(c.kind * 5, 5) << c.text;
    }
}

// Two kana of two spellings each and no pairs; newer selects the second spellings.
void SetChoices(bool newer) {
    RomeTable.assign(2, RomeEntry{"", 2, {"A", "B", ""}, newer ? 1 : 0});
    RomeTable.resize(4);  // the two spare entries
    Rome2Table.assign(2, RomeEntry{});
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
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename() != kind.file) state += " + " + entry.path().filename().string();
    }
    return state;
}

AtomicWriteStep chosenStep;
int chosenError;

TEST(Saves, AFailedOrKilledStepLeavesOneWholeVersionAndNoTemporary) {
    const std::pair<AtomicWriteStep, int> steps[] = {
        {AtomicWriteStep::CreateTemporary, ENOSPC}, {AtomicWriteStep::Write, ENOSPC}, {AtomicWriteStep::KeepMode, EPERM},
        {AtomicWriteStep::Flush, EIO}, {AtomicWriteStep::Close, ENOSPC}, {AtomicWriteStep::Rename, EACCES},
        {AtomicWriteStep::SyncFolder, EIO},  // the new file is in place already
    };
    for (const SaveKind& kind : Kinds) {
        for (const auto& [step, error] : steps) {
            for (const bool killed : {false, true}) {
                const std::string row = kind.file + " at step "s + std::to_string(int(step)) + (killed ? " killed" : "");
                const std::string renamed = step == AtomicWriteStep::SyncFolder ? "new" : "old";
                TempFolder temp;
                SystemPath = temp.Write(kind.file, kind.oldBytes).substr(0, temp.Path().size());
                std::tie(chosenStep, chosenError) = std::pair(step, error);
                if (!killed) {
                    AtomicWriteFaultForTests = [](AtomicWriteStep s) { return s == chosenStep ? chosenError : 0; };
                    EXPECT_EQ(kind.save(true), renamed == "new") << row << ": a failure must not pass for success";
                    AtomicWriteFaultForTests = nullptr;
                    EXPECT_EQ(State(temp.Path(), kind), renamed) << row;
                    continue;
                }
                const pid_t child = fork();
                if (child == 0) {
                    AtomicWriteFaultForTests = [](AtomicWriteStep s) { return s == chosenStep ? raise(SIGKILL) : 0; };
                    _exit(kind.save(true));
                }
                int status = 0;
                EXPECT_TRUE(waitpid(child, &status, 0) == child && WIFSIGNALED(status)) << row << ": not killed";
                EXPECT_EQ(State(temp.Path(), kind).substr(0, 3), renamed) << row;
                // The next save lands whole and takes away what the killed one left.
                EXPECT_EQ(kind.save(false) ? State(temp.Path(), kind) : "not saved", "old") << row;
            }
        }
        // A real write refused part way (a file size limit binds root too).
        TempFolder temp;
        SystemPath = temp.Write(kind.file, kind.oldBytes).substr(0, temp.Path().size());
        std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the test
        rlimit previous;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
        const rlimit small = {4, previous.rlim_max};
        const bool saved = setrlimit(RLIMIT_FSIZE, &small) == 0 && kind.save(true);
        setrlimit(RLIMIT_FSIZE, &previous);
        EXPECT_EQ(saved ? "saved" : State(temp.Path(), kind), "old") << kind.file << " past a file size limit";
    }
}

TEST(UserSettings, EachSaveGoesWhereTheNextStartReadsIt) {
    // systemMode: the installed file's mode, 0 for no file, -1 for no system folder at all.
    struct Case { const char* name; int systemMode; bool userCopy; bool toUser; };
    const Case cases[] = {
        {"writable system copy", 0644, false, false},
        {"read-only system copy: a user copy starts from it", 0444, false, true},
        {"no system folder", -1, false, true}, {"the player's copy comes first", 0644, true, true},
    };
    for (const SaveKind& kind : Kinds) {
        for (const Case& c : cases) {
            const std::string row = kind.file + ", "s + c.name;
            TempFolder temp;
            SystemPath = temp.Path() + "system/";
            UserSettingsPath = temp.Path() + "home/.config/dexlora/";
            if (c.systemMode >= 0) std::filesystem::create_directories(SystemPath);
            if (c.systemMode > 0) chmod(temp.Write("system/"s + kind.file, kind.oldBytes).c_str(), c.systemMode);
            if (c.userCopy) temp.Write("home/.config/dexlora/"s + kind.file, kind.oldBytes);
            EXPECT_TRUE(kind.save(true) && kind.readsNewer()) << row;
            const std::string target = (c.toUser ? UserSettingsPath : SystemPath) + kind.file;
            EXPECT_TRUE(FileExists(target) && (c.systemMode <= 0 || TempFolder::Read(target) == kind.newBytes)) << row;
            EXPECT_TRUE(!c.toUser || c.systemMode <= 0 || TempFolder::Read(SystemPath + kind.file) == kind.oldBytes) << row;
            const auto perms = std::filesystem::status(UserSettingsPath).permissions();  // none when missing
            EXPECT_TRUE(c.userCopy || perms == (c.toUser ? std::filesystem::perms::owner_all : std::filesystem::perms::unknown))
                << row << ": the settings folder is the player's alone, and made only when needed";
        }
    }
    UserSettingsPath.clear();
}

}  // namespace
}  // namespace dexlora
