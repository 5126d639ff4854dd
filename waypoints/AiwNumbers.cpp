#include "waypoints/AiwNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace zv::waypoints {
namespace {

// Applies the shared conventions to a printed number in place: no trailing zeros or point in
// the fraction, no 0 before the point, never "-0", a capital E. Returns the new length (never
// longer than before).
std::size_t Tidy(char* text, std::size_t size) {
    const std::string_view printed(text, size);
    std::size_t e = printed.find_first_of("eE");
    e = e == std::string_view::npos ? size : e;
    std::size_t end = e; // of the mantissa
    if (printed.substr(0, e).find('.') != std::string_view::npos) {
        while (text[end - 1] == '0') {
            --end;
        }
        if (text[end - 1] == '.') {
            --end;
        }
    }
    const std::size_t sign = text[0] == '-' ? 1 : 0;
    if (end - sign == 1 && text[sign] == '0') {
        text[0] = '0'; // zero, or a value that rounded to it: never "-0"
        return 1;
    }
    std::size_t from = sign; // first digit to keep
    if (end - sign >= 2 && text[sign] == '0' && text[sign + 1] == '.') {
        from = sign + 1;
    }
    std::size_t out = sign;
    for (std::size_t i = from; i < end; ++i) {
        text[out++] = text[i];
    }
    for (std::size_t i = e; i < size; ++i) {
        text[out++] = text[i] == 'e' ? 'E' : text[i];
    }
    return out;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The longest prefix of s (after blanks) forming a decimal number, without a leading '+' (the
// converter takes none); empty when s starts with no number. decimalExponent receives the
// power of ten of the first significant digit, which tells an overflow from an underflow.
std::string_view NumberPrefix(std::string_view s, bool& negative, long& decimalExponent) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
        ++i;
    }
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    long intDigits = 0;       // significant digits before the point
    long leadingFraction = 0; // zeros after the point before the first significant digit
    bool significant = false;
    std::size_t mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        significant = significant || s[i] != '0';
        intDigits += significant ? 1 : 0;
        ++i;
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == '.') {
        std::size_t j = i + 1;
        while (j < s.size() && IsDigit(s[j])) {
            if (!significant && s[j] == '0') {
                ++leadingFraction;
            }
            significant = significant || s[j] != '0';
            ++j;
            ++mantissaDigits;
        }
        i = j;
    }
    if (mantissaDigits == 0) {
        return {};
    }
    long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) {
                exponent = std::min(exponent * 10 + (s[j] - '0'), 1'000'000'000L); // saturate
                ++j;
            }
            exponent = expNegative ? -exponent : exponent;
            i = j;
        }
    }
    decimalExponent = intDigits > 0 ? exponent + intDigits - 1 : exponent - leadingFraction - 1;
    return s.substr(start, i - start);
}

// Converts the number prefix of part; nullopt when it overflows T, zero when it underflows.
template <class T> std::optional<T> ParsePrefix(std::string_view part) {
    bool negative = false;
    long decimalExponent = 0;
    const std::string_view number = NumberPrefix(part, negative, decimalExponent);
    if (number.empty()) {
        return T{0};
    }
    T value{};
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (decimalExponent > 0) {
            return std::nullopt;
        }
        value = 0;
    } else if (ec != std::errc{}) {
        return T{0};
    }
    return negative ? -value : value;
}

} // namespace

void AppendDecimals(std::string& out, float v, int decimals) {
    // FLT_MAX has 39 integer digits; the fraction adds at most `decimals` more.
    char text[96];
    const auto r = std::to_chars(text, text + sizeof text, static_cast<double>(v), std::chars_format::fixed,
                                 std::clamp(decimals, 0, 40));
    const std::size_t size = r.ec == std::errc{} ? Tidy(text, static_cast<std::size_t>(r.ptr - text)) : 0;
    out.append(text, size);
}

void AppendSinglePlain(std::string& out, float v) {
    char text[48];
    const auto r =
        std::to_chars(text, text + sizeof text, static_cast<double>(v), std::chars_format::general, 7);
    const std::size_t size = r.ec == std::errc{} ? Tidy(text, static_cast<std::size_t>(r.ptr - text)) : 0;
    out.append(text, size);
}

std::string FormatDecimals(float v, int decimals) {
    std::string out;
    AppendDecimals(out, v, decimals);
    return out;
}

std::string FormatSinglePlain(float v) {
    std::string out;
    AppendSinglePlain(out, v);
    return out;
}

std::optional<float> ParseAiwFloat(std::string_view part) {
    return ParsePrefix<float>(part);
}

std::optional<short> ParseAiwInt16(std::string_view part) {
    const std::optional<double> v = ParsePrefix<double>(part);
    if (!v) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(*v); // the default rounding mode: ties to even
    if (!(rounded >= std::numeric_limits<short>::min() && rounded <= std::numeric_limits<short>::max())) {
        return std::nullopt;
    }
    return static_cast<short>(rounded);
}

std::optional<AiwTuple> SplitAiwTuple(std::string_view line) {
    const std::size_t open = line.find('(');
    const std::size_t close = line.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return std::nullopt;
    }
    std::string_view rest = line.substr(open + 1, close - open - 1);
    AiwTuple tuple;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            break;
        }
        tuple.Parts[k] = rest.substr(0, comma);
        rest.remove_prefix(comma + 1);
        ++tuple.Commas;
    }
    tuple.Parts[static_cast<std::size_t>(tuple.Commas)] = rest;
    return tuple;
}

std::array<float, 3> ParseTripleOrZero(std::string_view line) {
    const std::optional<AiwTuple> tuple = SplitAiwTuple(line);
    if (!tuple || tuple->Commas < 2) {
        return {};
    }
    std::array<float, 3> v{};
    for (std::size_t k = 0; k < 3; ++k) {
        const std::optional<float> f = ParseAiwFloat(tuple->Parts[k]);
        if (!f) {
            return {};
        }
        v[k] = *f;
    }
    return v;
}

} // namespace zv::waypoints
