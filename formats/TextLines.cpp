#include "formats/TextLines.h"

#include "formats/ByteReader.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>
#include <type_traits>

namespace zv::formats {
namespace {

// An average exported line is well over 16 bytes; reserving by that avoids most regrowth.
constexpr std::size_t kTypicalLineBytes = 16;

// The text from the end of key to the start of next (to the end of the line when next is empty).
std::string_view Field(const TextLine& line, std::string_view key, std::string_view next) {
    const std::size_t at = line.Text.find(key);
    if (at == std::string_view::npos) {
        throw ReadError(line.Position);
    }
    std::string_view rest = line.Text.substr(at + key.size());
    if (!next.empty()) {
        const std::size_t stop = rest.find(next);
        if (stop == std::string_view::npos) {
            throw ReadError(line.Position);
        }
        rest = rest.substr(0, stop);
    }
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
        rest.remove_prefix(1);
    }
    if (rest.starts_with('+')) {
        rest.remove_prefix(1); // from_chars takes "-" but not "+"
    }
    return rest;
}

template <class T> T Parse(const TextLine& line, std::string_view field) {
    T value{};
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end == field.data()) {
        throw ReadError(line.Position);
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) {
            throw ReadError(line.Position);
        }
    }
    return value;
}

} // namespace

TextLines::TextLines(std::span<const std::uint8_t> bytes) : size_(bytes.size()) {
    const char* const data = reinterpret_cast<const char*>(bytes.data());
    lines_.reserve(bytes.size() / kTypicalLineBytes);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const void* lf = std::memchr(data + start, '\n', bytes.size() - start);
        const std::size_t stop =
            lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : bytes.size();
        std::string_view text(data + start, stop - start);
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        if (!text.empty() && text.front() != ';') {
            lines_.push_back({text, start + 1});
        }
        start = stop + 1;
    }
}

const TextLine& TextLines::At(std::int64_t i) const {
    Require(i);
    return lines_[static_cast<std::size_t>(i)];
}

void TextLines::Require(std::int64_t i) const {
    if (i < 0 || i >= Count()) {
        throw ReadError(EndPosition());
    }
}

double NumberAfter(const TextLine& line, std::string_view key) {
    return Parse<double>(line, Field(line, key, {}));
}

double NumberBetween(const TextLine& line, std::string_view key, std::string_view next) {
    return Parse<double>(line, Field(line, key, next));
}

std::int64_t IntegerAfter(const TextLine& line, std::string_view key) {
    return Parse<std::int64_t>(line, Field(line, key, {}));
}

std::int64_t IntegerBetween(const TextLine& line, std::string_view key, std::string_view next) {
    return Parse<std::int64_t>(line, Field(line, key, next));
}

} // namespace zv::formats
