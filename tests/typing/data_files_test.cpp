// The bundled Rome.ini and Rome2.ini keep their promises, and every bundled question can be typed.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/files.h"
#include "tests/platform_core/temp_folder.h"
#include "tests/typing/typing_support.h"
#include "typing/questions.h"
#include "typing/reading_to_romaji.h"

namespace dexlora {
namespace {

using testing_support::LoadBundledTables;

// kana -> spellings an input method accepts, from the reference list kept
// beside the tests (tab-separated, spellings separated by commas).
std::map<std::string, std::vector<std::string>> ReferenceSpellings() {
    std::ifstream in(std::string(DEXLORA_SOURCE_DIR) + "/tests/typing/romaji_reference.tsv");
    std::map<std::string, std::vector<std::string>> reference;
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        std::vector<std::string>& spellings = reference[line.substr(0, tab)];
        std::stringstream list(line.substr(tab + 1));
        for (std::string spelling; std::getline(list, spelling, ',');) spellings.push_back(spelling);
    }
    return reference;
}

TEST(BundledRomeTables, HoldEveryReferenceSpellingInTheirFixedPlaces) {
    LoadBundledTables();
    auto reference = ReferenceSpellings();
    ASSERT_EQ(reference.size(), 86u + 123u) << "reference list not found or damaged";

    EXPECT_EQ(RomeTable[SmallTsuEntry].Kana, "っ");
    EXPECT_EQ(RomeTable[SyllabicNEntry].Kana, "ん");
    EXPECT_EQ(RomeTable[SyllabicNEntry].Romaji[0], "N") << "N first, so ん before a consonant is one key";
    EXPECT_LE(RomeEntryCount(Rome2Table), 140) << "the key configuration shows 140 entries";
    EXPECT_LE(RomeEntryCount(RomeTable), 140) << "the key configuration shows 140 entries";

    struct TableInfo {
        const char* name;
        const RomeEntries* table;
        size_t kanaLength;
        size_t spelled;
    };
    std::set<std::string> seen;
    const TableInfo tables[] = {{"Rome.ini", &RomeTable, 1, 86}, {"Rome2.ini", &Rome2Table, 2, 123}};
    for (const TableInfo& info : tables) {
        size_t spelled = 0;
        for (int32_t i = 0; i < RomeEntryCount(*info.table); ++i) {
            const RomeEntry& entry = (*info.table)[static_cast<size_t>(i)];
            std::string where = std::string(info.name) + " entry " + std::to_string(i) + " " + entry.Kana;
            if (entry.Count == 0) {
                EXPECT_EQ(entry.Kana, "") << where << ": placeholders label nothing";
                continue;
            }
            ++spelled;
            EXPECT_EQ(Utf8Length(entry.Kana), info.kanaLength) << where;
            EXPECT_TRUE(seen.insert(entry.Kana).second) << where << ": listed twice";
            auto found = reference.find(entry.Kana);
            ASSERT_NE(found, reference.end()) << where << ": not in the reference list";
            std::vector<std::string> expected = found->second;
            if (info.kanaLength == 2) expected.push_back("*");  // typed as two kana, offered last
            std::vector<std::string> spellings(entry.Romaji.begin(), entry.Romaji.begin() + entry.Count);
            EXPECT_EQ(std::set<std::string>(spellings.begin(), spellings.end()),
                      std::set<std::string>(expected.begin(), expected.end()))
                << where;
            EXPECT_EQ(spellings.size(), expected.size()) << where << ": a spelling listed twice";
            EXPECT_EQ(spellings.front(), expected.front()) << where << ": the commonest spelling comes first";
            if (info.kanaLength == 2) {
                EXPECT_EQ(spellings.back(), "*") << where;
            }
        }
        EXPECT_EQ(spelled, info.spelled) << info.name;
    }
}

TEST(BundledRomeTables, AreCp932WithCrLf) {
    for (const char* name : {"Rome.ini", "Rome2.ini"}) {
        std::string bytes = testing_support::TempFolder::Read(testing_support::SourceSystemFolder + name);
        ASSERT_FALSE(bytes.empty()) << name;
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << ": bare LF at byte " << i;
            }
        }
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
        EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(bytes)), bytes) << name << ": not clean CP932";
    }
}

// The readings of the bundled skin's type.txt, or none when it is absent.
std::vector<std::string> BundledReadings() {
    std::string path = std::string(DEXLORA_SOURCE_DIR) + "/skins/Standard/type.txt";
    std::vector<std::string> readings;
    if (!FileExists(path)) return readings;
    TextFileReader file(path);
    while (!file.AtEnd()) {
        file.ReadLine();
        readings.push_back(file.ReadLine());
        file.ReadLine();
    }
    return readings;
}

TEST(BundledQuestions, ConvertUnderEverySpellingChoice) {
    std::vector<std::string> readings = BundledReadings();
    if (readings.empty()) GTEST_SKIP() << "skins/Standard/type.txt not there yet";
    LoadBundledTables();

    SkinPath = std::string(DEXLORA_SOURCE_DIR) + "/skins/Standard/";
    ASSERT_TRUE(LoadQuestions("type.txt"));
    EXPECT_EQ(Questions.size(), readings.size() + 2) << "every question loads with the first spellings";

    int failures = 0;
    for (RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (RomeEntry& entry : *table) {
            for (int32_t choice = 1; choice < entry.Count; ++choice) {
                entry.Selected = choice;
                for (const std::string& reading : readings) {
                    std::string romaji;
                    std::string reason;
                    if ((!ReadingToRomaji(romaji, reading, &reason) || romaji.empty()) && ++failures <= 20) {
                        ADD_FAILURE() << reading << " with " << entry.Kana << " as " << entry.Romaji[choice]
                                      << ": " << reason;
                    }
                }
            }
            entry.Selected = 0;
        }
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace dexlora
