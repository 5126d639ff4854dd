#pragma once
// The line reader of the text model formats. A file is read whole into a list of lines, each
// with the 1-based byte position of its first character, which is what fault messages name.
// Numbers are read with std::from_chars, so "." is the decimal separator whatever the locale.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zv::formats {

struct TextLine {
    std::string_view Text;      // without the line end
    std::uint64_t Position = 0; // 1-based byte position of the first character
};

// The lines of a file except empty lines and comment lines (first character ";"). Lines end at
// LF; a CR before it is dropped. The lines are views into bytes, which must outlive this.
class TextLines {
public:
    explicit TextLines(std::span<const std::uint8_t> bytes);

    int Count() const { return static_cast<int>(lines_.size()); }
    // Line i of the list; a line past the end is a fault at the end of the file (it is cut off).
    const TextLine& At(std::int64_t i) const;
    // Throws the end-of-file fault unless line i exists, so that a reader can check a whole
    // table before writing any of it.
    void Require(std::int64_t i) const;
    // 1-based position just past the last byte: where a cut-off file is missing something.
    std::uint64_t EndPosition() const { return size_ + 1; }

    auto begin() const { return lines_.begin(); }
    auto end() const { return lines_.end(); }

private:
    std::vector<TextLine> lines_;
    std::uint64_t size_ = 0;
};

// True when the text holds key.
inline bool HasKey(std::string_view text, std::string_view key) {
    return text.find(key) != std::string_view::npos;
}

// The number after the first key of the line (blanks and a "+" skipped; an empty key reads from
// the start of the line); what follows the number is ignored. A missing key or number, or one
// that is not finite, throws ReadError at the line.
double NumberAfter(const TextLine& line, std::string_view key);
// As NumberAfter, the number standing between key and the first next after it.
double NumberBetween(const TextLine& line, std::string_view key, std::string_view next);
// Whole numbers (indices, counts) the same way; one outside 64 bits is a fault.
std::int64_t IntegerAfter(const TextLine& line, std::string_view key);
std::int64_t IntegerBetween(const TextLine& line, std::string_view key, std::string_view next);

} // namespace zv::formats
