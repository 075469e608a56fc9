// The game fields and the random sequence.
#include "scenes/game_fields.h"

#include <chrono>
#include <cmath>
#include <random>

#include "engine/questions.h"
#include "platform/window.h"

namespace dexlora {

GameFields Fields;

namespace {
std::mt19937& Generator() {
    static_assert(StartSeed == std::mt19937::default_seed);
    static std::mt19937 generator;
    return generator;
}
}  // namespace

void SeedRandom(uint32_t seed) { Generator().seed(seed); }

float NextRandom() {
    // 24 random bits make every float of [0, 1) on a 2^-24 grid; 1 itself
    // can never come, which a rounded conversion might give.
    return float(Generator()() >> 8) * 0x1p-24f;
}

uint32_t ClockSeed() {
    if (CurrentDisplayKind() == DisplayKind::Headless) return GetTickCount();
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return uint32_t(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

int32_t PickQuestion() {
    const float r = NextRandom();
    // In double the product stays below the number of questions, however
    // many there are; in single precision it could round up to it and pick
    // the empty entry after the last question.
    const double count = double(QuestionMax) + 1.0;
    int32_t index = int32_t(std::floor(count * double(r))) + 1;
    if (index > QuestionMax + 1) index = QuestionMax + 1;
    if (index < 1) index = 1;
    return index;
}

}  // namespace dexlora
