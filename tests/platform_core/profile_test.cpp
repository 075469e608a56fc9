// The profile functions on CP932 INI files: lookups, cuts, numbers and writes.
#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <optional>

#include "platform/encoding.h"
#include "platform/files.h"
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
        {"only the first section of a name", "V=1\r\n[g]\nW=2", "G", "W", "d", "d"},
        {"LF line ends, last line without its end", "A=1\nV=end", "G", "V", "d", "end"},
        {"200 bytes cut to 127", "V=" + Repeat("x", 200), "G", "V", "d", Repeat("x", 127)},
        {"127 bytes with two-byte characters", "V=a" + Repeat(A, 63), "G", "V", "d", "a" + Repeat(A, 63)},
        {"cut inside a two-byte character", "V=" + Repeat(A, 64), "G", "V", "d", Repeat(A, 63)},
        {"one-byte katakana", "V=" + Repeat(HalfA, 130), "G", "V", "d", Repeat(HalfA, 127)},
        {"a NUL byte ends the value", std::string("V=ab\0cd", 7), "G", "V", "d", "ab"},
        {"second byte is not case-folded", "\u30A2=k", "G", "\u30C2", "d", "d"},  // ア 83 41, ヂ 83 61
        {"two-byte key", "\u30A2=k", "G", "\u30A2", "d", "k"},
        {"backslashes kept", "V=C:\\skins\\", "G", "V", "d", "C:\\skins\\"},
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
        {"empty section", one, " ", "x", "1", std::nullopt},
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

TEST(Profile, WritesGoThroughLinksAndLeaveReadOnlyFiles) {
    TempFolder temp;
    const std::string before = "[A]\r\nx=old\r\n";
    const std::string real = temp.Write("real/System.ini", before);
    std::filesystem::create_symlink("real/System.ini", temp.Path() + "System.ini");
    EXPECT_TRUE(WritePrivateProfileString("A", "x", "new", temp.Path() + "System.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(temp.Path() + "System.ini"));
    EXPECT_EQ(TempFolder::Read(real), "[A]\r\nx=new\r\n");

    chmod(real.c_str(), 0444);
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "other", temp.Path() + "System.ini"));
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "other", real));
    EXPECT_EQ(TempFolder::Read(real), "[A]\r\nx=new\r\n");
    EXPECT_EQ(GetPrivateProfileString("A", "x", "d", real), "new") << "a read-only file still reads";
}

}  // namespace
}  // namespace dexlora
