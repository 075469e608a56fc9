// The questions of the chosen skin, read from its type.txt.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dexlora {

struct Question {
    std::string Text;     // the line shown to the player
    std::string Reading;  // its reading in kana, letters, digits and symbols
    std::string Romaji;   // the keys to type, built from Reading
};

// N questions at indices 1 to N; indices 0 and N+1 are spare empty entries.
extern std::vector<Question> Questions;
// N - 1: the next question is drawn from 1 to QuestionMax + 1.
extern int32_t QuestionMax;

// Rebuilds Questions from SkinPath + fileName (groups of text, reading and
// separator lines), keeping the questions whose reading can be spelled, and
// sets QuestionMax. Answers true when at least one question was stored.
// A missing file, or one that ends inside a group, raises RuntimeError and
// leaves Questions as it was.
bool LoadQuestions(std::string_view fileName);

}  // namespace dexlora
