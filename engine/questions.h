// The questions of the chosen skin, read from its type.txt.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <deque>

namespace dexlora {

// One question, as views into the question list that holds it: valid until
// that list is replaced (LoadQuestions) or changed.
struct Question {
    std::string_view Text;     // the line shown to the player
    std::string_view Reading;  // its reading in kana, letters, digits and symbols
    std::string_view Romaji;   // the keys to type, built from Reading
};

// Questions kept compactly: the three texts of every entry lie one after the
// other in a single buffer, with one 32-bit start per text, so that a file of
// many tiny questions costs little more than its own size.
class QuestionList {
public:
    QuestionList() = default;
    // count empty entries.
    explicit QuestionList(size_t count) { assign(count, Question{}); }

    size_t size() const { return starts_.empty() ? 0 : (starts_.size() - 1) / 3; }
    bool empty() const { return size() == 0; }
    Question operator[](size_t index) const;
    Question front() const { return (*this)[0]; }
    Question back() const { return (*this)[size() - 1]; }

    // Makes the list count copies of question.
    void assign(size_t count, const Question& question);
    // Adds an entry at the end. Raises RuntimeError ErrOverflow when the
    // buffer would pass 4 GB, which no file within the readers' limit reaches.
    void push_back(const Question& question);

private:
    std::string texts_;
    // Text, reading and romaji start of each entry, then the end of the last.
    std::deque<uint32_t> starts_;  // grows without copying: no peak of twice its size
};

// N questions at indices 1 to N; indices 0 and N+1 are spare empty entries.
extern QuestionList Questions;
// N - 1: the next question is drawn from 1 to QuestionMax + 1.
extern int32_t QuestionMax;

// One whole group of a question file.
struct QuestionGroup {
    std::string Text;     // its first line
    std::string Reading;  // its second line
    int64_t Line;         // the line it starts on, from 1
};

// Reads the question file at path (resolved like every data file) group by
// group of text, reading and separator lines, handing each whole group to
// onGroup in file order. Answers 0 when the file ends after a whole group, or
// the first line of the group it ends inside. A file that cannot be read
// raises RuntimeError as TextFileReader does.
int64_t ReadQuestionFile(std::string_view path, const std::function<void(const QuestionGroup&)>& onGroup);

// Rebuilds Questions from skinFolder + fileName, keeping the questions whose
// reading can be spelled, and sets QuestionMax. Answers true when at least one
// question was stored. A missing file, or one that ends inside a group, raises
// RuntimeError (ErrInputPastEnd for the latter) and leaves Questions as it was.
bool LoadQuestions(std::string_view skinFolder, std::string_view fileName);

}  // namespace dexlora
