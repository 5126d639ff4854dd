#pragma once
// The number forms of AIW files. These are their own rules: the configuration file's shortest
// round-trip form is a different one and must not be used here.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zv::waypoints {

// The value rounded to `decimals` places (ties to even on the exact binary value), then in its
// shortest plain form: no trailing zeros or point, no 0 before the point below 1 (".25", "-.25"),
// "0" for zero and never "-0". The 4-decimal form (decimals 4) and the 8-decimal form (8).
std::string FormatDecimals(float v, int decimals);
// The single-precision value in its shortest form with at most 7 significant digits, same
// conventions; magnitudes below 1E-04 or from 1E+07 on in the exponent form with a capital E and
// a signed two-digit exponent ("1E-08", "1.234568E+07").
std::string FormatSinglePlain(float v);
// The same appended to out, for the writer (no string per number).
void AppendDecimals(std::string& out, float v, int decimals);
void AppendSinglePlain(std::string& out, float v);

// Reading: leading blanks skipped, then the longest prefix forming a decimal number (sign,
// digits, optional point and digits, optional exponent), "." as separator whatever the locale;
// 0 when there is none. nullopt when the number lies outside the float range.
std::optional<float> ParseAiwFloat(std::string_view part);
// The same rounded to the nearest integer (ties to even); nullopt outside -32768 .. 32767.
std::optional<short> ParseAiwInt16(std::string_view part);

// The parts of a tuple "key=(a, b, c, d)": the text between the first "(" and the first ")",
// cut at the first three commas (part 4 keeps any further commas). nullopt without both
// parentheses in that order.
struct AiwTuple {
    std::array<std::string_view, 4> Parts;
    int Commas = 0; // separating commas found, at most 3
};
std::optional<AiwTuple> SplitAiwTuple(std::string_view line);

// The first three values of the line's tuple as numbers; (0, 0, 0) when the tuple is malformed
// (fewer than three parts, a value outside the float range), as a broken line of a path or a
// scene still holds its place.
std::array<float, 3> ParseTripleOrZero(std::string_view line);

} // namespace zv::waypoints
