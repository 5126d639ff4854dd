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

FolderFiles::FolderFiles(const std::string& folder) {
    prefix_ = folder.empty() ? std::string() : (folder.back() == '/' ? folder : folder + "/");
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (!IsRegularFile(it->path())) {
            continue;
        }
        const std::string name = it->path().filename().string();
        exact_.insert(name);
        std::string lower = name;
        for (char& c : lower) {
            c = LowerAscii(c);
        }
        auto [at, added] = byLower_.emplace(std::move(lower), name);
        if (!added && name < at->second) {
            at->second = name;
        }
    }
}

std::optional<std::string> FolderFiles::Find(const std::string& name) const {
    if (name.empty() || name.find_first_of("/\\") != std::string::npos) {
        return std::nullopt;
    }
    if (exact_.contains(name)) {
        return prefix_ + name;
    }
    std::string lower = name;
    for (char& c : lower) {
        c = LowerAscii(c);
    }
    const auto at = byLower_.find(lower);
    if (at == byLower_.end()) {
        return std::nullopt;
    }
    return prefix_ + at->second;
}

} // namespace zv::model
