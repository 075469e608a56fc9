// type.txt read with the bundled romaji tables: every stored question spells
// to the romaji it was stored with, the set is whole, and a refused file
// leaves the old questions.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/questions.h"
#include "engine/reading_to_romaji.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/error.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::LoadBundledTables();
    fuzz::WriteScratch("type.txt", {reinterpret_cast<const char*>(data), size});
    Questions = QuestionList(1);
    Questions.push_back(Question{"before", "まえ", "MAE"});
    Questions.push_back(Question{});
    QuestionMax = 0;
    bool stored = false;
    try {
        stored = LoadQuestions(fuzz::Scratch(), "type.txt");
    } catch (const RuntimeError&) {
        FUZZ_CHECK(Questions.size() == 3 && Questions[1].Text == "before" && QuestionMax == 0,
                   "a refused file changed the questions");
        return 0;
    }
    // Spare entries first and last; QuestionMax is the last question's number less one.
    FUZZ_CHECK(Questions.size() >= 2 && Questions.front().Romaji.empty() && Questions.back().Romaji.empty() &&
                   QuestionMax == static_cast<int32_t>(Questions.size()) - 3 && stored == (Questions.size() > 2),
               std::to_string(Questions.size()) + " entries, QuestionMax " + std::to_string(QuestionMax));
    for (size_t i = 1; i + 1 < Questions.size(); ++i) {
        const Question q = Questions[i];
        std::string again;
        FUZZ_CHECK(!q.Romaji.empty() && ReadingToRomaji(again, q.Reading) && again == q.Romaji &&
                       (std::string(q.Text) + std::string(q.Reading)).find_first_of("\r\n") == std::string::npos,
                   "question " + std::to_string(i) + ": " + Escaped(q.Reading) + " stored as " + Escaped(q.Romaji));
    }
    return 0;
}
