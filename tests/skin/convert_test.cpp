// Text to numbers: rounding half to even, ranges and the texts that fail.
#include "skin/convert.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace dexlora {
namespace {

// The number a conversion answers, or the error number it raised.
template <typename Convert>
auto Outcome(Convert convert, std::string_view text, int32_t& error) {
    error = 0;
    try {
        return convert(text);
    } catch (const RuntimeError& e) {
        error = e.Number;
        return decltype(convert(text)){};
    }
}

struct WholeCase {
    const char* text;
    int64_t value;  // when error is 0
    int32_t error;
};

TEST(Convert, CIntAndCLng) {
    const WholeCase cintCases[] = {
        {"  42  ", 42, 0},
        {"\t-7", -7, 0},
        {"1.5", 2, 0},
        {"2.5", 2, 0},
        {"3.5", 4, 0},
        {"-2.5", -2, 0},
        {"2.50001", 3, 0},
        {"0.5", 0, 0},
        {".5", 0, 0},
        {"7.", 7, 0},
        {"0000000000000000000012", 12, 0},
        {"32767", 32767, 0},
        {"-32768", -32768, 0},
        {"-32768.5", -32768, 0},
        {"32767.5", 0, ErrOverflow},
        {"32768", 0, ErrOverflow},
        {"-32769", 0, ErrOverflow},
        {"99999999999999999999999", 0, ErrOverflow},
        {"", 0, ErrTypeMismatch},
        {"abc", 0, ErrTypeMismatch},
        {"12abc", 0, ErrTypeMismatch},
        {"-", 0, ErrTypeMismatch},
        {".", 0, ErrTypeMismatch},
        {"1 2", 0, ErrTypeMismatch},
        {"1e3", 0, ErrTypeMismatch},
        {"\uFF11", 0, ErrTypeMismatch},  // a full-width digit
    };
    for (const WholeCase& c : cintCases) {
        int32_t error;
        int16_t value = Outcome(CInt, c.text, error);
        EXPECT_EQ(error, c.error) << "CInt(\"" << c.text << "\")";
        if (c.error == 0) {
            EXPECT_EQ(value, c.value) << "CInt(\"" << c.text << "\")";
        }
    }

    const WholeCase clngCases[] = {
        {"40000", 40000, 0},
        {"2147483647", 2147483647, 0},
        {"-2147483648", -2147483648LL, 0},
        {"2147483646.5", 2147483646, 0},
        {"2147483647.5", 0, ErrOverflow},
        {"2147483648", 0, ErrOverflow},
        {"-2147483649", 0, ErrOverflow},
    };
    for (const WholeCase& c : clngCases) {
        int32_t error;
        int32_t value = Outcome(CLng, c.text, error);
        EXPECT_EQ(error, c.error) << "CLng(\"" << c.text << "\")";
        if (c.error == 0) {
            EXPECT_EQ(value, c.value) << "CLng(\"" << c.text << "\")";
        }
    }
}

TEST(Convert, CSng) {
    struct Case {
        const char* text;
        float value;
        int32_t error;
    };
    const Case cases[] = {
        {"1.5", 1.5f, 0},
        {" -0.25 ", -0.25f, 0},
        {".5", 0.5f, 0},
        {"2E3", 2000.0f, 0},
        {"1.5e-2", 0.015f, 0},
        {"-1e+2", -100.0f, 0},
        {"1e-60", 0.0f, 0},
        {"1e39", 0, ErrOverflow},
        {"", 0, ErrTypeMismatch},
        {"abc", 0, ErrTypeMismatch},
        {"1.5x", 0, ErrTypeMismatch},
        {"1e", 0, ErrTypeMismatch},
        {"inf", 0, ErrTypeMismatch},
        {"0x10", 0, ErrTypeMismatch},
    };
    for (const Case& c : cases) {
        int32_t error;
        float value = Outcome(CSng, c.text, error);
        EXPECT_EQ(error, c.error) << "CSng(\"" << c.text << "\")";
        if (c.error == 0) {
            EXPECT_FLOAT_EQ(value, c.value) << "CSng(\"" << c.text << "\")";
        }
    }
}

}  // namespace
}  // namespace dexlora
