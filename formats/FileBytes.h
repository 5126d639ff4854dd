#pragma once
// Whole-file input: formats read a file completely and close it before decoding.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zv::formats {

// True when path names an existing regular file (or a link to one).
bool IsFile(const std::string& path);

// The whole file, or nullopt when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path);

} // namespace zv::formats
