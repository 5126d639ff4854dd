#pragma once
// The little-endian writer of every binary format: the whole file is built in memory and then
// saved in one piece (see model::ReplaceFile), so a failed save never leaves half a file.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::formats {

class ByteWriter {
public:
    void Reserve(std::size_t bytes) { data_.reserve(bytes); }

    void U8(std::uint8_t v) { data_.push_back(v); }
    void I16(std::int16_t v) { Store(v); }
    void I32(std::int32_t v) { Store(v); }
    void U32(std::uint32_t v) { Store(v); }
    void F32(float v) { Store(v); }
    void Bytes(std::span<const std::uint8_t> bytes) { data_.insert(data_.end(), bytes.begin(), bytes.end()); }
    void Zeros(std::size_t n) { data_.resize(data_.size() + n, 0); }

    // Overwrites an int32 written earlier (for offsets known only later).
    void PatchI32(std::size_t at, std::int32_t v) { std::memcpy(data_.data() + at, &v, sizeof v); }

    std::size_t Size() const { return data_.size(); }
    const std::vector<std::uint8_t>& Data() const { return data_; }
    // Hands the bytes over, leaving the writer empty.
    std::vector<std::uint8_t> Release() { return std::move(data_); }
    std::string_view View() const {
        return {reinterpret_cast<const char*>(data_.data()), data_.size()};
    }

private:
    static_assert(std::endian::native == std::endian::little, "little-endian host required");

    template <class T> void Store(T v) {
        const std::size_t at = data_.size();
        data_.resize(at + sizeof(T));
        std::memcpy(data_.data() + at, &v, sizeof(T));
    }

    std::vector<std::uint8_t> data_;
};

} // namespace zv::formats
