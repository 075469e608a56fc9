// Text to numbers for the settings loaders, with round-half-to-even.
#include "settings/convert.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "platform/core/error.h"

namespace dexlora {

namespace {

[[noreturn]] void TypeMismatch(std::string_view text) {
    throw RuntimeError(ErrTypeMismatch, "Type mismatch: \"" + std::string(text) + "\"");
}

[[noreturn]] void Overflow(std::string_view text) {
    throw RuntimeError(ErrOverflow, "Overflow: \"" + std::string(text) + "\"");
}

std::string_view TrimBlanks(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text as a whole number rounded half to even, checked against [min, max].
int64_t RoundedWhole(std::string_view text, int64_t min, int64_t max) {
    std::string_view rest = TrimBlanks(text);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    // Anything past 2^40 overflows every type asked for; stop counting there.
    constexpr uint64_t Huge = uint64_t{1} << 40;
    uint64_t whole = 0;
    size_t digits = 0;
    size_t pos = 0;
    for (; pos < rest.size() && IsDigit(rest[pos]); ++pos, ++digits) {
        if (whole < Huge) whole = whole * 10 + static_cast<uint64_t>(rest[pos] - '0');
    }
    bool roundUp = false;
    if (pos < rest.size() && rest[pos] == '.') {
        ++pos;
        size_t fractionStart = pos;
        while (pos < rest.size() && IsDigit(rest[pos])) ++pos;
        digits += pos - fractionStart;
        std::string_view fraction = rest.substr(fractionStart, pos - fractionStart);
        if (!fraction.empty()) {
            char first = fraction.front();
            bool moreAfterHalf = fraction.substr(1).find_first_not_of('0') != std::string_view::npos;
            roundUp = first > '5' || (first == '5' && (moreAfterHalf || whole % 2 == 1));
        }
    }
    if (digits == 0 || pos != rest.size()) TypeMismatch(text);
    if (roundUp) ++whole;
    if (whole >= Huge) Overflow(text);
    int64_t value = negative ? -static_cast<int64_t>(whole) : static_cast<int64_t>(whole);
    if (value < min || value > max) Overflow(text);
    return value;
}

}  // namespace

int16_t CInt(std::string_view text) {
    return static_cast<int16_t>(
        RoundedWhole(text, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

int32_t CLng(std::string_view text) {
    return static_cast<int32_t>(
        RoundedWhole(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

float CSng(std::string_view text) {
    std::string_view rest = TrimBlanks(text);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    // The form is checked here (from_chars would also take "inf", "nan" and
    // hex), and the value is carried as significant digits and an exact
    // decimal exponent, so that any number of leading or trailing zeros and
    // any exponent value weigh what they mean.
    constexpr size_t KeptDigits = 40;  // beyond what rounding to a double can use
    std::string significant;           // without leading zeros, at most KeptDigits
    bool droppedNonZero = false;       // a non-zero digit past KeptDigits
    int64_t pointShift = 0;            // value = 0.significant × 10^(pointShift + exponent)
    size_t pos = 0;
    size_t digits = 0;
    auto takeDigit = [&](char c, bool beforePoint) {
        ++digits;
        if (significant.empty() && c == '0') {
            if (!beforePoint) --pointShift;  // a zero right after the point
            return;
        }
        if (beforePoint) ++pointShift;
        if (significant.size() < KeptDigits) {
            significant += c;
        } else if (c != '0') {
            droppedNonZero = true;
        }
    };
    for (; pos < rest.size() && IsDigit(rest[pos]); ++pos) takeDigit(rest[pos], true);
    if (pos < rest.size() && rest[pos] == '.') {
        for (++pos; pos < rest.size() && IsDigit(rest[pos]); ++pos) takeDigit(rest[pos], false);
    }
    if (digits == 0) TypeMismatch(text);
    // Saturates far beyond any exponent that still matters; the shift from the
    // digits is at most the text's length, so the sum cannot overflow.
    constexpr int64_t ExponentCap = int64_t{1} << 40;
    int64_t exponent = 0;
    if (pos < rest.size() && (rest[pos] == 'e' || rest[pos] == 'E')) {
        ++pos;
        bool exponentNegative = false;
        if (pos < rest.size() && (rest[pos] == '-' || rest[pos] == '+')) exponentNegative = rest[pos++] == '-';
        size_t exponentStart = pos;
        for (; pos < rest.size() && IsDigit(rest[pos]); ++pos) {
            if (exponent < ExponentCap) exponent = exponent * 10 + (rest[pos] - '0');
        }
        if (pos == exponentStart) TypeMismatch(text);
        if (exponentNegative) exponent = -exponent;
    }
    if (pos != rest.size()) TypeMismatch(text);

    if (significant.empty()) return negative ? -0.0f : 0.0f;
    const int64_t scale = pointShift + exponent;  // value = 0.d1d2... × 10^scale
    if (scale > 40) Overflow(text);               // at least 10^40, beyond every float
    if (scale < -60) return negative ? -0.0f : 0.0f;  // below 10^-60, far under the smallest float

    // A short canonical text that from_chars rounds correctly; a dropped
    // non-zero digit is kept as a final 1 so that halfway cases round right.
    std::string canonical = "0." + significant + (droppedNonZero ? "1" : "") + "e" + std::to_string(scale);
    double value = 0;
    auto [end, error] = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    if (error == std::errc::result_out_of_range) value = 0;  // only tiny values remain possible here
    // The largest float as printed ("3.4028235E+38") lies a little above it
    // and still rounds to it; only what rounds past it overflows.
    float result = static_cast<float>(value);
    if (std::isinf(result)) Overflow(text);
    return negative ? -result : result;
}

}  // namespace dexlora
