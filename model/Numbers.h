#pragma once
// Number conversions shared by the model, the file formats and the read-outs.

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv::model {

// Decimal rounding of x to the given number of decimals (0 .. 9), ties to even, returned as
// the double nearest to the rounded decimal. Exact: no error from scaling by a power of ten.
double RoundHalfEven(double x, int decimals);

// x rounded to 8 decimals (ties to even) and written as "0.00000000": at least one integer
// digit, eight decimals, a minus sign for negative values, no thousands separator. Zero is
// written without a sign.
std::string FormatFixed8(double x);

// Upper-case hexadecimal digits, no prefix.
std::string HexUpper(std::uint64_t value);

// The nearest whole number, ties to even; values beyond the int32 range are clamped to it.
std::int32_t RoundToInt32(double x);

// The same float bit for bit (NaNs of one pattern equal, 0 and -0 not).
inline bool SameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// A finite number written out in full ("1", "-0.5", "2e3", a leading '+'), blanks and tabs
// around it allowed; nullopt for anything else.
std::optional<double> ParseNumber(std::string_view text);

} // namespace zv::model
