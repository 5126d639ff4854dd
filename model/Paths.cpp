#include "model/Paths.h"

namespace zv::model {
namespace {

std::string_view::size_type LastSeparator(std::string_view path) {
    return path.find_last_of("/\\");
}

} // namespace

std::string FolderOf(std::string_view path) {
    const auto pos = LastSeparator(path);
    return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos));
}

std::string FileNameOf(std::string_view path) {
    const auto pos = LastSeparator(path);
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string StripExtension(std::string_view fileName) {
    const auto pos = fileName.find_last_of('.');
    return std::string(pos == std::string_view::npos ? fileName : fileName.substr(0, pos));
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

} // namespace zv::model
