// Text to numbers: rounding half to even, ranges and the texts that fail.
#include "settings/convert.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/error.h"

namespace dexlora {
namespace {

TEST(Convert, CIntCLngAndCSng) {
    enum Kind { Int, Lng, Sng };
    struct Case { Kind kind; std::string text; double value; int32_t error; };  // value when error is 0
    const Case cases[] = {
        {Int, "  42  ", 42, 0}, {Int, "\t-7", -7, 0}, {Int, "1.5", 2, 0}, {Int, "2.5", 2, 0}, {Int, "3.5", 4, 0},
        {Int, "-2.5", -2, 0}, {Int, "2.50001", 3, 0}, {Int, "0.5", 0, 0}, {Int, ".5", 0, 0}, {Int, "7.", 7, 0},
        {Int, "00000000000000000012", 12, 0}, {Int, "32767", 32767, 0}, {Int, "-32768", -32768, 0},
        {Int, "-32768.5", -32768, 0}, {Int, "32767.5", 0, ErrOverflow}, {Int, "32768", 0, ErrOverflow},
        {Int, "-32769", 0, ErrOverflow}, {Int, "99999999999999999999999", 0, ErrOverflow},
        {Int, "", 0, ErrTypeMismatch}, {Int, "abc", 0, ErrTypeMismatch}, {Int, "12abc", 0, ErrTypeMismatch},
        {Int, "-", 0, ErrTypeMismatch}, {Int, ".", 0, ErrTypeMismatch}, {Int, "1 2", 0, ErrTypeMismatch},
        {Int, "1e3", 0, ErrTypeMismatch}, {Int, "\uFF11", 0, ErrTypeMismatch},  // a full-width digit
        {Lng, "2147483647", 2147483647, 0}, {Lng, "-2147483648", -2147483648.0, 0},
        {Lng, "2147483646.5", 2147483646, 0}, {Lng, "2147483647.5", 0, ErrOverflow},
        {Lng, "2147483648", 0, ErrOverflow}, {Lng, "-2147483649", 0, ErrOverflow},
        {Sng, " -0.25 ", -0.25, 0}, {Sng, ".5", 0.5, 0}, {Sng, "2E3", 2000, 0}, {Sng, "1.5e-2", 0.015, 0},
        {Sng, "-1e+2", -100, 0}, {Sng, "1e-60", 0, 0}, {Sng, "1e39", 0, ErrOverflow},
        {Sng, "", 0, ErrTypeMismatch}, {Sng, "1.5x", 0, ErrTypeMismatch}, {Sng, "1e", 0, ErrTypeMismatch},
        {Sng, "inf", 0, ErrTypeMismatch}, {Sng, "0x10", 0, ErrTypeMismatch},
        // The decimal exponent counts every digit, however many zeros and however large the exponent.
        {Sng, ("1" + std::string(400, '0') + "e-1"), 0, ErrOverflow},
        {Sng, ("0." + std::string(400, '0') + "1"), 0, 0},
        {Sng, ("1" + std::string(400, '0') + "e-400"), 1, 0},
        {Sng, ("0." + std::string(400, '0') + "25e401"), 2.5, 0},
        {Sng, ("0." + std::string(400, '0') + "1e500"), 0, ErrOverflow},
        {Sng, ("000" + std::string(400, '0') + "12.5" + std::string(400, '0')), 12.5, 0},
        {Sng, "1e99999999999999999999999", 0, ErrOverflow}, {Sng, "1e-99999999999999999999999", 0, 0},
        {Sng, "0e99999999999999999999999", 0, 0}, {Sng, "-0.0", 0, 0}, {Sng, "00.000", 0, 0},
        {Sng, "3.4028234e38", 3.4028234e38, 0}, {Sng, "3.5e38", 0, ErrOverflow}, {Sng, "1.4e-45", 1.4e-45, 0},
        {Sng, "3.4028235E+38", 3.4028235e38f, 0}, {Sng, "-3.40282347e+38", -3.40282347e38f, 0},
        {Sng, "3.4028236e38", 0, ErrOverflow},
        {Sng, "123456789012345678901234567890123456789012345678901234567890e-50", 1.2345679e9, 0},
        {Sng, "0.1", 0.1, 0}, {Sng, "1.", 1, 0}, {Sng, "1.e2", 100, 0}, {Sng, "e5", 0, ErrTypeMismatch},
        {Sng, "1e+", 0, ErrTypeMismatch}, {Sng, "+-1", 0, ErrTypeMismatch}, {Sng, "1e5.5", 0, ErrTypeMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind == Int ? "CInt" : c.kind == Lng ? "CLng" : "CSng") + "(\"" + c.text + "\")");
        double value = 0;
        int32_t error = 0;
        try {
            if (c.kind == Int) value = CInt(c.text);
            if (c.kind == Lng) value = CLng(c.text);
            if (c.kind == Sng) value = CSng(c.text);
        } catch (const RuntimeError& e) {
            error = e.Number;
        }
        EXPECT_EQ(error, c.error);
        if (c.kind == Sng) {
            EXPECT_FLOAT_EQ(static_cast<float>(value), static_cast<float>(c.value));
        } else {
            EXPECT_EQ(value, c.value);
        }
    }
}

}  // namespace
}  // namespace dexlora
