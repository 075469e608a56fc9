// The title's line of the player's options: each option's key and its state.
#pragma once

#include <string>

namespace dexlora {

// The parts of the options that have one, in order, each "KEY Label: word"
// for its current value, separated by wide spaces.
std::string OptionsLineText();

// Whether some option of the line is away from its default value.
bool OptionsAwayFromDefault();

}  // namespace dexlora
