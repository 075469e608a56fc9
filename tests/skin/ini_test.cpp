// Settings access for the skin loaders: colours, strings, numbers and the write-back.
#include "skin/ini.h"

#include <gtest/gtest.h>

#include "skin/items.h"  // compiled here to keep the header self-contained
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

TEST(Ini, ReadIniColor) {
    TempFolder temp;
    std::string file = temp.Write("Game.ini",
                                  "[Color]\r\n"
                                  "Mixed=1,2,3\r\n"
                                  "Blanks= 10, 20 ,30\r\n"
                                  "Two=10,20\r\n"
                                  "Four=1,2,3,4\r\n"
                                  "Empty=\r\n"
                                  "Big=300,0,256\r\n"
                                  "Negative=-1,0,0\r\n"
                                  "Letters=a,0,0\r\n"
                                  "Fractions=1.5,2.5,3\r\n"
                                  "EmptyPart=1,,3\r\n"
                                  "TooBigFor16Bits=40000,0,0\r\n"
                                  "Quoted=\"0,128,0\"\r\n");
    struct Case {
        const char* key;
        int32_t color;
    };
    const Case cases[] = {
        {"Mixed", 1 + 2 * 256 + 3 * 65536},
        {"Blanks", PackColor(10, 20, 30)},
        {"Two", 0},
        {"Four", 0},
        {"Empty", 0},
        {"Absent", PackColor(255, 255, 255)},
        {"Big", PackColor(255, 0, 255)},
        {"Negative", 0},
        {"Letters", 0},
        {"Fractions", PackColor(2, 2, 3)},
        {"EmptyPart", 0},
        {"TooBigFor16Bits", 0},
        {"Quoted", PackColor(0, 128, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadIniColor(file, "Color", c.key), c.color) << c.key;
    }
    EXPECT_EQ(ReadIniColor(temp.Path() + "missing.ini", "Color", "Mixed"), PackColor(255, 255, 255));
}

TEST(Ini, ReadsStringsAndNumbers) {
    TempFolder temp;
    std::string file = temp.Write("Result.ini",
                                  "[Rank]\r\n"
                                  "Name=" + std::string(200, 'n') + "\r\n"
                                  "Empty=\r\n"
                                  "Count=12abc\r\n"
                                  "Letters=abc\r\n"
                                  "List=a, b,c\r\n");
    EXPECT_EQ(ReadIniString(file, "Rank", "Name", "d"), std::string(127, 'n'));
    EXPECT_EQ(ReadIniString(file, "Rank", "Empty", "d"), "");
    EXPECT_EQ(ReadIniString(file, "Rank", "Absent", "d"), "d");
    EXPECT_EQ(ReadIniString(file, "Rank", "List", "d"), "a, b,c") << "blanks inside a list are kept";
    EXPECT_EQ(ReadIniInt(file, "Rank", "Count", 5), 12);
    EXPECT_EQ(ReadIniInt(file, "Rank", "Letters", 5), 0);
    EXPECT_EQ(ReadIniInt(file, "Rank", "Empty", 5), 5);
    EXPECT_EQ(ReadIniInt(file, "Rank", "Absent", 5), 5);
}

TEST(Ini, WriteIniStringStoresTheSkinFolder) {
    TempFolder temp;
    std::string file = temp.Path() + "System.ini";
    const std::string skin = "/games/\u30B9\u30AD\u30F3/standard/";
    ASSERT_TRUE(WriteIniString(file, "System", "SkinPath", skin));
    EXPECT_EQ(ReadIniString(file, "System", "SkinPath", ""), skin);
    EXPECT_FALSE(WriteIniString(temp.Path() + "no/such/folder/System.ini", "System", "SkinPath", skin));
}

}  // namespace
}  // namespace dexlora
