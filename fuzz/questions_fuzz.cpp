// type.txt: questions read with the bundled romaji tables; every stored
// question spells to the romaji it was stored with, and the set is whole.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/questions.h"
#include "engine/reading_to_romaji.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_tables.h"
#include "platform/core/error.h"
#include "settings/shared.h"

using namespace dexlora;
using dexlora::fuzz::Escaped;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fuzz::LoadBundledTables();
    auto& scratch = fuzz::ScratchFolder::Get();
    SkinPath = scratch.Path();
    scratch.Write("type.txt", input);

    // A known set beforehand, to see that a refused file leaves it alone.
    QuestionList before(1);
    before.push_back(Question{"before", "まえ", "MAE"});
    before.push_back(Question{});
    Questions = before;
    QuestionMax = 0;

    bool stored = false;
    bool raised = false;
    try {
        stored = LoadQuestions("type.txt");
    } catch (const RuntimeError&) {
        raised = true;
    }
    if (raised) {
        FUZZ_CHECK(Questions.size() == 3 && Questions[1].Text == "before" && QuestionMax == 0,
                   "a refused file changed the questions");
        return 0;
    }
    FUZZ_CHECK(Questions.size() >= 2, "no spare entries");
    FUZZ_CHECK(QuestionMax == static_cast<int32_t>(Questions.size()) - 3, "QuestionMax");
    FUZZ_CHECK(stored == (Questions.size() > 2), "the answer disagrees with the questions stored");
    const Question first = Questions.front();
    const Question last = Questions.back();
    FUZZ_CHECK(first.Text.empty() && first.Reading.empty() && first.Romaji.empty(), "spare entry 0");
    FUZZ_CHECK(last.Text.empty() && last.Reading.empty() && last.Romaji.empty(), "spare entry N+1");
    // Three lines each at least, so never more questions than line ends allow.
    FUZZ_CHECK(Questions.size() - 2 <= input.size() / 2 + 1, "more questions than lines");
    for (size_t i = 1; i + 1 < Questions.size(); ++i) {
        const Question q = Questions[i];
        FUZZ_CHECK(!q.Romaji.empty(), "question " + std::to_string(i) + " has no romaji: " + Escaped(q.Reading));
        FUZZ_CHECK(q.Text.find_first_of("\r\n") == std::string::npos &&
                       q.Reading.find_first_of("\r\n") == std::string::npos,
                   "a line end inside question " + std::to_string(i));
        for (unsigned char key : q.Romaji) {
            FUZZ_CHECK(key >= 0x20 && key < 0x7F, "romaji of " + Escaped(q.Reading) + ": " + Escaped(q.Romaji));
        }
        std::string again;
        FUZZ_CHECK(ReadingToRomaji(again, q.Reading) && again == q.Romaji, Escaped(q.Reading));
    }
    return 0;
}
