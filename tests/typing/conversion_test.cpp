// From readings to romaji: ん, っ, pairs, "*", symbols; type.txt, the bundled questions, the checker.
#include "typing/reading_to_romaji.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

#include "platform/error.h"
#include "platform/files.h"
#include "tests/typing/typing_support.h"
#include "typing/questions.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

// Selects spelling for kana in either table; a spelling the entry lacks leaves a choice past its spellings.
void Select(std::string_view kana, std::string_view spelling) {
    for (RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (RomeEntry& entry : *table) {
            if (entry.Kana != kana || entry.Count == 0) continue;
            auto first = entry.Romaji.begin();
            entry.Selected = static_cast<int32_t>(std::find(first, first + entry.Count, spelling) - first);
            return;
        }
    }
    ADD_FAILURE() << "no entry for " << kana;
}

TEST(ReadingToRomaji, SpellsWithTheSelectedSpellings) {
    struct Case { const char* reading; const char* romaji; };  // romaji nullptr: the reading cannot be spelled
    // A group selects spellings, or keeps only the first keepRomeEntries entries of Rome.ini.
    struct Group { const char* name; std::vector<std::pair<const char*, const char*>> select;
                   std::vector<Case> cases; int32_t keepRomeEntries = -1; };
    const std::vector<Group> groups = {
        {"defaults", {}, {
            {"か", "KA"}, {"", nullptr}, {"しちつふじ", "SITITUFUZI"}, {"ヴ", "VU"}, {"きゃく", "KYAKU"}, {"きゃ", "KYA"},
            {"てぃー", "THI-"}, {"ゃき", "XYAKI"}, {"いぇい", "YEI"},
            // ん is N, but NN where a single N would join the next kana or end the reading
            {"ん", "NN"}, {"さんま", "SANMA"}, {"みかん", "MIKANN"}, {"ほんの", "HONNNO"}, {"んん", "NNNN"},
            {"みかん1", "MIKANN1"}, {"みかん。", "MIKANN."}, {"きんえん", "KINNENN"}, {"はんい", "HANNI"},
            {"こんや", "KONNYA"}, {"ほんゆ", "HONNYU"}, {"ほんよ", "HONNYO"}, {"てんいぇ", "TENNYE"},
            {"かんじゃ", "KANJA"}, {"ほんゃ", "HONXYA"},
            // っ doubles the first key of what follows (of a pair's own spelling), or stands alone
            {"っ", "XTU"}, {"きって", "KITTE"}, {"あっ", "AXTU"}, {"あっあ", "AXTUA"}, {"あっん", "AXTUNN"},
            {"っっか", "XTUKKA"}, {"っa", "XTUA"}, {"っ！", "XTU!"}, {"あっ い", "AXTUI"}, {"まっちゃ", "MATTYA"},
            {"ばっじゃ", "BAJJA"}, {"ばっじ", "BAZZI"}, {"っヴぁ", "VVA"}, {"っ漢", nullptr}, {"あっＡ", nullptr},
            // letters, digits and symbols are typed as they stand; a space is a placeholder's empty spelling
            {"（）();:^ー、。？?！!￥％＆・　,.", "()();:^-,.?" "?!!\\%&/ ,."}, {"abcXyz123", "ABCXYZ123"},
            {"あ い", "AI"}, {"Ａ", nullptr}, {"１", nullptr}, {"～", nullptr}, {"かな漢", nullptr},
        }},
        {"ん NN, っ LTSU", {{"ん", "NN"}, {"っ", "LTSU"}},
         {{"さんま", "SANNMA"}, {"かんじゃ", "KANNJA"}, {"ん", "NN"}, {"あっ", "ALTSU"}, {"きって", "KITTE"}}},
        {"ん XN", {{"ん", "XN"}}, {{"さんま", "SANMA"}, {"ん", "NN"}}},
        {"pairs typed as two kana", {{"しゃ", "*"}, {"ゃ", "LYA"}, {"ちゅ", "CHU"}, {"ヴぁ", "*"}, {"じゃ", "*"}},
         {{"しゃしん", "SILYASINN"}, {"ちゅうしゃ", "CHUUSILYA"}, {"ヴぁ", "VUXA"}, {"ばっじゃ", "BAZZILYA"}}},
        {"じゃ ZYA, choices out of range", {{"じゃ", "ZYA"}, {"し", "none"}, {"しゃ", "none"}},
         {{"ばっじゃ", "BAZZYA"}, {"しゃし", "SYASI"}}},
        {"Rome.ini without っ or ん", {}, {{"きって", nullptr}, {"さん", nullptr}, {"かき", "KAKI"}}, 40},
    };
    for (const Group& group : groups) {
        testing_support::LoadBundledTables();
        for (const auto& [kana, spelling] : group.select) Select(kana, spelling);
        if (group.keepRomeEntries >= 0) RomeTable.erase(RomeTable.begin() + group.keepRomeEntries, RomeTable.end() - 2);
        BuildRomeIndex(RomeIndex, RomeTable, 1);
        for (const Case& c : group.cases) {
            std::string romaji = "leftover", reason;
            bool converted = ReadingToRomaji(romaji, c.reading, &reason);
            std::string got = converted ? romaji : reason.empty() ? "(no reason)" : "(none)";
            EXPECT_EQ(got, c.romaji ? c.romaji : "(none)") << group.name << ": " << c.reading << " " << reason;
        }
    }
}

TEST(LoadQuestions, KeepsTheSpelledQuestionsOrRaisesLeavingThemIntact) {
    testing_support::LoadBundledTables();
    // file nullptr: no type.txt; outcome 1: stored, 0: nothing stored, else the error raised.
    // Questions start as three copies of 前.
    struct Case { const char* name; const char* file; int32_t outcome; const char* questions; };
    const Case cases[] = {
        {"spelled, empty and unspellable readings", "桜\r\nさくら\r\n\r\n空\r\n\r\n\r\n漢字\r\n漢字\r\n-\r\n"
         "富士山\r\nふじさん\r\n\r\n", 1, "桜 さくら SAKURA|富士山 ふじさん FUZISANN|"},
        {"last separator without CR LF", "木\r\nき\r\n--", 1, "木 き KI|"},
        {"nothing can be spelled", "漢字\r\n漢字\r\n\r\n", 0, ""},
        {"missing file", nullptr, ErrFileNotFound, "前 まえ MAE|"},
        {"one line", "木\r\n", ErrInputPastEnd, "前 まえ MAE|"},
        {"two lines", "木\r\nき\r\n", ErrInputPastEnd, "前 まえ MAE|"},
        {"a whole group and two lines", "木\r\nき\r\n\r\n花\r\nはな", ErrInputPastEnd, "前 まえ MAE|"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        if (c.file) folder.Write("type.txt", Utf8ToCp932(c.file));
        SkinPath = folder.Path();
        Questions.assign(3, Question{"前", "まえ", "MAE"});
        QuestionMax = 0;
        int32_t outcome = 0;
        try {
            outcome = LoadQuestions("type.txt") ? 1 : 0;
        } catch (const RuntimeError& raised) {
            outcome = raised.Number;
        }
        EXPECT_EQ(outcome, c.outcome) << c.name;
        std::string stored;
        for (size_t i = 1; i + 1 < Questions.size(); ++i) {
            stored += Questions[i].Text + " " + Questions[i].Reading + " " + Questions[i].Romaji + "|";
        }
        EXPECT_EQ(stored, c.questions) << c.name;
        EXPECT_EQ(QuestionMax + 3, static_cast<int32_t>(Questions.size())) << c.name;
        EXPECT_EQ(Questions.front().Romaji + Questions.back().Romaji, outcome > 1 ? "MAEMAE" : "") << c.name << ": spares";
    }
}

TEST(BundledQuestions, ConvertUnderEverySpellingChoice) {
    testing_support::LoadBundledTables();
    SkinPath = std::string(DEXLORA_SOURCE_DIR) + "/skins/Standard/";
    ASSERT_TRUE(LoadQuestions("type.txt"));
    size_t lines = 0;
    for (TextFileReader file(SkinPath + "type.txt"); !file.AtEnd(); file.ReadLine()) ++lines;
    EXPECT_EQ(Questions.size() - 2, lines / 3) << "every question loads with the first spellings";
    for (RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (RomeEntry& entry : *table) {
            for (entry.Selected = 1; entry.Selected < entry.Count; ++entry.Selected) {
                for (size_t q = 1; q + 1 < Questions.size(); ++q) {
                    std::string romaji, reason;
                    if (!ReadingToRomaji(romaji, Questions[q].Reading, &reason) || romaji.empty()) {
                        FAIL() << Questions[q].Reading << " with " << entry.Kana << " as " << SelectedSpelling(entry)
                               << ": " << reason;
                    }
                }
            }
            entry.Selected = 0;
        }
    }
}

TEST(DexloraCheck, ListsEveryQuestionAndWhyOneIsLeftOut) {
    TempFolder folder;
    std::string typeTxt = folder.Write("type.txt", Utf8ToCp932("桜\r\nさくら\r\n\r\n空\r\n\r\n\r\n漢\r\nかなＡ\r\n\r\n"));
    std::string command = std::string(DEXLORA_CHECK) + " " + testing_support::SourceSystemFolder + " " + typeTxt;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
    int status = pclose(pipe);
    EXPECT_EQ(out, "さくら\tSAKURA\n\t!empty reading\nかなＡ\t!no spelling for \"Ａ\" (U+FF21) at character 3\n");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace dexlora
