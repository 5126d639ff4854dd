#include "config/ConfigFormat.h"

#include "model/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace zv::config {
namespace {

// The numeric prefix of a line, rewritten for std::from_chars (no "+", exponent as "e").
struct NumberPrefix {
    std::string text; // empty when the line holds no number
    bool negative = false;
    long magnitude = 0; // decimal exponent of the leading digit, only to tell overflow from underflow
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Appends the digits starting at i; returns the index after them.
std::size_t TakeDigits(std::string_view s, std::size_t i, std::string& out) {
    while (i < s.size() && IsDigit(s[i])) {
        out += s[i++];
    }
    return i;
}

// Digits before the first non-zero one ("0012" -> 2); size() when all are zero.
std::size_t LeadingZeros(const std::string& digits) {
    const auto n = digits.find_first_not_of('0');
    return n == std::string::npos ? digits.size() : n;
}

// Reads an exponent at s[i] ("e-12"); returns the index after it, or i when there is none.
std::size_t TakeExponent(std::string_view s, std::size_t i, std::string& out, long& exponent) {
    if (i >= s.size() || std::string_view("EeDd").find(s[i]) == std::string_view::npos) {
        return i;
    }
    std::size_t j = i + 1;
    bool negative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
        negative = s[j] == '-';
        ++j;
    }
    std::string digits;
    const std::size_t end = TakeDigits(s, j, digits);
    if (digits.empty()) {
        return i; // "1e" or "1e+": the number ends before the "e"
    }
    exponent = 0;
    for (const char c : digits) {
        exponent = std::min(exponent * 10 + (c - '0'), 100000L); // far beyond any float range
    }
    if (negative) {
        exponent = -exponent;
    }
    out += negative ? "e-" : "e";
    out += digits;
    return end;
}

NumberPrefix ScanNumber(std::string_view s) {
    NumberPrefix r;
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
        ++i;
    }
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        r.negative = s[i] == '-';
        ++i;
    }
    std::string whole;
    std::string fraction;
    i = TakeDigits(s, i, whole);
    if (i < s.size() && s[i] == '.') {
        i = TakeDigits(s, i + 1, fraction);
    }
    if (whole.empty() && fraction.empty()) {
        return r;
    }
    r.text = r.negative ? "-" : "";
    r.text += whole.empty() ? "0" : whole;
    if (!fraction.empty()) {
        r.text += "." + fraction;
    }
    const std::size_t zeros = LeadingZeros(whole);
    r.magnitude = zeros < whole.size() ? static_cast<long>(whole.size() - zeros) - 1
                                       : -static_cast<long>(LeadingZeros(fraction)) - 1;
    long exponent = 0;
    TakeExponent(s, i, r.text, exponent);
    r.magnitude += exponent;
    return r;
}

template <typename T> T Convert(std::string_view line) {
    const NumberPrefix n = ScanNumber(line);
    if (n.text.empty()) {
        return 0;
    }
    T value{};
    const auto [end, ec] = std::from_chars(n.text.data(), n.text.data() + n.text.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        if (n.magnitude < 0) {
            return 0;
        }
        const T largest = std::numeric_limits<T>::max();
        return n.negative ? -largest : largest;
    }
    return ec == std::errc() ? value : T(0);
}

std::string Digits(std::int64_t v) {
    char text[24];
    const auto r = std::to_chars(text, text + sizeof text, v);
    return {text, r.ptr};
}

} // namespace

double ReadNumber(std::string_view text) {
    return Convert<double>(text);
}

float ReadSingle(std::string_view text) {
    return Convert<float>(text);
}

std::int16_t ReadInteger(std::string_view text) {
    const std::int32_t v = model::RoundToInt32(ReadNumber(text));
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, std::numeric_limits<std::int16_t>::min(),
                                                              std::numeric_limits<std::int16_t>::max()));
}

std::int32_t ReadLong(std::string_view text) {
    return model::RoundToInt32(ReadNumber(text));
}

std::string FormatSingle(float value) {
    if (!std::isfinite(value) || value == 0) {
        return "0";
    }
    // Scientific form gives the shortest round-trip digits and the exponent separately.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    const std::string_view t(buf, static_cast<std::size_t>(r.ptr - buf));
    const std::size_t e = t.find('e');
    std::string digits(1, t[0]);
    if (e > 1) {
        digits += t.substr(2, e - 2);
    }
    std::string_view exponentText = t.substr(e + 1);
    if (exponentText.front() == '+') {
        exponentText.remove_prefix(1); // from_chars takes "-" but not "+"
    }
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    std::string out = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= 7) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) {
            out += "." + digits.substr(1);
        }
        const int a = std::abs(exponent);
        out += exponent < 0 ? "E-" : "E+";
        out += a < 10 ? "0" + std::to_string(a) : std::to_string(a);
    } else if (exponent < 0) {
        out += "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto point = static_cast<std::size_t>(exponent + 1);
        if (digits.size() <= point) {
            out += digits + std::string(point - digits.size(), '0');
        } else {
            out += digits.substr(0, point) + "." + digits.substr(point);
        }
    }
    return out;
}

std::string NumberLine(std::int64_t value) {
    return (value < 0 ? "" : " ") + Digits(value) + " ";
}

std::string NumberLine(float value) {
    const std::string text = FormatSingle(value);
    return (text[0] == '-' ? "" : " ") + text + " ";
}

} // namespace zv::config
