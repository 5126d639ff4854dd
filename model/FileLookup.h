#pragma once
// Finding files whose names came from Windows, where names are case-insensitive.

#include <map>
#include <set>
#include <optional>
#include <string>

namespace zv::model {

// The path of the file that path names: path itself when it is a regular file, otherwise a
// regular file in the same folder whose name equals path's file name up to ASCII letter case
// (the first such name in byte order when several match). The folder part is used as given.
// nullopt when there is none or the folder cannot be read.
std::optional<std::string> FindFileNoCase(const std::string& path);

// The files of one folder by name up to ASCII letter case, listed once: finding many names in
// one folder (the objects of a scene) then costs no folder listing per name. Find follows the
// rule of FindFileNoCase (the exact name first, otherwise the first match in byte order), for
// the folder as it was when listed.
class FolderFiles {
public:
    explicit FolderFiles(const std::string& folder);
    // The path (folder, "/", the file's real name) of the file name names; nullopt when there is
    // none. A name with a folder separator is never found.
    std::optional<std::string> Find(const std::string& name) const;

private:
    std::string prefix_;
    std::map<std::string, std::string> byLower_; // lower-case name -> first real name in byte order
    std::set<std::string> exact_;                // every real name that is a regular file
};

} // namespace zv::model
