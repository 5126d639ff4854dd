#include "config/ConfigFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zv::config {
namespace {

TEST(ConfigNumberReading, StopsAtTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(ReadNumber(" 500 "), 500);
    EXPECT_EQ(ReadNumber("\t-5x"), -5);
    EXPECT_EQ(ReadNumber("+.5"), 0.5);
    EXPECT_EQ(ReadNumber("1.5e3"), 1500);
    EXPECT_EQ(ReadNumber("2D-2"), 0.02);
    EXPECT_EQ(ReadNumber("7e"), 7);
    EXPECT_EQ(ReadNumber("7e+x"), 7);
    EXPECT_EQ(ReadNumber("3,5"), 3);
    EXPECT_EQ(ReadNumber("- 5"), 0);
    EXPECT_EQ(ReadNumber("True"), 0);
    EXPECT_EQ(ReadNumber(""), 0);
    EXPECT_EQ(ReadNumber("."), 0);
}

TEST(ConfigNumberReading, OutOfRangeValuesStayDefined) {
    EXPECT_EQ(ReadNumber("1e999"), std::numeric_limits<double>::max());
    EXPECT_EQ(ReadNumber("-1e99999999999999999999"), -std::numeric_limits<double>::max());
    EXPECT_EQ(ReadNumber("1e-999"), 0);
    EXPECT_EQ(ReadNumber("0.0000000000001e-999"), 0);
    EXPECT_EQ(ReadSingle("1e39"), std::numeric_limits<float>::max());
    EXPECT_EQ(ReadSingle("-1e39"), -std::numeric_limits<float>::max());
    EXPECT_EQ(ReadLong("1e10"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ReadInteger("99999"), 32767);
    EXPECT_EQ(ReadInteger("-1e300"), -32768);
}

TEST(ConfigNumberReading, WholeNumbersRoundHalvesToEven) {
    EXPECT_EQ(ReadLong("2.5"), 2);
    EXPECT_EQ(ReadLong("3.5"), 4);
    EXPECT_EQ(ReadLong("-2.5"), -2);
    EXPECT_EQ(ReadInteger("2.6"), 3);
}

TEST(ConfigNumberWriting, SingleUsesTheProgramsShortestLayout) {
    const std::pair<float, const char*> cases[] = {
        {0.01f, ".01"},
        {-0.5f, "-.5"},
        {10.0f, "10"},
        {-10.0f, "-10"},
        {0.0f, "0"},
        {-0.0f, "0"},
        {123.25f, "123.25"},
        {0.0001f, ".0001"},
        {1e-5f, "1E-05"},
        {1.5e7f, "1.5E+07"},
        {1234567.0f, "1234567"},
        {-2.5e-20f, "-2.5E-20"},
        {4096.0f, "4096"},
        {0.1f, ".1"},
        {3.4028235e38f, "3.4028235E+38"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(FormatSingle(value), text) << value;
    }
    EXPECT_EQ(FormatSingle(std::numeric_limits<float>::infinity()), "0");
}

TEST(ConfigNumberWriting, EverySingleReadsBackUnchanged) {
    // A stride through all normal floats of both signs.
    for (std::uint32_t bits = 0x00800000; bits < 0x7F800000; bits += 0x00012345) {
        for (const std::uint32_t sign : {0u, 0x80000000u}) {
            const float f = std::bit_cast<float>(bits | sign);
            ASSERT_EQ(ReadSingle(FormatSingle(f)), f) << FormatSingle(f);
        }
    }
}

TEST(ConfigNumberWriting, ValueLinesHaveTheSignBlank) {
    EXPECT_EQ(NumberLine(std::int64_t{500}), " 500 ");
    EXPECT_EQ(NumberLine(std::int64_t{0}), " 0 ");
    EXPECT_EQ(NumberLine(std::int64_t{-5}), "-5 ");
    EXPECT_EQ(NumberLine(0.01f), " .01 ");
    EXPECT_EQ(NumberLine(-0.5f), "-.5 ");
}

} // namespace
} // namespace zv::config
