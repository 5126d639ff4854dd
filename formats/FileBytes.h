#pragma once
// Whole-file input: formats read a file completely and close it before decoding.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace zv::formats {

// True when path names an existing regular file (or a link to one).
bool IsFile(const std::string& path);

// The largest model file the readers take: no legal VRL or BIN file comes near it (VRL blocks
// lie at 32-bit offsets, and the largest legal block is about 1 MB), and a forged huge or sparse
// file is refused before anything is read into memory.
inline constexpr std::uint64_t kMaxModelFileBytes = (std::uint64_t{1} << 31) + (std::uint64_t{1} << 24);

// The bytes of a file. Large files are mapped rather than copied (much cheaper than reading
// them into fresh memory); small ones are read into memory that is not cleared first. A mapped
// file that another program cuts short while it is being decoded does not end the program: the
// missing bytes read as zero and Changed() says so, and the reader then refuses the file.
class FileBytes {
public:
    FileBytes() = default;
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    // True when the file was cut short while mapped, so that some bytes read as zero.
    bool Changed() const;

    const std::uint8_t* data() const { return bytes_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const std::uint8_t* begin() const { return bytes_; }
    const std::uint8_t* end() const { return bytes_ + size_; }
    const std::uint8_t& operator[](std::size_t i) const { return bytes_[i]; }
    operator std::span<const std::uint8_t>() const { return {data(), size_}; }

private:
    friend std::optional<FileBytes> ReadFileBytes(const std::string& path, std::uint64_t maxBytes);
    void Release();
    std::unique_ptr<std::uint8_t[]> owned_;
    const std::uint8_t* bytes_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0; // length of the mapping, 0 when the bytes are owned
    int guard_ = -1;         // the mapping's slot in the cut-short guard
};

// The whole file, or nullopt when it cannot be opened or read, is not a regular file, or is
// longer than maxBytes.
std::optional<FileBytes> ReadFileBytes(const std::string& path, std::uint64_t maxBytes = UINT64_MAX);

} // namespace zv::formats
