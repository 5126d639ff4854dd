#pragma once
// Path pieces. Files come from Windows and from Linux alike, so a path splits at the last
// "/" or "\".

#include <string>
#include <string_view>

namespace zv::model {

// The folder without the trailing separator ("" when there is none).
std::string FolderOf(std::string_view path);
// The text after the last separator.
std::string FileNameOf(std::string_view path);
// The text before the last "."; the whole name when it has none.
std::string StripExtension(std::string_view fileName);
// ASCII letters upper-cased; other bytes unchanged.
std::string UpperAscii(std::string_view text);

} // namespace zv::model
