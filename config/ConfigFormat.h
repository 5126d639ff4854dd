#pragma once
// Number texts of the configuration file. Independent of the C and C++ locales: the decimal
// separator is always ".".

#include <cstdint>
#include <string>
#include <string_view>

namespace zv::config {

// Tolerant numeric reading: leading blanks and tabs skipped, then an optional sign, digits, an
// optional "." with digits and an optional exponent (E, e, D or d, sign, digits). Reading stops
// at the first character that cannot continue the number; text without a number reads as 0.
// Magnitudes beyond the type's range read as its largest finite value, tiny ones as 0.
double ReadNumber(std::string_view text);
float ReadSingle(std::string_view text);

// The whole number nearest to text (halves to even), clamped to the int16 / int32 range.
std::int16_t ReadInteger(std::string_view text);
std::int32_t ReadLong(std::string_view text);

// The shortest decimal that reads back as the same float: ".01", "-.5", "10", "0", and
// "1E-05" / "1.5E+07" for decimal exponents below -4 or from 7 on. Non-finite values give "0".
std::string FormatSingle(float value);

// A value line: a blank in front of non-negative numbers and one blank after (" 500 ", "-5 ").
std::string NumberLine(std::int64_t value);
std::string NumberLine(float value);

} // namespace zv::config
