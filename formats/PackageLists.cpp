#include "formats/PackageLists.h"

#include "config/ConfigFormat.h"
#include "edit/Parts.h"
#include "model/FileReplace.h"
#include "model/Paths.h"

#include <algorithm>

namespace zv::formats {
namespace {

constexpr const char* kLineEnd = "\r\n";

int TextureCount(const model::ModelStore& m) {
    return std::clamp(static_cast<int>(m.TexCount), 0, model::kTextureCapacity);
}

std::string CountLine(int count) {
    return config::NumberLine(std::int64_t{count}) + kLineEnd;
}

std::string TextureLines(const model::ModelStore& m) {
    std::string text;
    for (int t = 0; t < TextureCount(m); ++t) {
        text += m.TexName[t] + ".BMP" + kLineEnd;
    }
    return text;
}

bool Save(model::UserInterface& ui, const std::string& path, const std::string& text,
          const char* failureText) {
    if (model::ReplaceFile(path, text)) {
        ui.ShowMessage("Save Error", failureText, model::MessageIcon::Warning, model::MessageButtons::Ok);
        return false;
    }
    return true;
}

} // namespace

std::string PartFileName(const model::ModelStore& m, int g) {
    if (g < 1 || g > m.PartCount()) {
        return {};
    }
    return model::UpperAscii(edit::PartBaseName(m, g) + ".vrl");
}

bool WritePartsPck(const model::ModelStore& m, model::UserInterface& ui, const std::string& path) {
    if (m.PartCount() == 0) {
        return false;
    }
    return Save(ui, path, PartListClipboardText(m), "Can't save parts .pck file");
}

bool WriteTexturePck(const model::ModelStore& m, model::UserInterface& ui, const std::string& path) {
    return Save(ui, path, CountLine(TextureCount(m)) + TextureLines(m), "Can't save Texture PCK File");
}

std::string TextureListClipboardText(const model::ModelStore& m) {
    return TextureLines(m);
}

std::string PartListClipboardText(const model::ModelStore& m) {
    std::string text = CountLine(m.PartCount());
    for (int g = 1; g <= m.PartCount(); ++g) {
        text += PartFileName(m, g) + kLineEnd;
    }
    return text;
}

} // namespace zv::formats
