#pragma once
// The rule of the File menu's recent list, kept apart from the menu so it is tested without a
// window: newest first, one entry per file, at most kMaxRecentFiles.

#include "config/Settings.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace zv::config {

// path made absolute (against the current folder) and normalised ("a/./b/../c" is "a/c"),
// without touching the file; "" for an empty path or one that cannot be made absolute.
inline std::string NormalPath(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? std::string() : absolute.lexically_normal().string();
}

// Puts file at the top of list with its path normalised: a file listed already moves up and
// takes the new command; the oldest entries beyond kMaxRecentFiles fall off. A path that
// cannot be normalised changes nothing.
inline void NoteRecent(std::vector<RecentFile>& list, RecentFile file) {
    file.Path = NormalPath(file.Path);
    if (file.Path.empty()) {
        return;
    }
    // Entries read from the configuration may be written differently ("/a/./b"): compare normalised.
    std::erase_if(list, [&](const RecentFile& r) { return NormalPath(r.Path) == file.Path; });
    list.insert(list.begin(), std::move(file));
    if (list.size() > kMaxRecentFiles) {
        list.resize(kMaxRecentFiles);
    }
}

// Removes the entries whose file no longer exists.
inline void DropMissing(std::vector<RecentFile>& list) {
    std::erase_if(list, [](const RecentFile& r) {
        std::error_code error;
        return !std::filesystem::exists(r.Path, error);
    });
}

} // namespace zv::config
