// Judging typed characters and drawing the question.
#include "scenes/judgment.h"

#include <string>

#include "drawing/display.h"
#include "drawing/scene_control.h"
#include "platform/core/encoding.h"
#include "platform/window.h"
#include "scenes/frame.h"
#include "scenes/game_fields.h"
#include "scenes/game_record.h"
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
    if (Fields.QuestionIndex < 0 || size_t(Fields.QuestionIndex) >= Questions.size()) return std::nullopt;
    return Questions[size_t(Fields.QuestionIndex)];
}

bool Judgment() {
    const std::optional<Question> question = CurrentQuestion();
    // An empty romaji is never finished: nothing of it was typed.
    if (!question || question->Romaji.empty() || Fields.TypedLength < 0 ||
        size_t(Fields.TypedLength) != Utf8Length(question->Romaji))
        return false;
    PlaySoundSlot(GameIni.GameSounds[1]);
    ++Fields.ClearCount;
    Fields.QuestionIndex = PickQuestion();
    Fields.TypedLength = 0;
    return true;
}

void JudgeKey(char32_t key) {
    const std::optional<Question> question = CurrentQuestion();
    if (!question || Fields.TypedLength < 0) return;
    const std::u32string romaji = Utf8ToU32(question->Romaji);
    if (size_t(Fields.TypedLength) >= romaji.size()) return;
    const char32_t expected = romaji[size_t(Fields.TypedLength)];
    RecordKey(key == expected || (key == U'/' && expected == kMiddleDot), GetTickCount());
    if (key == expected) {
        ++Fields.TypedLength;
        ++Fields.Combo;
        if (!Judgment()) PlaySoundSlot(GameIni.GameSounds[0]);
    } else if (key == U'/' && expected == kMiddleDot) {
        ++Fields.TypedLength;
        ++Fields.Combo;
        Judgment();
    } else {
        ++Fields.MissCount;
        PlaySoundSlot(GameIni.GameSounds[2]);
        if (Fields.Combo > Fields.MaxCombo) Fields.MaxCombo = Fields.Combo;
        Fields.Combo = 0;
    }
}

bool PrintQuestion() {
    try {
        const std::optional<Question> question = CurrentQuestion();
        if (!question) return true;
        const GameSettings& game = GameIni;
        DrawFrameText(game.QuestionFont, game.QuestionFontColor1, game.QuestionX, game.QuestionY, question->Text);
        DrawFrameText(game.QuestionFont, game.QuestionFontColor2, game.RomeX, game.RomeY, question->Romaji);
        if (Fields.TypedLength > 0) {
            const std::string_view typed = Utf8Prefix(question->Romaji, size_t(Fields.TypedLength));
            DrawFrameText(game.QuestionFont, game.QuestionFontColor3, game.RomeX, game.RomeY, typed);
        }
        return true;
    } catch (const std::exception&) {
        EndProgramNow();
        return false;
    }
}

}  // namespace dexlora
