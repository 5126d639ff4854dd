#pragma once
// Finding files whose names came from Windows, where names are case-insensitive.

#include <optional>
#include <string>

namespace zv::model {

// The path of the file that path names: path itself when it is a regular file, otherwise a
// regular file in the same folder whose name equals path's file name up to ASCII letter case
// (the first such name in byte order when several match). The folder part is used as given.
// nullopt when there is none or the folder cannot be read.
std::optional<std::string> FindFileNoCase(const std::string& path);

} // namespace zv::model
