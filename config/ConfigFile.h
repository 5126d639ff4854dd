#pragma once
// Reading and writing the configuration file "ZV068.CFG".

#include "config/Settings.h"
#include "model/UserInterface.h"

#include <string>

namespace zv::config {

inline constexpr const char* kConfigFileName = "ZV068.CFG";

// Where the configuration file lives: in the program's folder when that folder is writable
// and not a system folder of installed programs (/usr/..., /bin, /sbin, /opt/...), otherwise in
// $XDG_CONFIG_HOME/zorvane/ (default ~/.config/zorvane/).
std::string ConfigFilePath(const std::string& programDir);

// The user's home folder; it stands in for the "C:\" default folder.
std::string HomeFolder();

enum class MissingFile { Tell, Quiet };

// Reads the settings from path (see the implementation for the format), validating each
// value and then the whole. A missing file shows "Zv.cfg not found" (unless Quiet) and
// leaves the defaults, validated. Returns false when the file was missing or unreadable.
bool LoadConfig(const std::string& path, Settings& s, model::UserInterface& ui,
                MissingFile missing = MissingFile::Tell);

// Writes every setting in key order. The old file is replaced only once the new one is
// complete; on failure "Can't save Config File" is shown and the old file stays.
bool SaveConfig(const std::string& path, const Settings& s, model::UserInterface& ui);

} // namespace zv::config
