// Reading type.txt: stored questions, dropped readings and files that raise.
#include "typing/questions.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "tests/platform_core/temp_folder.h"
#include "tests/typing/typing_support.h"

namespace dexlora {
namespace {

using testing_support::Cp932Lines;
using testing_support::LoadBundledTables;
using testing_support::TempFolder;

class LoadQuestionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadBundledTables();
        SkinPath = folder_.Path();
    }
    TempFolder folder_;
};

TEST_F(LoadQuestionsTest, StoresTheQuestionsThatCanBeSpelled) {
    struct Expected {
        const char* text;
        const char* reading;
        const char* romaji;
    };
    struct Case {
        const char* name;
        std::string file;
        bool result;
        std::vector<Expected> questions;
    };
    const Case cases[] = {
        {"three groups, one not spelled",
         Cp932Lines({"桜", "さくら", "", "漢字", "漢字", "-", "富士山", "ふじさん", ""}), true,
         {{"桜", "さくら", "SAKURA"}, {"富士山", "ふじさん", "FUZISANN"}}},
        {"empty reading dropped", Cp932Lines({"空", "", "", "木", "き", ""}), true, {{"木", "き", "KI"}}},
        {"last separator line without CR LF", Utf8ToCp932("木\r\nき\r\n--"), true, {{"木", "き", "KI"}}},
        {"lone LF line ends", Utf8ToCp932("木\nき\n\n"), true, {{"木", "き", "KI"}}},
        {"no reading can be spelled", Cp932Lines({"漢字", "漢字", ""}), false, {}},
        {"empty file", "", false, {}},
    };
    for (const Case& c : cases) {
        folder_.Write("type.txt", c.file);
        Questions.assign(5, Question{"old", "old", "old"});
        EXPECT_EQ(LoadQuestions("type.txt"), c.result) << c.name;
        ASSERT_EQ(Questions.size(), c.questions.size() + 2) << c.name;
        EXPECT_EQ(QuestionMax, static_cast<int32_t>(c.questions.size()) - 1) << c.name;
        EXPECT_EQ(Questions.front().Text, "") << c.name << ": spare entry 0";
        EXPECT_EQ(Questions.back().Romaji, "") << c.name << ": spare entry N+1";
        for (size_t i = 0; i < c.questions.size(); ++i) {
            const Question& q = Questions[i + 1];
            EXPECT_EQ(q.Text, c.questions[i].text) << c.name << ", question " << i + 1;
            EXPECT_EQ(q.Reading, c.questions[i].reading) << c.name << ", question " << i + 1;
            EXPECT_EQ(q.Romaji, c.questions[i].romaji) << c.name << ", question " << i + 1;
        }
    }
}

TEST_F(LoadQuestionsTest, MissingOrCutShortFileRaisesAndKeepsTheQuestions) {
    struct Case {
        const char* name;
        const char* file;  // nullptr: no type.txt at all
        int32_t error;
    };
    const Case cases[] = {
        {"missing file", nullptr, ErrFileNotFound},
        {"one line", "木\r\n", ErrInputPastEnd},
        {"two lines", "木\r\nき\r\n", ErrInputPastEnd},
        {"a whole group and one line", "木\r\nき\r\n\r\n花\r\n", ErrInputPastEnd},
        {"a whole group and two lines", "木\r\nき\r\n\r\n花\r\nはな", ErrInputPastEnd},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        if (c.file) folder.Write("type.txt", Utf8ToCp932(c.file));
        SkinPath = folder.Path();
        Questions = {Question{}, Question{"前", "まえ", "MAE"}, Question{}};
        QuestionMax = 0;
        try {
            LoadQuestions("type.txt");
            ADD_FAILURE() << c.name << ": no error raised";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number, c.error) << c.name;
        }
        ASSERT_EQ(Questions.size(), 3u) << c.name;
        EXPECT_EQ(Questions[1].Romaji, "MAE") << c.name;
        EXPECT_EQ(QuestionMax, 0) << c.name;
    }
}

TEST_F(LoadQuestionsTest, RomajiFollowsTheSpellingsSelectedAtLoading) {
    folder_.Write("type.txt", Cp932Lines({"写真", "しゃしん", ""}));
    ASSERT_TRUE(LoadQuestions("type.txt"));
    EXPECT_EQ(Questions[1].Romaji, "SYASINN");
    testing_support::Select(Rome2Table, "しゃ", "SHA");
    testing_support::Select(RomeTable, "し", "SHI");
    EXPECT_EQ(Questions[1].Romaji, "SYASINN") << "unchanged until the file is read again";
    ASSERT_TRUE(LoadQuestions("type.txt"));
    EXPECT_EQ(Questions[1].Romaji, "SHASHINN");
}

}  // namespace
}  // namespace dexlora
