// Path resolution, line reading of CP932 files and atomic writes.
#include "platform/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/error.h"
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
        TextFileReader reader(temp.Write("lines.txt", c.bytes));
        std::vector<std::string> lines;
        while (!reader.AtEnd()) lines.push_back(reader.ReadLine());
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_THAT([&] { reader.ReadLine(); }, Raises(ErrInputPastEnd)) << c.name;
    }
    EXPECT_THAT([&] { TextFileReader(temp.Path() + "missing.txt"); }, Raises(ErrFileNotFound));
    EXPECT_THAT([&] { TextFileReader(temp.Path()); }, Raises(ErrFileNotFound)) << "a folder";
}

}  // namespace
}  // namespace dexlora
