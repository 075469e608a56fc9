// Path resolution, line reading of CP932 files and atomic writes.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <vector>

#include "platform/error.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

size_t CountEntries(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

TEST(Files, ProgramFolderHoldsTheExecutable) {
    std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    std::string exe = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    EXPECT_TRUE(FileExists(folder + exe));
}

TEST(Files, ResolvePathMatchesComponentsRegardlessOfCase) {
    TempFolder temp;
    const std::string root = temp.Path();
    temp.Write("Skins/Default/Game.ini", "x");
    temp.Write("Skins/Default/Pic/Back.BMP", "x");
    temp.Write("Skins/Default/same.txt", "lower");
    temp.Write("Skins/Default/SAME.txt", "upper");

    struct Case {
        std::string given;
        std::string expected;
    };
    const Case cases[] = {
        {root + "skins\\default\\GAME.INI", root + "Skins/Default/Game.ini"},
        {root + "SKINS\\Default\\pic\\back.bmp", root + "Skins/Default/Pic/Back.BMP"},
        {root + "skins\\default\\", root + "Skins/Default/"},
        {root + "skins\\\\default\\game.ini", root + "Skins/Default/Game.ini"},
        {root + "skins\\default\\..\\DEFAULT\\game.ini", root + "Skins/Default/../Default/Game.ini"},
        {root + "skins\\missing\\game.ini", root + "Skins/missing/game.ini"},
        {root + "Skins/Default/same.txt", root + "Skins/Default/same.txt"},
        {root + "Skins/Default/SAME.txt", root + "Skins/Default/SAME.txt"},
        {root + "Skins/Default/Same.txt", root + "Skins/Default/SAME.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolvePath(c.given), c.expected) << c.given;
    }
    EXPECT_TRUE(FileExists(root + "skins\\default\\game.INI"));
    EXPECT_FALSE(FileExists(root + "skins\\default")) << "a folder is no file";
}

TEST(Files, ResolvePathWorksOnRelativePaths) {
    TempFolder temp;
    temp.Write("System/Rome.ini", "x");
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(temp.Path());
    EXPECT_EQ(ResolvePath("system\\rome.INI"), "System/Rome.ini");
    EXPECT_EQ(ResolvePath("./SYSTEM/rome.ini"), "./System/Rome.ini");
    EXPECT_TRUE(FileExists("SYSTEM\\ROME.INI"));
    std::filesystem::current_path(previous);
}

TEST(Files, TextFileReaderSplitsLines) {
    struct Case {
        const char* name;
        std::string_view bytes;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"empty file", "", {}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"last line without its end", "a\r\nb", {"a", "b"}},
        {"empty lines kept", "\r\n\r\nx\r\n\r\n", {"", "", "x", ""}},
        {"lone LF and CR", "a\nb\rc", {"a", "b", "c"}},
        {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
        {"CP932 decoded", "\x82\xA0\r\n\x83\x94\x82\x9F\r\n\x81\x5C", {"\u3042", "\u30F4\u3041", "\u2015"}},
        {"bad byte before the line end", "\x81\r\nz", {"\uFFFD", "z"}},
    };
    TempFolder temp;
    for (const Case& c : cases) {
        std::string file = temp.Write("lines.txt", c.bytes);
        TextFileReader reader(file);
        std::vector<std::string> lines;
        while (!reader.AtEnd()) lines.push_back(reader.ReadLine());
        EXPECT_EQ(lines, c.lines) << c.name;
        try {
            reader.ReadLine();
            ADD_FAILURE() << c.name << ": read past the end did not raise";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, ErrInputPastEnd) << c.name;
        }
    }
}

TEST(Files, TextFileReaderRaisesFileNotFound) {
    TempFolder temp;
    temp.Write("Folder/x.txt", "");
    for (const std::string& path : {temp.Path() + "missing.txt", temp.Path() + "Folder"}) {
        try {
            TextFileReader reader(path);
            ADD_FAILURE() << path << ": opened";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, ErrFileNotFound) << path;
        }
    }
}

TEST(Files, WriteFileAtomicallyCreatesAndReplaces) {
    TempFolder temp;
    std::string file = temp.Path() + "KeyConf.txt";
    ASSERT_TRUE(WriteFileAtomically(file, "1\r\n2\r\n"));
    EXPECT_EQ(TempFolder::Read(file), "1\r\n2\r\n");

    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(temp.Path() + "keyconf.TXT", ""));  // resolved onto the same file
    EXPECT_EQ(TempFolder::Read(file), "");
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "permissions kept";
    EXPECT_EQ(CountEntries(temp.Path()), 1u) << "no temporary file left";
}

TEST(Files, WriteFileAtomicallyFailsWithoutHarm) {
    TempFolder temp;
    temp.Write("Target/inside.txt", "old");
    EXPECT_FALSE(WriteFileAtomically(temp.Path() + "Target", "new")) << "a folder is in the way";
    EXPECT_EQ(TempFolder::Read(temp.Path() + "Target/inside.txt"), "old");
    EXPECT_FALSE(WriteFileAtomically(temp.Path() + "NoFolder/file.txt", "new"));
    EXPECT_FALSE(WriteFileAtomically(temp.Path(), "new")) << "no file name";
    EXPECT_EQ(CountEntries(temp.Path()), 1u) << "no temporary file left";
}

TEST(Files, WriteFileAtomicallyKeepsTheOldFileWhenWritingFails) {
    TempFolder temp;
    std::string file = temp.Write("System.ini", "[System]\r\nSkinPath=old\r\n");
    // A file size limit makes the write of the temporary file fail, even for root.
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit small = previous;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = WriteFileAtomically(file, std::string(1000, 'x'));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(TempFolder::Read(file), "[System]\r\nSkinPath=old\r\n");
    EXPECT_EQ(CountEntries(temp.Path()), 1u) << "no temporary file left";
}

}  // namespace
}  // namespace dexlora
