// The profile functions on CP932 INI files: lookups, cuts, numbers and writes.
#include "platform/core/profile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "platform/core/encoding.h"
#include "platform/core/files.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

std::string Repeat(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

const std::string A = "\u3042";      // あ, two bytes in CP932
const std::string HalfA = "\uFF71";  // ｱ, one byte in CP932

TEST(Profile, GetPrivateProfileStringLooksValuesUp) {
    // The file holds "[G]" and the body, written in CP932.
    struct Case { const char* name; std::string body, section, key, defaultValue, expected; };
    const Case cases[] = {
        {"names regardless of case", "Text=Hello", "g", "tEXT", "d", "Hello"},
        {"blanks trimmed", "  Spaced Key  =   v b   ", "G", "Spaced Key", "d", "v b"},
        {"empty value is not the default", "V=", "G", "V", "d", ""},
        {"absent key", "V=1", "G", "W", "d", "d"},
        {"absent section", "V=1", "H", "V", "d", "d"},
        {"line without '=' is no key", "V", "G", "V", "d", "d"},
        {"comment is no key", ";V=1", "G", ";V", "d", "d"},
        {"double quotes removed", "V=\"  a b  \"", "G", "V", "d", "  a b  "},
        {"single quotes removed", "V='x'", "G", "V", "d", "x"},
        {"unmatched quotes kept", "V=\"abc'", "G", "V", "d", "\"abc'"},
        {"first of duplicate keys", "V=1\r\nV=2", "G", "V", "d", "1"},
        {"200 bytes cut to 127", "V=" + Repeat("x", 200), "G", "V", "d", Repeat("x", 127)},
        {"127 bytes with two-byte characters", "V=a" + Repeat(A, 63), "G", "V", "d", "a" + Repeat(A, 63)},
        {"cut inside a two-byte character", "V=" + Repeat(A, 64), "G", "V", "d", Repeat(A, 63)},
        {"one-byte katakana", "V=" + Repeat(HalfA, 130), "G", "V", "d", Repeat(HalfA, 127)},
        {"second byte is not case-folded", "\u30A2=k", "G", "\u30C2", "d", "d"},  // ア 83 41, ヂ 83 61
        {"blanks inside brackets", "[ Spaced ]\r\nk = v", "spaced", "K", "d", "v"},
        {"Japanese names and value", "[\u8A2D\u5B9A]\r\n\u5024=\u30C6", "\u8A2D\u5B9A", "\u5024", "d", "\u30C6"},
        {"']' as a second byte closes no header", "[\u30BE\r\nV=still", "G", "V", "d", "still"},  // ゾ 83 5D
        {"default cut inside a two-byte character", "", "G", "V", Repeat(A, 64), Repeat(A, 63)},
        {"default kept as given", "", "G", "V", "jos\u00E9", "jos\u00E9"},
    };
    TempFolder temp;
    for (const Case& c : cases) {
        temp.Write("Sample.ini", Utf8ToCp932("[G]\r\n" + c.body));
        std::string file = temp.Path() + "SAMPLE.INI";
        EXPECT_EQ(GetPrivateProfileString(c.section, c.key, c.defaultValue, file), c.expected) << c.name;
    }
    EXPECT_EQ(GetPrivateProfileString("G", "V", "d", temp.Path() + "missing.ini"), "d");
    EXPECT_EQ(GetPrivateProfileString("G", "V", "d", temp.Path()), "d") << "a folder reads as no file";
}

TEST(Profile, GetPrivateProfileIntReadsTheLeadingNumber) {
    const std::pair<const char*, int32_t> cases[] = {  // the file's body after "[G]", and V's number
        {"V=12abc", 12}, {"V=abc", 0},         {"V= -42", -42}, {"V=+7", 7},   {"V=0x1F", 31},
        {"V='5'", 5},    {"V=4294967295", -1}, {"V=", 99},      {"W=1", 99},
    };
    TempFolder temp;
    for (const auto& [body, expected] : cases) {
        EXPECT_EQ(GetPrivateProfileInt("G", "V", 99, temp.Write("Sample.ini", std::string("[G]\r\n") + body)), expected)
            << body;
    }
    EXPECT_EQ(GetPrivateProfileInt("G", "V", -3, temp.Path() + "missing.ini"), -3);
}

TEST(Profile, WritePrivateProfileStringEditsInPlace) {
    // before: nullopt for no file. after: nullopt when the write must be refused, leaving the file as it was.
    using Text = std::optional<std::string>;
    struct Case { const char* name; Text before; std::string section, key, value; Text after; };
    const std::string mixed = "; top\r\n[A]\nx=1\n\n[S]\r\n  K = old \r\nO=2\r\n\r\n[B]\r\ny=3";
    const std::string one = "[A]\r\nx=1\r\n";
    const Case cases[] = {
        {"creates the file", std::nullopt, "System", "SkinPath", "C:\\s\\", "[System]\r\nSkinPath=C:\\s\\\r\n"},
        {"replaces the value, other bytes kept", mixed, "s", "k", "/n/",
         "; top\r\n[A]\nx=1\n\n[S]\r\nK=/n/\r\nO=2\r\n\r\n[B]\r\ny=3"},
        {"new key after the section's last line", mixed, "S", "N", "z",
         "; top\r\n[A]\nx=1\n\n[S]\r\n  K = old \r\nO=2\r\nN=z\r\n\r\n[B]\r\ny=3"},
        {"new key in a last section without line end", mixed, "B", "z", "4", mixed + "\r\nz=4\r\n"},
        {"new section at the end", mixed, "New", "k", "v", mixed + "\r\n\r\n[New]\r\nk=v\r\n"},
        {"empty value", one, "A", "x", "", "[A]\r\nx=\r\n"},
        {"first of duplicate keys", one + "x=2\r\n", "A", "x", "9", "[A]\r\nx=9\r\nx=2\r\n"},
        {"Japanese value in CP932", "[A]", "A", "x", "\u30B9\u30AD\u30F3\\", "[A]\r\nx=\x83\x58\x83\x4C\x83\x93\\\r\n"},
        {"line break in the value", one, "A", "x", "a\r\nb=c", std::nullopt},
        {"NUL in the value", one, "A", "x", std::string("a\0b", 3), std::nullopt},
        {"character CP932 lacks", one, "A", "x", "/jos\u00E9/", std::nullopt},
        {"empty key", one, "A", "", "1", std::nullopt},
        {"'=' in the key", one, "A", "a=b", "1", std::nullopt},
        {"comment key", one, "A", ";x", "1", std::nullopt},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        if (c.before) temp.Write("System.ini", *c.before);
        std::string file = temp.Path() + "SYSTEM.INI";  // names the existing System.ini
        EXPECT_EQ(WritePrivateProfileString(c.section, c.key, c.value, file), c.after.has_value()) << c.name;
        EXPECT_EQ(TempFolder::Read(ResolvePath(file)), c.after.value_or(*c.before)) << c.name;
        if (c.after) {
            EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "d", file), c.value) << c.name << " reads back";
        }
    }
}

TEST(Profile, FailedWriteLeavesTheFileAsItWas) {
    TempFolder temp;
    const std::string before = "[A]\r\nx=old\r\n";
    std::string file = temp.Write("System.ini", before);
    // A file size limit makes writing the new content fail, even for root.
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = WritePrivateProfileString("A", "x", std::string(1000, 'x'), file);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(TempFolder::Read(file), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1) << "no temporary file left";

    temp.Write("Taken/inside.ini", before);
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "1", temp.Path() + "Taken")) << "a folder is in the way";
}

TEST(Profile, OddFilesReadAsAnyOtherFile) {
    struct Case { const char* name; std::string bytes; std::string value; };
    const std::string blankLines = Repeat("\r\n", 1 << 20);
    const Case cases[] = {
        {"a million blank lines first", blankLines + "[A]\r\nx=1\r\n", "1"},
        {"blank lines between section and key", "[A]" + blankLines + "x=1", "1"},
        {"a 10 MB line first", std::string(10 << 20, 'a') + "\r\n[A]\r\nx=1", "1"},
        {"a 10 MB value is cut", "[A]\r\nx=" + std::string(10 << 20, 'v'), std::string(127, 'v')},
        {"header without ']' opens no section", "[A\r\nx=1\r\n", "d"},
        {"header without ']' ends no section", "[A]\r\n[B\r\nx=1\r\n", "1"},
        {"NUL inside the section name", std::string("[A\0]\r\nx=1", 10), "d"},
        {"NUL ends the value", std::string("[A]\r\nx=a\0b", 10), "a"},
        {"lead byte at the end of the file", "[A]\r\nx=\x82", "\uFFFD"},
        {"lone CRs as line ends", "[A]\rx=1\r", "1"},
    };
    TempFolder temp;
    for (const Case& c : cases) {
        const std::string file = temp.Write("odd.ini", c.bytes);
        EXPECT_EQ(GetPrivateProfileString("A", "x", "d", file), c.value) << c.name;
    }
}

// Writing through a link that stays a link is the files test's; here the
// profile write must not get around a read-only target.
TEST(Profile, AReadOnlyFileBehindALinkIsLeftAlone) {
    TempFolder temp;
    const std::string real = temp.Write("real/System.ini", "[A]\r\nx=new\r\n");
    std::filesystem::create_symlink("real/System.ini", temp.Path() + "System.ini");
    chmod(real.c_str(), 0444);
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "other", temp.Path() + "System.ini"));
    EXPECT_EQ(TempFolder::Read(real), "[A]\r\nx=new\r\n");
    EXPECT_EQ(GetPrivateProfileString("A", "x", "d", real), "new") << "a read-only file still reads";
}

// Waits until a file written now is no longer too fresh for its time stamps to
// show a next change (a few milliseconds, or two seconds where they count in
// whole seconds), so that reading it keeps it for the lookups after.
void WaitUntilSettled(const std::string& file) {
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    const bool coarse = st.st_mtim.tv_nsec == 0 && st.st_ctim.tv_nsec == 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(coarse ? 2100 : 200));
}

TEST(Profile, ChangedFilesReadAfresh) {
    // Each file is read (and kept) as "[A]\r\nx=1\r\n", then changed, then read again.
    struct Case { const char* name; std::function<void(const std::string& file)> change; std::string expected; };
    const std::string before = "[A]\r\nx=1\r\n";
    const Case cases[] = {
        {"edited in place, same size and modification time",
         [](const std::string& file) {
             struct stat st {};
             ASSERT_EQ(stat(file.c_str(), &st), 0);
             std::ofstream(file, std::ios::binary) << "[A]\r\nx=2\r\n";
             const timespec times[2] = {st.st_atim, st.st_mtim};
             ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
             ASSERT_EQ(stat(file.c_str(), &st), 0);
             ASSERT_EQ(st.st_size, 10);
         },
         "2"},
        {"replaced by a rename",
         [](const std::string& file) {
             std::ofstream(file + ".new", std::ios::binary) << "[A]\r\nx=2\r\n";
             std::filesystem::rename(file + ".new", file);
         },
         "2"},
        {"deleted", [](const std::string& file) { std::filesystem::remove(file); }, "d"},
        {"written through WritePrivateProfileString in another spelling",
         [](const std::string& file) {
             ASSERT_TRUE(WritePrivateProfileString("a", "X", "2", file.substr(0, file.size() - 4) + "FILE"));
         },
         "2"},
        {"written through a link to it",
         [](const std::string& file) {
             std::filesystem::create_symlink(file, file + ".link");
             ASSERT_TRUE(WritePrivateProfileString("a", "X", "2", file + ".link"));
         },
         "2"},
    };
    TempFolder temp;
    std::vector<std::string> files;
    for (size_t i = 0; i < std::size(cases); ++i) files.push_back(temp.Write(std::to_string(i) + "/file", before));
    WaitUntilSettled(files.back());
    for (size_t i = 0; i < std::size(cases); ++i) {
        for (int read = 0; read < 2; ++read) EXPECT_EQ(GetPrivateProfileString("A", "x", "d", files[i]), "1") << cases[i].name;
        cases[i].change(files[i]);
        EXPECT_EQ(GetPrivateProfileString("A", "x", "d", files[i]), cases[i].expected) << cases[i].name;
        EXPECT_EQ(GetPrivateProfileInt("A", "x", -1, files[i]), cases[i].expected == "d" ? -1 : std::stoi(cases[i].expected))
            << cases[i].name;
    }
}

TEST(Profile, FilesEditedAgainAtOnceReadAfresh) {
    // Two edits this close may leave every time stamp as it was.
    TempFolder temp;
    const std::string file = temp.Write("quick.ini", "[A]\r\nx=0\r\n");
    for (int edit = 1; edit < 50; ++edit) {
        struct stat st {};
        ASSERT_EQ(stat(file.c_str(), &st), 0);
        EXPECT_EQ(GetPrivateProfileInt("A", "x", -1, file), (edit - 1) % 10);
        std::ofstream(file, std::ios::binary) << "[A]\r\nx=" << edit % 10 << "\r\n";
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
        ASSERT_EQ(GetPrivateProfileInt("A", "x", -1, file), edit % 10) << "edit " << edit;
    }
}

TEST(Profile, LargeFilesFindEveryFirstKey) {
    // Enough sections and keys to grow the index many times; a repeated
    // section and repeated keys in other spellings must not count.
    std::string bytes = "x=outside\r\n";
    for (int s = 0; s < 300; ++s) {
        bytes += "[Section" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 40; ++k) bytes += "Key" + std::to_string(k) + "=" + std::to_string(s * 100 + k) + "\r\n";
        bytes += "KEY0=again\r\n";
    }
    bytes += "[SECTION7]\r\nKey0=again\r\nNew=again\r\n";
    TempFolder temp;
    const std::string file = temp.Write("large.ini", bytes);
    WaitUntilSettled(file);
    for (int pass = 0; pass < 2; ++pass) {  // as first read and as kept
        for (int s = 0; s < 300; ++s) {
            for (int k = 0; k < 40; ++k) {
                ASSERT_EQ(GetPrivateProfileInt("section" + std::to_string(s), "key" + std::to_string(k), -1, file), s * 100 + k)
                    << "section " << s << " key " << k << " pass " << pass;
            }
        }
        EXPECT_EQ(GetPrivateProfileString("Section7", "New", "d", file), "d") << "only the first section of a name";
        EXPECT_EQ(GetPrivateProfileString("Section1", "Key40", "d", file), "d");
        EXPECT_EQ(GetPrivateProfileString("Section", "Key0", "d", file), "d");
    }
}

TEST(Profile, ReadsFromTwoThreads) {
    // More files than are kept, so that threads also evict each other's.
    TempFolder temp;
    std::vector<std::string> files;
    for (int i = 0; i < 8; ++i) files.push_back(temp.Write(std::to_string(i) + ".ini", "[A]\r\nx=" + std::to_string(i)));
    WaitUntilSettled(files.back());
    auto reader = [&](int offset, int& wrong) {
        for (int round = 0; round < 300; ++round) {
            const int i = (round + offset) % 8;
            if (GetPrivateProfileInt("A", "x", -1, files[static_cast<size_t>(i)]) != i) ++wrong;
        }
    };
    int wrongA = 0, wrongB = 0;
    std::thread other(reader, 3, std::ref(wrongB));
    reader(0, wrongA);
    other.join();
    EXPECT_EQ(wrongA + wrongB, 0);
}

}  // namespace
}  // namespace dexlora
