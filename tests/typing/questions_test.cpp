// Reading type.txt, the bundled questions under every spelling, and the skin authors' checker.
#include "typing/questions.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

#include "platform/encoding.h"
#include "platform/error.h"
#include "platform/files.h"
#include "tests/platform_core/temp_folder.h"
#include "tests/typing/typing_support.h"
#include "typing/reading_to_romaji.h"

namespace dexlora {
namespace {

using testing_support::TempFolder;

TEST(LoadQuestions, KeepsTheSpelledQuestionsOrRaisesLeavingThemIntact) {
    testing_support::LoadBundledTables();
    // file nullptr: no type.txt; error 0: none raised. Questions start as three copies of 前.
    struct Case { const char* name; const char* file; bool result; int32_t error; const char* questions; };
    const Case cases[] = {
        {"spelled, empty and unspellable readings", "桜\r\nさくら\r\n\r\n空\r\n\r\n\r\n漢字\r\n漢字\r\n-\r\n"
         "富士山\r\nふじさん\r\n\r\n", true, 0, "桜 さくら SAKURA|富士山 ふじさん FUZISANN|"},
        {"last separator without CR LF", "木\r\nき\r\n--", true, 0, "木 き KI|"},
        {"nothing can be spelled", "漢字\r\n漢字\r\n\r\n", false, 0, ""},
        {"missing file", nullptr, false, ErrFileNotFound, "前 まえ MAE|"},
        {"one line", "木\r\n", false, ErrInputPastEnd, "前 まえ MAE|"},
        {"two lines", "木\r\nき\r\n", false, ErrInputPastEnd, "前 まえ MAE|"},
        {"a whole group and two lines", "木\r\nき\r\n\r\n花\r\nはな", false, ErrInputPastEnd, "前 まえ MAE|"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        if (c.file) folder.Write("type.txt", Utf8ToCp932(c.file));
        SkinPath = folder.Path();
        Questions.assign(3, Question{"前", "まえ", "MAE"});
        QuestionMax = 0;
        bool result = false;
        int32_t error = 0;
        try {
            result = LoadQuestions("type.txt");
        } catch (const RuntimeError& raised) {
            error = raised.Number;
        }
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        std::string stored;
        for (size_t i = 1; i + 1 < Questions.size(); ++i) {
            stored += Questions[i].Text + " " + Questions[i].Reading + " " + Questions[i].Romaji + "|";
        }
        EXPECT_EQ(stored, c.questions) << c.name;
        EXPECT_EQ(QuestionMax + 3, static_cast<int32_t>(Questions.size())) << c.name;
        EXPECT_EQ(Questions.front().Romaji + Questions.back().Romaji, error ? "MAEMAE" : "") << c.name << ": spares";
    }
}

TEST(BundledQuestions, ConvertUnderEverySpellingChoice) {
    testing_support::LoadBundledTables();
    SkinPath = std::string(DEXLORA_SOURCE_DIR) + "/skins/Standard/";
    ASSERT_TRUE(LoadQuestions("type.txt"));
    size_t lines = 0;
    for (TextFileReader file(SkinPath + "type.txt"); !file.AtEnd(); file.ReadLine()) ++lines;
    EXPECT_EQ(Questions.size() - 2, lines / 3) << "every question loads with the first spellings";
    int failures = 0;
    for (RomeEntries* table : {&RomeTable, &Rome2Table}) {
        for (RomeEntry& entry : *table) {
            for (entry.Selected = 1; entry.Selected < entry.Count; ++entry.Selected) {
                for (size_t q = 1; q + 1 < Questions.size(); ++q) {
                    std::string romaji;
                    std::string reason;
                    bool converted = ReadingToRomaji(romaji, Questions[q].Reading, &reason) && !romaji.empty();
                    if (!converted && ++failures <= 20) {
                        ADD_FAILURE() << Questions[q].Reading << " with " << entry.Kana << " as "
                                      << SelectedSpelling(entry) << ": " << reason;
                    }
                }
            }
            entry.Selected = 0;
        }
    }
    EXPECT_EQ(failures, 0);
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
