#include "model/FileLookup.h"

#include <filesystem>
#include <string_view>

namespace zv::model {
namespace {

namespace fs = std::filesystem;

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsRegularFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

} // namespace

std::optional<std::string> FindFileNoCase(const std::string& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    if (IsRegularFile(path)) {
        return path;
    }
    // Split where the program's other path code does, so "a\b" and "a/b" behave alike.
    const std::size_t cut = path.find_last_of("/\\");
    const std::string prefix = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    const std::string name = path.substr(prefix.size());
    if (name.empty()) {
        return std::nullopt;
    }
    std::error_code ec;
    fs::directory_iterator it(prefix.empty() ? fs::path(".") : fs::path(prefix), ec);
    std::optional<std::string> best;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string candidate = it->path().filename().string();
        if (EqualNoCase(candidate, name) && (!best || candidate < *best) && IsRegularFile(it->path())) {
            best = candidate;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return prefix + *best;
}

} // namespace zv::model
