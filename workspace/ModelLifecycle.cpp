#include "workspace/ModelLifecycle.h"

#include "edit/Parts.h"
#include "model/Columns.h"
#include "model/ModelInfo.h"
#include "model/Paths.h"
#include "textures/TextureSink.h"

#include <algorithm>

namespace zv {
namespace {

void TakeNamesFromPath(model::ModelStore& m, const std::string& path) {
    m.ModelDir = model::FolderOf(path);
    m.ModelFileName = model::FileNameOf(path);
}

// Selects and shows polygons first .. PolyCount-1 and makes them a part named after the file.
void MakeLoadedPart(Workspace& ws, int first) {
    model::ModelStore& m = ws.Model;
    for (int p = first; p < m.PolyCount; ++p) {
        m.PolySel[p] = model::kTrue;
        m.PolyFlag[p] = 1;
    }
    edit::AddPart(m, ws.Ui, model::StripExtension(m.ModelFileName));
    ++m.LoadCount;
}

void EmptyCounts(Workspace& ws) {
    model::ModelStore& m = ws.Model;
    m.CurPoly = -1;
    m.Selection.SelCursor = -1;
    m.VertCount = 0;
    m.PolyCount = 0;
    m.TexCount = 0;
    m.LoadCount = 1;
    textures::ReleaseAll(ws.Textures);
}

} // namespace

void NewModel(Workspace& ws) {
    ws.History.Clear();
    model::ModelStore& m = ws.Model;
    m.LoadCount = 1;
    m.VertCount = -1;
    m.PolyCount = -1;
    m.CurVert = m.CurPoly = m.CurCorner = m.CurEdge = -1;
    m.Selection.SelCursor = -1;
    model::DeselectAll(m);
    m.PolySelEdge.Fill(-1);
    ws.Ui.ClearTextureLists();
    edit::ClearParts(m, ws.Ui);
    textures::ReleaseAll(ws.Textures);
    m.TexCount = 0;
    ws.Waypoints.CurWp = 0; // the waypoint editor's marker starts over with the model
    ws.Ui.SetCaption(model::ProductCaption());
}

void BeginOpen(Workspace& ws) {
    ws.History.Clear();
    EmptyCounts(ws);
    ws.Ui.ClearTextureLists();
}

void EmptyModelKeepingHistory(Workspace& ws) {
    model::ModelStore& m = ws.Model;
    EmptyCounts(ws);
    m.CurVert = m.CurPoly = m.CurCorner = m.CurEdge = -1;
    model::DeselectAll(m);
    ws.Ui.ClearTextureLists();
    edit::ClearParts(m, ws.Ui);
}

bool BeginMerge(Workspace& ws) {
    model::ModelStore& m = ws.Model;
    if (!m.HasModel()) {
        return false;
    }
    m.CurPoly = -1;
    m.Selection.SelCursor = -1;
    m.MergeVertBase = m.VertCount;
    m.MergePolyBase = m.PolyCount;
    m.MergeTexBase = m.TexCount;
    model::DeselectAll(m);
    return true;
}

void FinishOpen(Workspace& ws, const std::string& path, TextureFiles files) {
    FinishOpenWithParts(ws, path, {}, files);
}

void FinishOpenWithParts(Workspace& ws, const std::string& path, std::span<const PartRun> runs,
                         TextureFiles files) {
    model::ModelStore& m = ws.Model;
    edit::ClearParts(m, ws.Ui);
    TakeNamesFromPath(m, path);
    model::DeselectAll(m);
    model::ShowVertices(m, -1, model::UsedVertices(m));
    if (runs.empty()) {
        MakeLoadedPart(ws, 0);
    } else {
        for (int p = 0; p < m.PolyCount; ++p) {
            m.PolySel[p] = model::kTrue;
            m.PolyFlag[p] = 1;
        }
        for (const PartRun& run : runs) {
            for (int done = 0; done < run.Count && m.PartCount() < model::kMaxParts;
                 done += model::kMaxPartMembers) {
                edit::AddPartOfPolygons(m, ws.Ui, run.Name, run.First + done,
                                        std::min(run.Count - done, model::kMaxPartMembers));
            }
        }
        ++m.LoadCount;
    }
    LoadModelTextures(ws, 0, files);
    model::UpdateTitleLine(m, ws.Ui);
}

void FinishMerge(Workspace& ws, const std::string& path, TextureFiles files) {
    model::ModelStore& m = ws.Model;
    model::ShowVertices(m, m.MergeVertBase, model::UsedVertices(m));
    TakeNamesFromPath(m, path);
    LoadModelTextures(ws, m.MergeTexBase, files);
    model::UpdateTitleLine(m, ws.Ui);
    MakeLoadedPart(ws, m.MergePolyBase);
}

void ResetAfterFailedOpen(Workspace& ws) {
    EmptyCounts(ws);
    // The old parts would name polygons that are gone.
    edit::ClearParts(ws.Model, ws.Ui);
}

textures::TextureScope TexturesOf(Workspace& ws) {
    return {ws.Model, ws.Textures, ws.Settings, ws.Ui};
}

void LoadModelTextures(Workspace& ws, int first, TextureFiles files) {
    const textures::TextureScope scope = TexturesOf(ws);
    for (int t = std::max(first, 0); t < ws.Model.TexCount && t < model::kTextureCapacity; ++t) {
        const std::string name = ws.Model.TexName[t];
        if (!ws.Settings.LoadTexturesOnOpen) {
            ws.Textures.TexTable[t] = {name, textures::kUnloadedSize, textures::kUnloadedSize, -1,
                                       "Nl: " + name};
            ws.Ui.AppendTextureList("Nl: " + name);
        } else if (files == TextureFiles::Raw) {
            textures::LoadRawTexture(scope, name, t);
        } else {
            textures::LoadBmpTexture(scope, name, t);
        }
    }
}

} // namespace zv

namespace zv {

void RebuildTextureLists(Workspace& ws) {
    ws.Ui.ClearTextureLists();
    for (int t = 0; t < ws.Model.TexCount && t < model::kTextureCapacity; ++t) {
        textures::TexEntry& e = ws.Textures.TexTable[t];
        const std::string& name = ws.Model.TexName[t];
        if (e.Name != name) {
            // The name changed under the entry (a generated track, an undo): the old image no
            // longer belongs to it, so the entry becomes a texture not loaded.
            e = {name, textures::kUnloadedSize, textures::kUnloadedSize, -1, "Nl: " + name};
            if (ws.Textures.Sink != nullptr) {
                textures::FillDefaultTexture(ws.Textures, textures::kUnloadedSize, textures::kUnloadedSize);
                ws.Textures.Sink->Upload(t, ws.Textures.PixelsWidth, ws.Textures.PixelsHeight,
                                         ws.Textures.TexPixels);
            }
        }
        ws.Ui.AppendTextureList(e.ListText);
    }
}

} // namespace zv
