// Judging typed characters and drawing the question.
#include "scenes/judgment.h"

#include <string>

#include "drawing/display.h"
#include "engine/flexible_romaji.h"
#include "drawing/scene_control.h"
#include "platform/core/encoding.h"
#include "platform/window.h"
#include "scenes/frame.h"
#include "scenes/game_fields.h"
#include "scenes/game_record.h"
#include "settings/player_options.h"
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

// The matcher of the current question while flexible romaji is on, and the
// question it was made for: made at the question's first key or drawing.
struct FlexibleQuestion {
    FlexibleRomaji Matcher;
    std::string Romaji;
};
std::optional<FlexibleQuestion> g_flexible;

// A finished question: the completion sound, the count and the next one.
void NextQuestion() {
    PlaySoundSlot(GameIni.GameSounds[1]);
    ++Fields.ClearCount;
    Fields.QuestionIndex = PickQuestion();
    Fields.TypedLength = 0;
}

void CountMiss() {
    ++Fields.MissCount;
    PlaySoundSlot(GameIni.GameSounds[2]);
    if (Fields.Combo > Fields.MaxCombo) Fields.MaxCombo = Fields.Combo;
    Fields.Combo = 0;
}

void JudgeFlexibleKey(FlexibleRomaji& matcher, char32_t key) {
    if (matcher.Complete()) return;
    // The kana the key is for, taken before the key moves the matcher on.
    const KanaPlace place = matcher.KanaIndex();
    const size_t typed = matcher.TypedCount();
    const bool right = matcher.Key(key);
    RecordKanaKey(place.Index, place.Text, typed, right, GetTickCount());
    if (!right) return CountMiss();
    Fields.TypedLength = static_cast<int32_t>(matcher.TypedCount());
    ++Fields.Combo;
    if (matcher.Complete()) {
        NextQuestion();
    } else {
        PlaySoundSlot(GameIni.GameSounds[0]);
    }
}

}  // namespace

FlexibleRomaji* FlexibleMatcher() {
    if (!OptionOn(Option::FlexibleRomaji)) return nullptr;
    const std::optional<Question> question = CurrentQuestion();
    if (!question || Fields.TypedLength < 0) return nullptr;
    // Made afresh for another question, the same one drawn again (nothing of
    // it typed) or the same reading spelled anew by the key configuration.
    if (!g_flexible || g_flexible->Matcher.Reading() != question->Reading || g_flexible->Romaji != question->Romaji ||
        g_flexible->Matcher.TypedCount() != size_t(Fields.TypedLength)) {
        g_flexible.reset();
        g_flexible.emplace(FlexibleQuestion{FlexibleRomaji(question->Reading), std::string(question->Romaji)});
    }
    return g_flexible->Matcher.Valid() ? &g_flexible->Matcher : nullptr;
}

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
    NextQuestion();
    return true;
}

void JudgeKey(char32_t key) {
    if (FlexibleRomaji* matcher = FlexibleMatcher()) return JudgeFlexibleKey(*matcher, key);
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
        CountMiss();
    }
}

bool PrintQuestion() {
    try {
        const std::optional<Question> question = CurrentQuestion();
        if (!question) return true;
        const GameSettings& game = GameIni;
        DrawFrameText(game.QuestionFont, game.QuestionFontColor1, game.QuestionX, game.QuestionY, question->Text);
        if (const FlexibleRomaji* matcher = FlexibleMatcher()) {
            const std::string& guide = matcher->Guide();
            DrawFrameText(game.QuestionFont, game.QuestionFontColor2, game.RomeX, game.RomeY, guide);
            if (matcher->TypedCount() > 0) {
                DrawFrameText(game.QuestionFont, game.QuestionFontColor3, game.RomeX, game.RomeY,
                              std::string_view(guide).substr(0, matcher->TypedCount()));
            }
            return true;
        }
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
