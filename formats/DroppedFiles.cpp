#include "formats/DroppedFiles.h"

#include "formats/BinFormat.h"
#include "formats/VrlReader.h"
#include "model/Paths.h"

namespace zv::formats {

std::string LoadDroppedFiles(Workspace& ws, const std::vector<std::string>& paths, bool f1Vrl) {
    const VrlVariant variant = f1Vrl ? VrlVariant::F1_2000 : VrlVariant::Scgt;
    std::string last;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        const std::string kind = path.size() >= 4 ? model::UpperAscii(path.substr(path.size() - 4)) : "";
        const bool first = i == 0;
        bool loaded = false;
        if (kind == ".VRL") {
            loaded = first ? OpenVrl(ws, path, variant) : MergeVrl(ws, path, variant);
        } else if (kind == ".BIN") {
            loaded = first ? OpenBin(ws, path) : MergeBin(ws, path);
        }
        if (loaded) {
            last = model::FileNameOf(path);
        }
    }
    return last;
}

} // namespace zv::formats
