#pragma once
// The one bounds-checked little-endian reader that every binary format goes through. A read
// that does not fit throws ReadError naming the 1-based file position of the first byte of the
// element that could not be read.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

namespace zv::formats {

class ReadError : public std::runtime_error {
public:
    explicit ReadError(std::uint64_t position, std::string detail = {})
        : std::runtime_error("read error"), position_(position), detail_(std::move(detail)) {}
    // 1-based position of the first byte of the element that could not be read.
    std::uint64_t Position() const { return position_; }
    // A second line for the message when the position alone does not say what is wrong (a merge
    // that would exceed a capacity of the model); empty otherwise.
    const std::string& Detail() const { return detail_; }

private:
    std::uint64_t position_;
    std::string detail_;
};

// The second line of a merge refused because the model is full: "Too many vertices for the
// model: 80000 + 5 (at most 80001)".
inline std::string CapacityDetail(const char* what, std::int64_t have, std::int64_t adding, int capacity) {
    return std::string("Too many ") + what + " for the model: " + std::to_string(have) + " + " +
           std::to_string(adding) + " (at most " + std::to_string(capacity) + ")";
}

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t Size() const { return data_.size(); }
    std::size_t Tell() const { return pos_; }
    std::size_t Remaining() const { return data_.size() - pos_; }
    // 1-based position of the next byte, as error messages give it.
    std::uint64_t Position() const { return pos_ + 1; }

    // Moves to offset. An offset outside 0 .. Size() is the fault of the field that held it:
    // the error names faultPosition (1-based).
    void Seek(std::int64_t offset, std::uint64_t faultPosition) {
        if (offset < 0 || static_cast<std::uint64_t>(offset) > data_.size()) {
            throw ReadError(faultPosition);
        }
        pos_ = static_cast<std::size_t>(offset);
    }

    // Checks that count elements of elemSize bytes follow; otherwise names the first element
    // that does not fit. Lets a caller check a whole block once before a tight loop.
    void Require(std::size_t count, std::size_t elemSize) const {
        const std::size_t fit = Remaining() / elemSize;
        if (count > fit) {
            throw ReadError(pos_ + fit * elemSize + 1);
        }
    }

    std::uint8_t U8() { return Load<std::uint8_t>(); }
    std::int16_t I16() { return Load<std::int16_t>(); }
    std::uint16_t U16() { return Load<std::uint16_t>(); }
    std::int32_t I32() { return Load<std::int32_t>(); }
    std::uint32_t U32() { return Load<std::uint32_t>(); }
    float F32() { return Load<float>(); }

    // The next n bytes.
    std::span<const std::uint8_t> Bytes(std::size_t n) {
        Require(n, 1);
        const auto out = data_.subspan(pos_, n);
        pos_ += n;
        return out;
    }

    void Skip(std::size_t n) { Bytes(n); }

private:
    // The project builds for little-endian machines only, so a copy is the decoding.
    static_assert(std::endian::native == std::endian::little, "little-endian host required");

    template <class T> T Load() {
        if (Remaining() < sizeof(T)) {
            throw ReadError(pos_ + 1);
        }
        T value;
        std::memcpy(&value, data_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

} // namespace zv::formats
