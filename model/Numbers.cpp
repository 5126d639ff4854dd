#include "model/Numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace zv::model {
namespace {

constexpr std::array<double, 10> kPow10{1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// The slow, obviously exact way: the C library converts the binary value exactly.
double RoundViaText(double x, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, x);
    return std::strtod(text, nullptr);
}

} // namespace

double RoundHalfEven(double x, int decimals) {
    const double scale = kPow10[static_cast<std::size_t>(decimals)];
    const double y = x * scale;
    if (!std::isfinite(y) || std::fabs(y) >= 0x1p52) {
        return std::isfinite(x) ? RoundViaText(x, decimals) : x;
    }
    double r = std::nearbyint(y); // ties of y itself go to even
    const double t = y - r;       // exact: |t| <= 0.5 and y is not huge
    if (t == 0.5 || t == -0.5) {
        // y is a tie, but the exact product x * scale == y + e may lie off it.
        const double e = std::fma(x, scale, -y);
        if (t == 0.5 && e > 0) {
            r += 1;
        } else if (t == -0.5 && e < 0) {
            r -= 1;
        }
    }
    return r / scale;
}

std::string FormatFixed8(double x) {
    double v = RoundHalfEven(x, 8);
    if (v == 0) {
        v = 0; // no "-0.00000000"
    }
    char text[400];
    std::snprintf(text, sizeof text, "%.8f", v);
    return text;
}

std::string HexUpper(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

std::int32_t RoundToInt32(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    const double r = std::nearbyint(x);
    if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(r);
}

std::optional<double> ParseNumber(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    if (s.starts_with('+')) {
        s.remove_prefix(1);
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace zv::model
