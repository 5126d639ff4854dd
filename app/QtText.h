#pragma once
// Text between the core and Qt. The core keeps 8-bit text: paths from this system are UTF-8,
// names from model files are Windows Latin-1.

#include <QString>

#include <string>
#include <string_view>

namespace zv::app {

// UTF-8 when the bytes are valid UTF-8, Latin-1 otherwise.
QString ToQString(std::string_view text);
// UTF-8 bytes of a path or text typed by the user.
std::string ToCore(const QString& text);

} // namespace zv::app
