// Colour values read from settings files.
#include "settings/ini.h"

#include <gtest/gtest.h>

#include "skin/loaders/items.h"  // compiled here to keep the header self-contained
#include "tests/platform_core/temp_folder.h"

namespace dexlora {
namespace {

TEST(Ini, ReadIniColor) {
    struct Case { const char* key; const char* value; int32_t color; };  // value nullptr: no key
    const Case cases[] = {
        {"Mixed", "1,2,3", 1 + 2 * 256 + 3 * 65536},
        {"Two", "10,20", 0},
        {"Four", "1,2,3,4", 0},
        {"Empty", "", 0},
        {"Absent", nullptr, PackColor(255, 255, 255)},
        {"Big", "300,0,256", PackColor(255, 0, 255)},
        {"Negative", "-1,0,0", 0},
        {"Letters", "a,0,0", 0},
        {"EmptyPart", "1,,3", 0},
        {"TooBigFor16Bits", "40000,0,0", 0},
        {"Quoted", "\"0,128,0\"", PackColor(0, 128, 0)},
    };
    std::string ini = "[Color]\r\n";
    for (const Case& c : cases) {
        if (c.value) ini += std::string(c.key) + "=" + c.value + "\r\n";
    }
    testing_support::TempFolder temp;
    std::string file = temp.Write("Game.ini", ini);
    for (const Case& c : cases) {
        EXPECT_EQ(ReadIniColor(file, "Color", c.key), c.color) << c.key;
    }
    EXPECT_EQ(ReadIniColor(temp.Path() + "missing.ini", "Color", "Mixed"), PackColor(255, 255, 255));
}

}  // namespace
}  // namespace dexlora
