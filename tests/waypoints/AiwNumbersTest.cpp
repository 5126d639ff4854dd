#include "waypoints/AiwNumbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace zv::waypoints {
namespace {

TEST(AiwNumbers, DecimalFormsRoundTheBinaryValueAndDropTheLeadingZero) {
    EXPECT_EQ(FormatDecimals(12.5f, 4), "12.5");
    EXPECT_EQ(FormatDecimals(0.25f, 4), ".25");
    EXPECT_EQ(FormatDecimals(-0.25f, 4), "-.25");
    EXPECT_EQ(FormatDecimals(-0.5f, 4), "-.5");
    EXPECT_EQ(FormatDecimals(3.00001f, 4), "3");
    EXPECT_EQ(FormatDecimals(1234.56789f, 4), "1234.5679");
    EXPECT_EQ(FormatDecimals(0.00004f, 4), "0");
    EXPECT_EQ(FormatDecimals(-0.00004f, 4), "0");
    EXPECT_EQ(FormatDecimals(-0.0f, 4), "0");
    // 1.00005f is 1.0000499486...: the stored value decides, not its decimal spelling.
    EXPECT_EQ(FormatDecimals(1.00005f, 4), "1");
    EXPECT_EQ(FormatDecimals(0.123456789f, 8), ".12345679");
    EXPECT_EQ(FormatDecimals(1e30f, 4), "1000000015047466219876688855040");
    EXPECT_EQ(FormatDecimals(-std::numeric_limits<float>::max(), 8),
              "-340282346638528859811704183484516925440");
}

TEST(AiwNumbers, SinglePlainFormHasSevenDigitsAndACapitalExponent) {
    EXPECT_EQ(FormatSinglePlain(0.5f), ".5");
    EXPECT_EQ(FormatSinglePlain(-0.5f), "-.5");
    EXPECT_EQ(FormatSinglePlain(3.0f), "3");
    EXPECT_EQ(FormatSinglePlain(-0.0f), "0");
    EXPECT_EQ(FormatSinglePlain(1e-5f), "1E-05");
    EXPECT_EQ(FormatSinglePlain(1e-8f), "1E-08");
    EXPECT_EQ(FormatSinglePlain(-2.5e-5f), "-2.5E-05");
    EXPECT_EQ(FormatSinglePlain(0.0001f), ".0001");
    EXPECT_EQ(FormatSinglePlain(12345678.0f), "1.234568E+07");
    EXPECT_EQ(FormatSinglePlain(9999999.0f), "9999999");
    EXPECT_EQ(FormatSinglePlain(1.1f), "1.1");
    EXPECT_EQ(FormatSinglePlain(1e30f), "1E+30");
}

TEST(AiwNumbers, ReadingTakesTheLongestNumberPrefixWhateverTheLocale) {
    // A comma locale must not change the separator (the C library functions would follow it).
    const char* const old = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(ParseAiwFloat(" 12.5xyz"), 12.5f);
    if (old != nullptr) {
        std::setlocale(LC_NUMERIC, "C");
    }
    EXPECT_EQ(ParseAiwFloat("+.25"), 0.25f);
    EXPECT_EQ(ParseAiwFloat("-3."), -3.0f);
    EXPECT_EQ(ParseAiwFloat("1E-08"), 1e-8f);
    EXPECT_EQ(ParseAiwFloat("2e"), 2.0f); // an exponent needs digits
    EXPECT_EQ(ParseAiwFloat("2e+x"), 2.0f);
    EXPECT_EQ(ParseAiwFloat(""), 0.0f);
    EXPECT_EQ(ParseAiwFloat("   "), 0.0f);
    EXPECT_EQ(ParseAiwFloat("abc"), 0.0f);
    EXPECT_EQ(ParseAiwFloat("."), 0.0f);
    EXPECT_EQ(ParseAiwFloat("-"), 0.0f);
    EXPECT_EQ(ParseAiwFloat("nan"), 0.0f);
    EXPECT_EQ(ParseAiwFloat("inf"), 0.0f);
    // Beyond the float range is refused; below it is zero.
    EXPECT_EQ(ParseAiwFloat("1e39"), std::nullopt);
    EXPECT_EQ(ParseAiwFloat("-340282356779733661637539395458142568448"), std::nullopt);
    EXPECT_EQ(ParseAiwFloat("0.0000000001e39"), 1e29f);
    EXPECT_EQ(ParseAiwFloat("1e-60"), 0.0f);
    EXPECT_EQ(ParseAiwFloat("100000e-60"), 0.0f);
    EXPECT_EQ(ParseAiwFloat("1e999999999999999999"), std::nullopt);
    EXPECT_EQ(ParseAiwFloat("0e999999"), 0.0f);
}

TEST(AiwNumbers, IntegersRoundTiesToEvenWithinSixteenBits) {
    EXPECT_EQ(ParseAiwInt16("2.5"), 2);
    EXPECT_EQ(ParseAiwInt16("3.5"), 4);
    EXPECT_EQ(ParseAiwInt16("-2.5"), -2);
    EXPECT_EQ(ParseAiwInt16("-1"), -1);
    EXPECT_EQ(ParseAiwInt16(" 7 "), 7);
    EXPECT_EQ(ParseAiwInt16("32767.4"), 32767);
    EXPECT_EQ(ParseAiwInt16("-32768"), -32768);
    EXPECT_EQ(ParseAiwInt16("32767.5"), std::nullopt);
    EXPECT_EQ(ParseAiwInt16("-32769"), std::nullopt);
    EXPECT_EQ(ParseAiwInt16("1e400"), std::nullopt);
    EXPECT_EQ(ParseAiwInt16(""), 0);
}

} // namespace
} // namespace zv::waypoints
