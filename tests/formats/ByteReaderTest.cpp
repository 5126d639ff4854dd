#include "formats/ByteReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace zv::formats {
namespace {

// The 1-based position a failing call reports; 0 when it did not fail.
template <class F> std::uint64_t FaultOf(F&& f) {
    try {
        f();
    } catch (const ReadError& e) {
        return e.Position();
    }
    return 0;
}

TEST(ByteReaderTest, DecodesLittleEndianValuesInSequence) {
    const std::vector<std::uint8_t> data{0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0x00, 0x00, 0x80, 0x3F, 0x7F};
    ByteReader r(data);
    EXPECT_EQ(r.I32(), 0x04030201);
    EXPECT_EQ(r.I16(), -2);
    EXPECT_EQ(r.F32(), 1.0f);
    EXPECT_EQ(r.U8(), 0x7F);
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(r.Position(), 12u);
}

TEST(ByteReaderTest, ShortReadNamesTheFirstByteOfTheElement) {
    const std::vector<std::uint8_t> data(6, 0);
    ByteReader r(data);
    r.U8();
    EXPECT_EQ(FaultOf([&] { r.I32(); }), 0u);
    // Two bytes are left: the int32 starting at offset 5 is the one that does not fit.
    EXPECT_EQ(FaultOf([&] { r.I32(); }), 6u);
    EXPECT_EQ(FaultOf([&] { r.Bytes(3); }), 7u);
    EXPECT_EQ(r.Tell(), 5u) << "a failed read must not move the reader";
    EXPECT_EQ(FaultOf([&] { r.Skip(1); }), 0u);
    EXPECT_EQ(FaultOf([&] { r.U8(); }), 7u);
}

TEST(ByteReaderTest, SeekOutsideTheDataBlamesTheFieldThatHeldTheOffset) {
    const std::vector<std::uint8_t> data(8, 0);
    ByteReader r(data);
    EXPECT_EQ(FaultOf([&] { r.Seek(-1, 61); }), 61u);
    EXPECT_EQ(FaultOf([&] { r.Seek(9, 65); }), 65u);
    EXPECT_EQ(FaultOf([&] { r.Seek(INT64_MIN, 3); }), 3u);
    // The end itself is a valid place to be; reading there fails at the byte after the data.
    EXPECT_EQ(FaultOf([&] { r.Seek(8, 65); }), 0u);
    EXPECT_EQ(FaultOf([&] { r.U8(); }), 9u);
}

TEST(ByteReaderTest, RequireNamesTheFirstElementThatDoesNotFit) {
    const std::vector<std::uint8_t> data(11, 0);
    ByteReader r(data);
    r.Seek(2, 1);
    // Nine bytes left: two int32 fit, the third would start at offset 10.
    EXPECT_EQ(FaultOf([&] { r.Require(2, 4); }), 0u);
    EXPECT_EQ(FaultOf([&] { r.Require(3, 4); }), 11u);
    EXPECT_EQ(FaultOf([&] { r.Require(SIZE_MAX, 16); }), 3u);
    EXPECT_EQ(FaultOf([&] { r.Require(0, 4); }), 0u);
    EXPECT_EQ(r.Tell(), 2u) << "Require only checks";
}

} // namespace
} // namespace zv::formats
