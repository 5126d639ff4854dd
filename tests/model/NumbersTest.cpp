#include "model/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace zv::model {
namespace {

double RoundByText(double x, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, x);
    return std::strtod(text, nullptr);
}

TEST(RoundHalfEven, ExactDecimalTiesGoToEven) {
    EXPECT_EQ(RoundHalfEven(0.5, 0), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5, 0), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5, 0), 2.0);
    EXPECT_EQ(RoundHalfEven(-2.5, 0), -2.0);
    EXPECT_EQ(RoundHalfEven(0.125, 2), 0.12);
    EXPECT_EQ(RoundHalfEven(0.375, 2), 0.38);
    // 0.0000005 is not exactly representable: the double lies below the tie, so it rounds down.
    EXPECT_EQ(RoundHalfEven(0.0000005, 6), 0.0);
    EXPECT_EQ(RoundHalfEven(0.0000015, 6), 0.000002);
}

TEST(RoundHalfEven, AgreesWithExactDecimalConversion) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> scale(-3, 9);
    for (int i = 0; i < 200000; ++i) {
        const double x = unit(rng) * std::pow(10.0, scale(rng));
        for (const int d : {6, 8}) {
            ASSERT_EQ(RoundHalfEven(x, d), RoundByText(x, d)) << x << " to " << d;
        }
    }
    // Values on a half-step grid hit the ties that random doubles almost never do.
    for (int k = -4000; k <= 4000; ++k) {
        const double x = k / 1024.0;
        ASSERT_EQ(RoundHalfEven(x, 2), RoundByText(x, 2)) << x;
        ASSERT_EQ(RoundHalfEven(x, 0), RoundByText(x, 0)) << x;
    }
}

TEST(RoundHalfEven, HugeAndNonFiniteValuesPassThrough) {
    EXPECT_EQ(RoundHalfEven(1e300, 8), 1e300);
    EXPECT_EQ(RoundHalfEven(9876543210.123456789, 6), RoundByText(9876543210.123456789, 6));
    EXPECT_TRUE(std::isinf(RoundHalfEven(INFINITY, 6)));
    EXPECT_TRUE(std::isnan(RoundHalfEven(NAN, 6)));
}

TEST(FormatFixed8, PatternWithEightDecimals) {
    EXPECT_EQ(FormatFixed8(-0.5), "-0.50000000");
    EXPECT_EQ(FormatFixed8(1234.5), "1234.50000000");
    EXPECT_EQ(FormatFixed8(123456789.25), "123456789.25000000");
    EXPECT_EQ(FormatFixed8(0), "0.00000000");
    EXPECT_EQ(FormatFixed8(-0.000000001), "0.00000000");
    EXPECT_EQ(FormatFixed8(static_cast<double>(0.1f)), "0.10000000");
}

TEST(Numbers, HexAndWholeNumbers) {
    EXPECT_EQ(HexUpper(0x3D), "3D");
    EXPECT_EQ(HexUpper(0xABCDEF0123ULL), "ABCDEF0123");
    EXPECT_EQ(RoundToInt32(2.5), 2);
    EXPECT_EQ(RoundToInt32(3.5), 4);
    EXPECT_EQ(RoundToInt32(-2.5), -2);
    EXPECT_EQ(RoundToInt32(1e20), 2147483647);
    EXPECT_EQ(RoundToInt32(-1e20), -2147483647 - 1);
    EXPECT_EQ(RoundToInt32(NAN), 0);
}

} // namespace
} // namespace zv::model
