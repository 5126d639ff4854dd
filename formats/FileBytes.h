#pragma once
// Whole-file input: formats read a file completely and close it before decoding.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zv::formats {

// True when path names an existing regular file (or a link to one).
bool IsFile(const std::string& path);

// The largest model file the readers take: no legal VRL or BIN file comes near it (VRL blocks
// lie at 32-bit offsets, and the largest legal block is about 1 MB), and a forged huge or sparse
// file is refused before anything is read into memory.
inline constexpr std::uint64_t kMaxModelFileBytes = (std::uint64_t{1} << 31) + (std::uint64_t{1} << 24);

// The whole file, or nullopt when it cannot be opened or read or is longer than maxBytes.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::uint64_t maxBytes = UINT64_MAX);

} // namespace zv::formats
