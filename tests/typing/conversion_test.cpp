// From readings to romaji: ん, っ, pairs, "*", symbols; type.txt, the bundled questions, the checker.
#include "engine/reading_to_romaji.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>

#include "engine/printable.h"
#include "engine/questions.h"
#include "platform/core/error.h"
#include "platform/core/files.h"
#include "tests/skin/check_run.h"
#include "tests/typing/typing_support.h"

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
    // respell replaces the first (selected) spelling of a kana of Rome.ini.
    struct Group { const char* name; std::vector<std::pair<const char*, const char*>> select;
                   std::vector<Case> cases; int32_t keepRomeEntries = -1;
                   std::vector<std::pair<const char*, std::string>> respell = {}; };
    const std::vector<Group> groups = {
        {"defaults", {}, {
            {"", nullptr}, {"しちつふじ", "SITITUFUZI"}, {"ヴ", "VU"}, {"きゃく", "KYAKU"}, {"てぃー", "THI-"},
            {"ゃき", "XYAKI"}, {"いぇい", "YEI"},
            // ん is N, but NN where a single N would join the next kana or end the reading
            {"さんま", "SANMA"}, {"みかん", "MIKANN"}, {"ほんの", "HONNNO"}, {"んん", "NNNN"}, {"みかん1", "MIKANN1"},
            {"はんい", "HANNI"}, {"こんや", "KONNYA"}, {"てんいぇ", "TENNYE"}, {"かんじゃ", "KANJA"}, {"ほんゃ", "HONXYA"},
            // っ doubles the first key of what follows (of a pair's own spelling), or stands alone
            {"きって", "KITTE"}, {"あっ", "AXTU"}, {"あっあ", "AXTUA"}, {"あっん", "AXTUNN"}, {"っっか", "XTUKKA"},
            {"っa", "XTUA"}, {"あっ い", "AXTUI"}, {"まっちゃ", "MATTYA"}, {"ばっじゃ", "BAJJA"}, {"ばっじ", "BAZZI"},
            {"っヴぁ", "VVA"}, {"っ漢", nullptr},
            // letters, digits and symbols are typed as they stand; a space is a placeholder's empty spelling
            {"（）();:^ー、。？?！!￥％＆・　,.", "()();:^-,.?" "?!!\\%&/ ,."}, {"abcXyz123", "ABCXYZ123"},
            {"あ い", "AI"}, {"Ａ", nullptr}, {"かな漢", nullptr},
            // a romaji without a single key could never be completed
            {"   ", nullptr},
        }},
        {"empty spelling", {}, {{"あ", nullptr}, {"ああ", nullptr}, {"かあ", "KA"}, {"あっか", "KKA"}}, -1, {{"あ", ""}}},
        {"overlong spelling: at most 8 keys per character", {},
         {{"あ", "AAAAAAAA"}, {"い", nullptr}, {"いい", nullptr}, {"いa", "IIIIIIIIIA"}, {"いかか", "IIIIIIIIIKAKA"},
          {"ういう", nullptr}}, -1, {{"あ", std::string(8, 'A')}, {"い", std::string(9, 'I')}, {"う", std::string(30, 'U')}}},
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
        for (const auto& [kana, spelling] : group.respell) RomeTable[static_cast<size_t>(FindRomeEntry(Utf8ToU32(kana)[0]))].Romaji[0] = spelling;
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
        {"CR-only line ends", "木\rき\r-\r花\rはな\r-", 1, "木 き KI|花 はな HANA|"},
        {"a romaji of no key is left out", "空\r\n \r\n\r\n木\r\nき\r\n\r\n", 1, "木 き KI|"},
        {"nothing can be spelled", "漢字\r\n漢字\r\n\r\n", 0, ""},
        {"missing file", nullptr, ErrFileNotFound, "前 まえ MAE|"},
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
            const Question q = Questions[i];
            stored += std::string(q.Text) + " " + std::string(q.Reading) + " " + std::string(q.Romaji) + "|";
        }
        EXPECT_EQ(stored, c.questions) << c.name;
        EXPECT_EQ(QuestionMax + 3, static_cast<int32_t>(Questions.size())) << c.name;
        EXPECT_EQ(std::string(Questions.front().Romaji) + std::string(Questions.back().Romaji),
                  outcome > 1 ? "MAEMAE" : "") << c.name << ": spares";
    }
}

TEST(QuestionList, KeepsEachEntrysThreeTextsApart) {
    QuestionList list(1);
    const std::string nul("a\0b", 3);
    const Question added[] = {{"桜", "さくら", "SAKURA"}, {"", "", ""}, {nul, "x", nul}, {"", "き", "KI"}};
    for (const Question& q : added) list.push_back(q);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0].Text.size() + list[0].Reading.size() + list[0].Romaji.size(), 0u) << "the spare entry";
    for (size_t i = 0; i < std::size(added); ++i) {
        const Question got = list[i + 1];
        EXPECT_EQ(std::tie(got.Text, got.Reading, got.Romaji), std::tie(added[i].Text, added[i].Reading, added[i].Romaji))
            << "entry " << i + 1;
    }
    int32_t raised = 0;
    try {
        list[5];
    } catch (const RuntimeError& e) {
        raised = e.Number;
    }
    EXPECT_EQ(raised, ErrSubscript) << "past the last entry";
    list.assign(2, list[1]);  // a copy of one of its own entries
    EXPECT_EQ(std::string(list.back().Romaji), "SAKURA");
    EXPECT_EQ(list.size(), 2u);
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

TEST(EscapeControls, PrintsEveryTextWholeOnOneLine) {
    struct Case { std::string text; const char* printed; };
    const Case cases[] = {
        {std::string("a\0b", 3), "a\\x00b"}, {"\t\r\n", "\\x09\\x0D\\x0A"}, {"\x7F", "\\x7F"},
        {"\xC2\x85", "\\u0085"}, {"\\￥か", "\\￥か"}, {"\x80", "\xEF\xBF\xBD"}, {"\xE3\x81", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) EXPECT_EQ(EscapeControls(c.text), c.printed) << c.printed;
    EXPECT_EQ(QuoteForMessage("かきくけこ", 3), "かきく...");
    EXPECT_EQ(QuoteForMessage("かき\t", 3), "かき\\x09");
}

// What dexlora-check printed on each stream and how it ended.
struct CheckRun : test::CheckRun {
    std::string err;
};

CheckRun RunCheck(const std::string& systemFolder, const std::string& typeTxt, const std::string& prefix = "") {
    TempFolder errors;
    const std::string errFile = errors.Path() + "stderr.txt";
    CheckRun run{test::RunCommand(prefix + DEXLORA_CHECK + " '" + systemFolder + "' '" + typeTxt + "' 2>" + errFile)};
    run.err = TempFolder::Read(errFile);
    return run;
}

TEST(DexloraCheck, ListsEveryQuestionAndWhyOneIsLeftOut) {
    TempFolder folder;
    std::string questions = "桜\r\nさくら\r\n\r\n空\r\n\r\n\r\n漢\r\nかなＡ\r\n\r\n空白\r\n \r\n\r\nnul\r\nか";
    questions += '\0';
    questions += "き\tく\r\n\r\n";
    std::string typeTxt = folder.Write("type.txt", Utf8ToCp932(questions));
    CheckRun run = RunCheck(testing_support::SourceSystemFolder, typeTxt);
    EXPECT_EQ(run.out, "さくら\tSAKURA\n\t!empty reading\nかなＡ\t!no spelling for \"Ａ\" (U+FF21) at character 3\n"
                       " \t!the romaji would be empty\n"
                       "か\\x00き\\x09く\t!no spelling for \"\\x00\" (U+0000) at character 2\n");
    EXPECT_EQ(run.err, "dexlora-check: 1 of 5 questions can be typed\n");
    EXPECT_EQ(run.status, 0);
}

// Each file the checker reads, replaced by something the game cannot read, is named with what it is.
TEST(DexloraCheck, SaysWhatKeepsAFileFromBeingRead) {
    // Each case damages a copy of the system folder (system/) or type.txt, both in folder.
    struct Case { const char* name; std::function<void(const TempFolder&)> damage; int status; const char* message;
                  bool asAnotherUser = false; };
    const Case cases[] = {
        {"type.txt missing", [](const TempFolder&) {}, 2, "type.txt: not found\n"},
        {"type.txt is a folder", [](const TempFolder& f) { mkdir((f.Path() + "type.txt").c_str(), 0755); }, 2,
         "type.txt: not a regular file (a folder)\n"},
        {"type.txt is a FIFO", [](const TempFolder& f) { mkfifo((f.Path() + "type.txt").c_str(), 0644); }, 2,
         "type.txt: not a regular file (a FIFO, device or socket)\n"},
        {"type.txt is a loop of links", [](const TempFolder& f) {
             symlink((f.Path() + "type.txt").c_str(), (f.Path() + "type.txt").c_str()); }, 2,
         "type.txt: cannot be read (a loop of symbolic links)\n"},
        {"type.txt links to nothing", [](const TempFolder& f) {
             symlink((f.Path() + "gone.txt").c_str(), (f.Path() + "type.txt").c_str()); }, 2,
         "type.txt: not found (a symbolic link to nothing)\n"},
        {"type.txt too large", [](const TempFolder& f) {
             f.Write("type.txt", "");
             truncate((f.Path() + "type.txt").c_str(), (off_t{64} << 20) + 1); }, 2,
         "type.txt: too large (67108865 bytes; text files are read up to 64 MB)\n"},
        {"Rome.ini is a folder", [](const TempFolder& f) {
             std::filesystem::remove(f.Path() + "system/Rome.ini");
             mkdir((f.Path() + "system/Rome.ini").c_str(), 0755); }, 2, "Rome.ini: not a regular file (a folder)\n"},
        {"KeyConf.txt is a folder", [](const TempFolder& f) { mkdir((f.Path() + "system/KeyConf.txt").c_str(), 0755); },
         0, "warning: KeyConf.txt not a regular file (a folder); every entry uses its first spelling\n"},
        {"KeyConf.txt with a huge number", [](const TempFolder& f) { f.Write("system/KeyConf.txt", "0\r\n99999999999\r\n"); },
         0, "warning: KeyConf.txt is malformed at line 2: \"99999999999\" is not a whole number; "
            "the entries from there on use their first spelling\n"},
        {"Rome.ini with a count beyond the limit", [](const TempFolder& f) {
             f.Write("system/Rome.ini", "a\r\n2000000000\r\nA\r\nA\r\n"); }, 1,
         "warning: Rome.ini is malformed at line 2: the count \"2000000000\" is not a whole number from 0 to 100; "
         "its first 0 entries are used\n"},
        {"Rome.ini with faulty entries", [](const TempFolder& f) {
             f.Write("system/Rome.ini", Utf8ToCp932("き\r\n1\r\nKI\r\n\r\nきき\r\n1\r\nKI\r\n\r\nか\r\n2\r\n\r\nka\r\n\r\n") +
                                            "\x82\xA0\r\n1\r\nA\x80\r\n\r\n"); }, 0,
         "warning: Rome.ini entry 1 (line 5): the kana \"きき\" is 2 characters long, not 1: no reading ever finds it\n"
         "dexlora-check: warning: Rome.ini entry 2 (line 11): spelling 1 is empty: a question needing it could never be completed\n"
         "dexlora-check: warning: Rome.ini entry 2 (line 12): spelling 2 \"ka\" holds a lower-case letter, which typing never "
         "gives (letters arrive as capitals) (U+006B)\n"
         "dexlora-check: warning: Rome.ini entry 3 (line 16): spelling 1 \"A\uFFFD\" holds a byte that is not CP932 (U+FFFD)\n"},
        {"Rome.ini too short for っ and ん", [](const TempFolder& f) { f.Write("system/Rome.ini", "\x82\xa9\r\n1\r\nKA\r\n\r\n"); }, 1,
         "warning: Rome.ini has no entry 42 with spellings, which types っ: every reading with っ is left out\n"
         "dexlora-check: warning: Rome.ini has no entry 94 with spellings, which types ん: every reading with ん is left out\n"},
        // Root reads every file whatever its mode: the checker then runs as another user, as a player would.
        {"type.txt without read permission", [](const TempFolder& f) {
             f.Write("type.txt", "");
             chmod((f.Path() + "type.txt").c_str(), 0); }, 2, "type.txt: cannot be read (Permission denied)\n", true},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const char* name : {"Rome.ini", "Rome2.ini"})
            folder.Write(std::string("system/") + name, TempFolder::Read(testing_support::SourceSystemFolder + name));
        if (std::string(c.name).rfind("type.txt", 0) != 0) folder.Write("type.txt", Utf8ToCp932("木\r\nき\r\n\r\n"));
        c.damage(folder);
        std::string prefix;
        if (c.asAnotherUser && geteuid() == 0) {
            if (access("/usr/bin/setpriv", X_OK) != 0) {
                ADD_FAILURE() << c.name << ": running as root without setpriv, the case cannot be tried";
                continue;
            }
            prefix = "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups ";
            chmod(folder.Path().c_str(), 0755);
            chmod((folder.Path() + "system").c_str(), 0755);
        }
        CheckRun run = RunCheck(folder.Path() + "system", folder.Path() + "type.txt", prefix);
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << "\n" << run.err;
    }
}

}  // namespace
}  // namespace dexlora
