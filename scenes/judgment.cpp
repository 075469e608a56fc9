// Judging typed characters and drawing the question.
#include "scenes/judgment.h"

#include <string>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "platform/core/encoding.h"
#include "scenes/frame.h"
#include "scenes/game_fields.h"
#include "skin/loaders/loaders.h"

namespace dexlora {

namespace {

constexpr char32_t kMiddleDot = U'\uFF65';  // half-width katakana middle dot

// The first count characters of a UTF-8 text.
std::string_view Utf8Prefix(std::string_view text, size_t count) {
    size_t pos = 0;
    while (count > 0 && pos < text.size()) {
        size_t length = 1;
        DecodeUtf8(text, pos, length);
        pos += length;
        --count;
    }
    return text.substr(0, pos);
}

}  // namespace

void PlaySoundSlot(const SoundSlot& slot) {
    if (!slot.Loaded || !slot.Buffer) return;
    slot.Buffer->Stop();
    slot.Buffer->SetCurrentPosition(0);
    slot.Buffer->Play(0);
}

std::optional<Question> CurrentQuestion() {
    if (QuestionIndex < 0 || size_t(QuestionIndex) >= Questions.size()) return std::nullopt;
    return Questions[size_t(QuestionIndex)];
}

bool Judgment() {
    const std::optional<Question> question = CurrentQuestion();
    // An empty romaji is never finished: nothing of it was typed.
    if (!question || question->Romaji.empty() || TypedLength < 0 ||
        size_t(TypedLength) != Utf8Length(question->Romaji))
        return false;
    PlaySoundSlot(GameSounds[1]);
    ++ClearCount;
    QuestionIndex = PickQuestion();
    TypedLength = 0;
    return true;
}

void JudgeKey(char32_t key) {
    const std::optional<Question> question = CurrentQuestion();
    if (!question || TypedLength < 0) return;
    const std::u32string romaji = Utf8ToU32(question->Romaji);
    if (size_t(TypedLength) >= romaji.size()) return;
    const char32_t expected = romaji[size_t(TypedLength)];
    if (key == expected) {
        ++TypedLength;
        ++Combo;
        if (!Judgment()) PlaySoundSlot(GameSounds[0]);
    } else if (key == U'/' && expected == kMiddleDot) {
        ++TypedLength;
        ++Combo;
        Judgment();
    } else {
        ++MissCount;
        PlaySoundSlot(GameSounds[2]);
        if (Combo > MaxCombo) MaxCombo = Combo;
        Combo = 0;
    }
}

bool PrintQuestion() {
    try {
        const std::optional<Question> question = CurrentQuestion();
        if (!question) return true;
        DrawFrameText(QuestionFont, QuestionFontColor1, QuestionX, QuestionY, question->Text);
        DrawFrameText(QuestionFont, QuestionFontColor2, RomeX, RomeY, question->Romaji);
        if (TypedLength > 0)
            DrawFrameText(QuestionFont, QuestionFontColor3, RomeX, RomeY, Utf8Prefix(question->Romaji, size_t(TypedLength)));
        return true;
    } catch (const std::exception&) {
        EndProgramNow();
        return false;
    }
}

}  // namespace dexlora
