#include "formats/FileBytes.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace zv::formats {

bool IsFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::uint64_t maxBytes) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    std::error_code ec;
    const auto expected = std::filesystem::file_size(path, ec);
    if (!ec && expected > maxBytes) {
        return std::nullopt; // refused before anything is read
    }
    bytes.resize(ec ? 0 : static_cast<std::size_t>(expected));
    const std::size_t have = std::fread(bytes.data(), 1, bytes.size(), f.get());
    bytes.resize(have);
    // Go on past the expected size: the file may have grown, or its size may not be known.
    std::uint8_t chunk[1 << 16];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) {
        if (bytes.size() + n > maxBytes) {
            return std::nullopt; // it grew past the limit while being read
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (std::ferror(f.get())) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace zv::formats
