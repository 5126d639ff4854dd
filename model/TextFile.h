#pragma once
// Reading a whole small text file (waypoint and path files) in one go.

#include <optional>
#include <string>

namespace zv::model {

// The bytes of the file at path; nullopt when it is missing, a folder or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

} // namespace zv::model
