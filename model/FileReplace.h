#pragma once
// Saving without ever destroying the previous file: the new contents go to a temporary file in
// the target's folder, which replaces the target only once it is complete.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zv::model {

// Writes data as the file at path. Returns nullopt on success. On failure the old file (if any)
// is untouched, no temporary file is left, and the result is the 1-based position of the first
// byte that could not be written (1 when the file could not be created, size + 1 when only the
// final rename failed). A symbolic link is saved through: its target is replaced and the link
// stays. A path that names something other than a regular file (a folder, a device node) is
// refused with position 1, as replacing it would destroy it.
std::optional<std::uint64_t> ReplaceFile(const std::string& path, std::string_view data);

// Takes the next piece of the new contents; false when it could not be written.
using ChunkSink = std::function<bool(std::string_view)>;

// The same for contents made piece by piece, so a large file need not be built in memory
// first: produce hands every piece to the sink in order and returns false if it gave up (the
// save then fails as a write at the position reached). All-zero pages are left as holes the
// file system reads back as zeros, which costs neither writing nor disk space.
std::optional<std::uint64_t> ReplaceFileWith(const std::string& path,
                                             const std::function<bool(const ChunkSink&)>& produce);

} // namespace zv::model
