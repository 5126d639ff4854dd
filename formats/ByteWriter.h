#pragma once
// The little-endian writer of every binary format. Either the whole file is built in memory, or
// (for large files) the bytes go on to a sink of the safe file replacement in pieces as they
// gather (see model::ReplaceFileWith); a failed save never leaves half a file either way.

#include "model/FileReplace.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::formats {

class ByteWriter {
public:
    ByteWriter() = default;
    // Hands the bytes to sink whenever chunk bytes have gathered. Only bytes not yet handed
    // over can be patched, so header fields must be set while the header is still held.
    explicit ByteWriter(const model::ChunkSink& sink, std::size_t chunk = std::size_t{1} << 20)
        : sink_(&sink), chunk_(chunk) {
        data_.reserve(chunk_ + 64);
    }

    void Reserve(std::size_t bytes) {
        if (sink_ == nullptr) {
            data_.reserve(bytes);
        }
    }

    void U8(std::uint8_t v) {
        data_.push_back(v);
        Gathered();
    }
    void I16(std::int16_t v) { Store(v); }
    void I32(std::int32_t v) { Store(v); }
    void U32(std::uint32_t v) { Store(v); }
    void F32(float v) { Store(v); }
    void Bytes(std::span<const std::uint8_t> bytes) {
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        Gathered();
    }
    void Zeros(std::size_t n) {
        while (n > 0) {
            const std::size_t step = sink_ == nullptr ? n : std::min(n, chunk_);
            data_.resize(data_.size() + step, 0);
            n -= step;
            Gathered();
        }
    }

    // Overwrites an int32 written earlier (for offsets known only later).
    void PatchI32(std::size_t at, std::int32_t v) {
        if (at < handed_ || at - handed_ + sizeof v > data_.size()) {
            failed_ = true; // already handed over: the file would be wrong
            return;
        }
        std::memcpy(data_.data() + (at - handed_), &v, sizeof v);
    }

    // Hands the rest to the sink. False when the sink refused a piece or a patch came too late.
    bool Finish() {
        Flush();
        return !failed_;
    }

    std::size_t Size() const { return handed_ + data_.size(); }
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
        Gathered();
    }

    void Gathered() {
        if (sink_ != nullptr && data_.size() >= chunk_) {
            Flush();
        }
    }

    void Flush() {
        if (sink_ == nullptr || data_.empty()) {
            return;
        }
        if (!failed_ && !(*sink_)(std::string_view(reinterpret_cast<const char*>(data_.data()), data_.size()))) {
            failed_ = true;
        }
        handed_ += data_.size();
        data_.clear();
    }

    const model::ChunkSink* sink_ = nullptr;
    std::size_t chunk_ = 0;
    std::size_t handed_ = 0;
    bool failed_ = false;
    std::vector<std::uint8_t> data_;
};

} // namespace zv::formats
