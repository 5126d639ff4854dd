#pragma once
// Reading option values of the command-line tool: whole numbers, reals and comma lists, in the
// "C" form whatever the locale, the whole text or nothing.

#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

namespace zv::cli {

inline std::optional<long> ParseWhole(std::string_view s) {
    long v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc{} && ptr == s.data() + s.size() ? std::optional<long>(v) : std::nullopt;
}

inline std::optional<double> ParseReal(std::string_view s) {
    double v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc{} && ptr == s.data() + s.size() ? std::optional<double>(v) : std::nullopt;
}

inline std::vector<std::string_view> SplitCommas(std::string_view s) {
    std::vector<std::string_view> parts;
    for (std::size_t comma; (comma = s.find(',')) != std::string_view::npos; s.remove_prefix(comma + 1)) {
        parts.push_back(s.substr(0, comma));
    }
    parts.push_back(s);
    return parts;
}

} // namespace zv::cli
