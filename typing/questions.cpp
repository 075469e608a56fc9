// Reading type.txt into the questions, each with the romaji to type.
#include "typing/questions.h"

#include "platform/files.h"
#include "skin/settings/shared.h"
#include "typing/reading_to_romaji.h"

namespace dexlora {

std::vector<Question> Questions(2);
int32_t QuestionMax = -1;

bool LoadQuestions(std::string_view fileName) {
    TextFileReader file(SkinPath + std::string(fileName));

    // Built aside and swapped in whole, so a raise on a cut-short file never
    // leaves the game with half a question set.
    std::vector<Question> loaded(1);
    while (!file.AtEnd()) {
        Question question;
        question.Text = file.ReadLine();
        question.Reading = file.ReadLine();
        if (ReadingToRomaji(question.Romaji, question.Reading)) loaded.push_back(std::move(question));
        file.ReadLine();  // separator
    }
    loaded.emplace_back();

    Questions = std::move(loaded);
    // Set here as well as by the caller, so that the range of the random
    // choice always matches the questions just stored.
    QuestionMax = static_cast<int32_t>(Questions.size()) - 3;
    return Questions.size() > 2;
}

}  // namespace dexlora
