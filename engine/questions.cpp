// Reading type.txt into the questions, each with the romaji to type.
#include "engine/questions.h"

#include <algorithm>
#include <limits>

#include "engine/reading_to_romaji.h"
#include "platform/core/error.h"
#include "platform/core/files.h"

namespace dexlora {

QuestionList Questions(2);
int32_t QuestionMax = -1;

Question QuestionList::operator[](size_t index) const {
    if (index >= size()) throw RuntimeError(ErrSubscript, "Subscript out of range");
    const size_t at = 3 * index;
    const uint32_t text = starts_[at], reading = starts_[at + 1], romaji = starts_[at + 2], end = starts_[at + 3];
    std::string_view all(texts_);
    return Question{all.substr(text, reading - text), all.substr(reading, romaji - reading),
                    all.substr(romaji, end - romaji)};
}

void QuestionList::assign(size_t count, const Question& question) {
    // The copy first: question may view this list.
    const std::string text(question.Text), reading(question.Reading), romaji(question.Romaji);
    texts_.clear();
    starts_.clear();
    for (size_t i = 0; i < count; ++i) push_back(Question{text, reading, romaji});
}

void QuestionList::push_back(const Question& question) {
    const size_t added = question.Text.size() + question.Reading.size() + question.Romaji.size();
    if (added > std::numeric_limits<uint32_t>::max() - texts_.size()) {
        throw RuntimeError(ErrOverflow, "Overflow: the questions pass 4 GB");
    }
    // Growth by half the size, or exactly enough for one large entry: a
    // question of many megabytes must not double the buffer.
    if (added > texts_.capacity() - texts_.size()) texts_.reserve(texts_.size() + std::max(added, texts_.size() / 2));
    if (starts_.empty()) starts_.push_back(0);
    starts_.pop_back();  // the old end is the new entry's text start
    for (std::string_view part : {question.Text, question.Reading, question.Romaji}) {
        starts_.push_back(static_cast<uint32_t>(texts_.size()));
        texts_ += part;
    }
    starts_.push_back(static_cast<uint32_t>(texts_.size()));
}

int64_t ReadQuestionFile(std::string_view path, const std::function<void(const QuestionGroup&)>& onGroup) {
    TextFileReader file(path);
    QuestionGroup group;
    int64_t line = 0;
    while (!file.AtEnd()) {
        group.Line = line + 1;
        group.Text = file.ReadLine();
        if (file.AtEnd()) return group.Line;
        group.Reading = file.ReadLine();
        if (file.AtEnd()) return group.Line;
        file.ReadLine();  // separator
        line += 3;
        onGroup(group);
    }
    return 0;
}

bool LoadQuestions(std::string_view skinFolder, std::string_view fileName) {
    const std::string path = std::string(skinFolder) + std::string(fileName);
    // Built aside and swapped in whole, so a raise on a cut-short file never
    // leaves the game with half a question set.
    QuestionList loaded(1);
    std::string romaji;
    const RomeLookup& lookup = RomeLookup::Current();
    int64_t cutAt = ReadQuestionFile(path, [&](const QuestionGroup& group) {
        if (ReadingToRomaji(romaji, group.Reading, lookup)) loaded.push_back(Question{group.Text, group.Reading, romaji});
    });
    if (cutAt != 0) {
        throw RuntimeError(ErrInputPastEnd, "Input past end of file: " + path + " ends inside the question at line " +
                                                std::to_string(cutAt));
    }
    loaded.push_back(Question{});

    Questions = std::move(loaded);
    // Set with the questions, so that the range of the random choice always
    // matches the questions stored, whoever loads them.
    QuestionMax = static_cast<int32_t>(Questions.size()) - 3;
    return Questions.size() > 2;
}

}  // namespace dexlora
