// Path resolution, line reading of CP932 files and atomic writes.
#include "platform/core/files.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "platform/core/error.h"
#include "platform/core/profile.h"
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

auto Raises(int32_t number) {
    return ::testing::Throws<RuntimeError>(::testing::Field(&RuntimeError::Number, number));
}

TEST(Files, ResolvePathMatchesComponentsRegardlessOfCase) {
    TempFolder temp;
    const std::string root = temp.Path() + "Skins/Default/";
    for (const char* file : {"Game.ini", "Pic/Back.BMP", "same.txt", "SAME.txt"}) {
        temp.Write(std::string("Skins/Default/") + file, "x");
    }
    struct Case { std::string given, expected; };
    const Case cases[] = {
        {temp.Path() + "skins\\default\\GAME.INI", root + "Game.ini"},
        {temp.Path() + "SKINS\\Default\\pic\\back.bmp", root + "Pic/Back.BMP"},
        {temp.Path() + "skins\\default\\", root},
        {temp.Path() + "skins\\\\default\\game.ini", root + "Game.ini"},
        {temp.Path() + "skins\\default\\..\\DEFAULT\\game.ini", root + "../Default/Game.ini"},
        {temp.Path() + "skins\\missing\\game.ini", temp.Path() + "Skins/missing/game.ini"},
        {root + "same.txt", root + "same.txt"},  // an exact match wins over SAME.txt
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolvePath(c.given), c.expected) << c.given;
    }
    EXPECT_TRUE(FileExists(temp.Path() + "skins\\default\\game.INI"));
    EXPECT_FALSE(FileExists(temp.Path() + "skins\\default")) << "a folder is no file";
}

TEST(Files, TextFileReaderSplitsLines) {
    struct Case { const char* name; std::string_view bytes; std::vector<std::string> lines; };
    const std::vector<Case> cases = {
        {"empty file", "", {}},
        {"last line without its end", "a\r\nb", {"a", "b"}},
        {"empty lines kept", "\r\n\r\nx\r\n\r\n", {"", "", "x", ""}},
        {"lone LF and CR", "a\nb\rc", {"a", "b", "c"}},
        {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
        {"CP932 decoded", "\x82\xA0\r\n\x83\x94\x82\x9F\r\n\x81\x5C", {"\u3042", "\u30F4\u3041", "\u2015"}},
        {"bad byte before the line end", "\x81\r\nz", {"\uFFFD", "z"}},
    };
    TempFolder temp;
    for (const Case& c : cases) {
        TextFileReader reader(temp.Write("lines.txt", c.bytes));
        std::vector<std::string> lines;
        while (!reader.AtEnd()) lines.push_back(reader.ReadLine());
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_THAT([&] { reader.ReadLine(); }, Raises(ErrInputPastEnd)) << c.name;
    }
    EXPECT_THAT([&] { TextFileReader(temp.Path() + "missing.txt"); }, Raises(ErrFileNotFound));
    EXPECT_THAT([&] { TextFileReader(temp.Path()); }, Raises(ErrFileNotFound)) << "a folder";
}

// Ends the test program if a call blocks (a FIFO opened for reading waits for
// a writer forever): a hang becomes a failure.
class Watchdog {
public:
    Watchdog() { alarm(60); }
    ~Watchdog() { alarm(0); }
};

// A file of the given apparent size that takes no disk space.
std::string SparseFile(const TempFolder& temp, const std::string& name, off_t size) {
    std::string path = temp.Write(name, "");
    EXPECT_EQ(truncate(path.c_str(), size), 0) << name;
    return path;
}

TEST(Files, OnlyRegularFilesWithinTheLimitAreRead) {
    TempFolder temp;
    Watchdog watchdog;
    const std::string fifo = temp.Path() + "fifo.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    temp.Write("folder.ini/inside", "x");
    struct Case {
        const char* name;
        std::string path;
        FileReadStatus status;
        int32_t textError;  // what TextFileReader raises
    };
    const Case cases[] = {
        {"FIFO", fifo, FileReadStatus::NotAFile, ErrFileNotFound},
        {"character device", "/dev/zero", FileReadStatus::NotAFile, ErrFileNotFound},
        {"folder", temp.Path() + "folder.ini", FileReadStatus::NotAFile, ErrFileNotFound},
        {"sparse 64 GiB file", SparseFile(temp, "huge.ini", off_t{64} << 30), FileReadStatus::TooLarge,
         ErrPathAccess},
        {"one byte over the limit", SparseFile(temp, "over.ini", MaxTextFileBytes + 1), FileReadStatus::TooLarge,
         ErrPathAccess},
    };
    for (const Case& c : cases) {
        std::string bytes = "left over";
        EXPECT_EQ(ReadWholeFile(c.path, bytes), c.status) << c.name;
        EXPECT_TRUE(bytes.empty()) << c.name;
        EXPECT_THAT([&] { TextFileReader reader(c.path); }, Raises(c.textError)) << c.name;
        EXPECT_EQ(GetPrivateProfileString("A", "x", "default", c.path), "default") << c.name;
        EXPECT_EQ(GetPrivateProfileInt("A", "x", 7, c.path), 7) << c.name;
        if (c.path != "/dev/zero") {
            struct stat before;
            ASSERT_EQ(stat(c.path.c_str(), &before), 0) << c.name;
            EXPECT_FALSE(WritePrivateProfileString("A", "x", "1", c.path)) << c.name;
            if (c.status == FileReadStatus::NotAFile) {
                EXPECT_FALSE(WriteFileAtomically(c.path, "[A]\r\nx=1\r\n")) << c.name;
            }
            struct stat after;
            ASSERT_EQ(stat(c.path.c_str(), &after), 0) << c.name;
            EXPECT_EQ(after.st_ino, before.st_ino) << c.name << " was replaced";
            EXPECT_EQ(after.st_size, before.st_size) << c.name << " was changed";
        }
    }

    // Exactly at the limit is still a file to read.
    std::string bytes;
    EXPECT_EQ(ReadWholeFile(SparseFile(temp, "limit.ini", MaxTextFileBytes), bytes), FileReadStatus::Ok);
    EXPECT_EQ(bytes.size(), MaxTextFileBytes);
}

TEST(Files, ReadWholeFileTrustsWhatArrivesNotTheSizeTheFileClaims) {
    // /proc files claim a size of 0 and are read all the same; the limit holds
    // for what is read, not for what fstat said.
    std::string bytes;
    EXPECT_EQ(ReadWholeFile("/proc/self/maps", bytes), FileReadStatus::Ok);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(ReadWholeFile("/proc/self/maps", bytes, 8), FileReadStatus::TooLarge);
    EXPECT_TRUE(bytes.empty());

    // A NUL would end the path early, at another file.
    TempFolder temp;
    const std::string file = temp.Write("a", "x");
    EXPECT_EQ(ReadWholeFile(file + std::string("\0.ini", 5), bytes), FileReadStatus::Missing);
    EXPECT_FALSE(WriteFileAtomically(file + std::string("\0.ini", 5), "y"));
    EXPECT_EQ(TempFolder::Read(file), "x");
}

TEST(Files, WritesGoThroughLinksAndLeaveReadOnlyFilesAlone) {
    struct Case {
        const char* name;
        // Makes the situation in the folder and answers the path written to.
        std::function<std::string(const TempFolder&)> make;
        bool written;
        std::string file;  // where the content is read back, relative to the folder
        mode_t mode;       // its permission bits afterwards
    };
    auto link = [](const TempFolder& temp, const std::string& target, const std::string& name) {
        std::filesystem::create_symlink(target, temp.Path() + name);
        return temp.Path() + name;
    };
    auto withMode = [](const std::string& path, mode_t mode) {
        chmod(path.c_str(), mode);
        return path;
    };
    // K.txt as a link to real/K.txt of that mode.
    auto linked = [&](const TempFolder& t, mode_t mode) {
        withMode(t.Write("real/K.txt", "old"), mode);
        return link(t, "real/K.txt", "K.txt");
    };
    const Case cases[] = {
        {"plain file keeps its mode", [&](auto& t) { return withMode(t.Write("K.txt", "old"), 0604); }, true, "K.txt",
         0604},
        {"new file", [](auto& t) { return t.Path() + "K.txt"; }, true, "K.txt", 0},
        {"name of 250 bytes", [](auto& t) { return t.Write(std::string(250, 'k'), "old"); }, true,
         std::string(250, 'k'), 0},
        {"read-only file", [&](auto& t) { return withMode(t.Write("K.txt", "old"), 0444); }, false, "K.txt", 0444},
        {"owner may not write", [&](auto& t) { return withMode(t.Write("K.txt", "old"), 0466); }, false, "K.txt",
         0466},
        {"link to a file in another folder", [&](auto& t) { return linked(t, 0640); }, true, "real/K.txt", 0640},
        {"link to a link", [&](auto& t) { return linked(t, 0640), link(t, "K.txt", "outer"); }, true, "real/K.txt",
         0640},
        {"link to a read-only file", [&](auto& t) { return linked(t, 0444); }, false, "real/K.txt", 0444},
        {"dangling link", [&](auto& t) { return link(t, "real/none.txt", "K.txt"); }, false, "", 0},
        {"link loop", [&](auto& t) { return link(t, "K.txt", "other.txt"), link(t, "other.txt", "K.txt"); }, false,
         "", 0},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const std::string path = c.make(temp);
        const bool wasLink = std::filesystem::is_symlink(path);
        EXPECT_EQ(WriteFileAtomically(path, "new"), c.written) << c.name;
        EXPECT_EQ(std::filesystem::is_symlink(path), wasLink) << c.name << ": the link must stay";
        if (!c.file.empty()) {
            const std::string file = temp.Path() + c.file;
            EXPECT_EQ(TempFolder::Read(file), c.written ? "new" : "old") << c.name;
            struct stat st;
            ASSERT_EQ(stat(file.c_str(), &st), 0) << c.name;
            if (c.mode != 0) {
                EXPECT_EQ(st.st_mode & 07777, c.mode) << c.name;
            }
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(temp.Path())) {
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos)
                << c.name << ": left " << entry.path();
        }
    }
    if (geteuid() == 0) {  // only root may give a file away
        TempFolder temp;
        const std::string path = temp.Write("K.txt", "old");
        ASSERT_EQ(chown(path.c_str(), 1234, 1235), 0);
        EXPECT_TRUE(WriteFileAtomically(path, "new"));
        struct stat st;
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 1234u) << "the owner stays";
        EXPECT_EQ(st.st_gid, 1235u) << "the group stays";
    }
}

}  // namespace
}  // namespace dexlora
