// Text to numbers as the settings loaders convert values: CInt, CLng and CSng
// raise RuntimeError (ErrTypeMismatch or ErrOverflow) when a text fails.
#pragma once

#include <cstdint>
#include <string_view>

namespace dexlora {

// A whole number: blanks around it, an optional sign, digits and an optional
// fraction, which goes to the nearest whole number with a half going to the
// even neighbour (2.5 gives 2, 3.5 gives 4). An empty or non-numeric text
// raises ErrTypeMismatch; a result outside the type raises ErrOverflow.
int16_t CInt(std::string_view text);  // 16-bit
int32_t CLng(std::string_view text);  // 32-bit

// A 32-bit floating-point number: blanks around it, an optional sign, digits
// with an optional fraction and an optional exponent ("1.5", "-.25", "2E3").
// An empty or non-numeric text raises ErrTypeMismatch, a magnitude beyond the
// type ErrOverflow; one too small to hold becomes 0.
float CSng(std::string_view text);

}  // namespace dexlora
