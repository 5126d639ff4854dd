#include "formats/DroppedFiles.h"

#include "formats/ModelFormat.h"
#include "model/Paths.h"
#include "workspace/Commands.h"

namespace zv::formats {

bool MergeAsStep(Workspace& ws, const std::function<bool()>& merge) {
    model::ModelStore& m = ws.Model;
    const int vertBase = m.VertCount;
    const int polyBase = m.PolyCount;
    bool merged = false;
    RunStep(ws, "Merge", [&](edit::Recorder& rec) {
        rec.Parts();
        rec.Textures();
        merged = merge();
        if (!merged) {
            return edit::kNoChange;
        }
        // The appended rows are taken as they are now: what lay above the counts before was
        // no part of the model, and redo needs the merged rows.
        rec.Vertices(vertBase, m.VertCount);
        rec.Polygons(polyBase, m.PolyCount);
        return edit::Change(edit::Change::Geometry | edit::Change::Polygons | edit::Change::Selection |
                            edit::Change::Parts | edit::Change::Textures | edit::Change::Counts);
    });
    return merged;
}

const ModelFormat* DroppedFormat(const std::string& path, bool f1Vrl) {
    const ModelFormat* f = FormatForFile(path);
    return f != nullptr && f1Vrl && f->Name == "scgt" ? FindFormat("f1") : f;
}

std::vector<LoadedFile> LoadDroppedFiles(Workspace& ws, const std::vector<std::string>& paths, bool f1Vrl) {
    std::vector<LoadedFile> loaded;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        const ModelFormat* f = DroppedFormat(path, f1Vrl);
        bool ok = false;
        if (f != nullptr && i == 0) {
            ok = OpenModelFile(ws, *f, path);
        } else if (f != nullptr && f->Merge != nullptr) {
            ok = MergeAsStep(ws, [&] { return f->Merge(ws, path); });
        }
        if (ok) {
            loaded.push_back({f, path});
        }
    }
    return loaded;
}

} // namespace zv::formats
