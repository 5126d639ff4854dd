#include "workspace/EditOperations.h"

#include "edit/PolygonOps.h"
#include "edit/Selection.h"
#include "edit/TextureOps.h"
#include "edit/Transforms.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "workspace/Commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace zv {
namespace {

using edit::Change;
using edit::kNoChange;

// ---- Argument text ---------------------------------------------------------------------------

std::vector<std::string_view> SplitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

bool IsPlainCount(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A plain non-negative integer that fits an int.
std::optional<int> ParseCount(std::string_view s) {
    int value = 0;
    if (!IsPlainCount(s)) {
        return std::nullopt;
    }
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size() ? std::optional<int>(value) : std::nullopt;
}

bool ParseVector(const std::vector<std::string_view>& fields, edit::Vec3& out) {
    for (std::size_t a = 0; a < 3; ++a) {
        const auto v = model::ParseNumber(fields[a]);
        if (!v) {
            return false;
        }
        out[a] = *v;
    }
    return true;
}

// Letters from "xyz" in any case, or a number 1 .. 7 with bits 1 = X, 2 = Y, 4 = Z.
bool ParseMask(std::string_view s, edit::Axes& axes) {
    axes = {false, false, false};
    if (IsPlainCount(s)) {
        const auto bits = ParseCount(s);
        if (!bits || *bits < 1 || *bits > 7) {
            return false;
        }
        for (std::size_t a = 0; a < 3; ++a) {
            axes[a] = (*bits & (1 << a)) != 0;
        }
        return true;
    }
    for (const char c : s) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower < 'x' || lower > 'z') {
            return false;
        }
        axes[static_cast<std::size_t>(lower - 'x')] = true;
    }
    return !s.empty();
}

bool ParseVertexList(std::string_view s, std::vector<VertexRange>& ranges) {
    for (const std::string_view item : SplitCommas(s)) {
        const std::size_t dash = item.find('-');
        const auto first = ParseCount(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : ParseCount(item.substr(dash + 1));
        if (!first || !last || *last < *first) {
            return false;
        }
        ranges.push_back({*first, *last});
    }
    return true;
}

// Fills args from text for an operation taking kind; false when the text does not fit.
bool ParseArgument(EditArgKind kind, const std::string& text, EditArgs& args) {
    args.Text = text;
    const std::vector<std::string_view> fields = SplitCommas(text);
    switch (kind) {
    case EditArgKind::None:
    case EditArgKind::OptionalCount:
        return true;
    case EditArgKind::Number: {
        const auto v = model::ParseNumber(text);
        args.Values[0] = v.value_or(0);
        return v.has_value();
    }
    case EditArgKind::Vector:
        return fields.size() == 3 && ParseVector(fields, args.Values);
    case EditArgKind::VectorAndMask:
        return (fields.size() == 3 || fields.size() == 4) && ParseVector(fields, args.Values) &&
               (fields.size() == 3 || ParseMask(fields[3], args.Axes));
    case EditArgKind::VertexList:
    case EditArgKind::PolygonList:
        return ParseVertexList(text, args.Ranges);
    case EditArgKind::Colour:
        if (fields.size() != 4) {
            return false;
        }
        for (std::size_t c = 0; c < 4; ++c) {
            const auto v = model::ParseNumber(fields[c]);
            if (!v) {
                return false;
            }
            args.Colour[c] = *v;
        }
        return true;
    case EditArgKind::Mapping: {
        if (fields.size() != 2 && fields.size() != 3 && fields.size() != 5) {
            return false;
        }
        const auto direction = edit::ParseMapDirection(fields[0]);
        if (!direction || fields[1].empty()) {
            return false;
        }
        args.Direction = static_cast<int>(*direction);
        args.Textures = {std::string(fields[1])};
        args.Values = {edit::kMapZoom, 0, 0};
        for (std::size_t i = 2; i < fields.size(); ++i) {
            const auto v = model::ParseNumber(fields[i]);
            if (!v) {
                return false;
            }
            args.Values[i - 2] = *v;
        }
        return true;
    }
    case EditArgKind::TexturePair:
        if (fields.size() != 2 || fields[0].empty() || fields[1].empty()) {
            return false;
        }
        args.Textures = {std::string(fields[0]), std::string(fields[1])};
        return true;
    }
    return false;
}

// ---- The operations ------------------------------------------------------------------------

// On the command line a selection is a step like any other, so that undoing every operation
// gives back the selection the file was opened with (the writer saves selected vertices).
// A selection command that finds nothing to change is no step.
Change SelectionStep(Workspace& ws, edit::Recorder& rec,
                     edit::Change (*command)(model::ModelStore&, model::UserInterface&)) {
    const model::ModelStore& m = ws.Model;
    const std::vector<model::Bool16> before(m.VertSel.Row(-1), m.VertSel.Row(m.VertSel.Rows()));
    rec.Counts();
    command(ws.Model, ws.Ui);
    const bool same = std::equal(before.begin(), before.end(), m.VertSel.Row(-1));
    return same ? kNoChange : Change(Change::Selection);
}

// The same for the polygon selection.
Change PolygonSelectionStep(Workspace& ws, edit::Recorder& rec,
                            edit::Change (*command)(model::ModelStore&, model::UserInterface&)) {
    const model::ModelStore& m = ws.Model;
    const std::vector<model::Bool16> before(m.PolySel.Row(-1), m.PolySel.Row(m.PolySel.Rows()));
    rec.Counts();
    command(ws.Model, ws.Ui);
    const bool same = std::equal(before.begin(), before.end(), m.PolySel.Row(-1));
    return same ? kNoChange : Change(Change::Selection);
}

Change SelectAll(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return SelectionStep(ws, rec, &edit::SelectAllVertices);
}

Change DeselectAll(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return SelectionStep(ws, rec, &edit::DeselectAllVertices);
}

// Adds the listed vertices to the selection; a number that is no vertex refuses the whole list.
Change SelectVertices(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    model::ModelStore& m = ws.Model;
    for (const VertexRange& r : args.Ranges) {
        if (!model::IsVertex(m, r.Last)) {
            const int missing = model::IsVertex(m, r.First) ? model::UsedVertices(m) : r.First;
            ws.Ui.ShowMessage("Select Vertices", "Vertex " + std::to_string(missing) + " doesn't exist ! ",
                              model::MessageIcon::Warning, model::MessageButtons::Ok);
            return kNoChange;
        }
    }
    rec.Counts();
    bool changed = false;
    for (const VertexRange& r : args.Ranges) {
        changed = changed || std::any_of(m.VertSel.Row(r.First), m.VertSel.Row(r.Last) + 1,
                                         [](model::Bool16 b) { return b == model::kFalse; });
        std::fill(m.VertSel.Row(r.First), m.VertSel.Row(r.Last) + 1, model::kTrue);
    }
    return changed ? Change(Change::Selection) : kNoChange;
}

Change SelectAllPolygons(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return PolygonSelectionStep(ws, rec, &edit::SelectAllPolys);
}

// Adds the listed polygons to the selection; a number that is no polygon refuses the whole list.
Change SelectPolygons(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    model::ModelStore& m = ws.Model;
    for (const VertexRange& r : args.Ranges) {
        if (!model::IsPolygon(m, r.Last)) {
            const int missing = model::IsPolygon(m, r.First) ? model::UsedPolygons(m) : r.First;
            ws.Ui.ShowMessage("Select Polygons", "Polygon " + std::to_string(missing) + " doesn't exist ! ",
                              model::MessageIcon::Warning, model::MessageButtons::Ok);
            return kNoChange;
        }
    }
    rec.Counts();
    bool changed = false;
    for (const VertexRange& r : args.Ranges) {
        changed = changed || std::any_of(m.PolySel.Row(r.First), m.PolySel.Row(r.Last) + 1,
                                         [](model::Bool16 b) { return b == model::kFalse; });
        std::fill(m.PolySel.Row(r.First), m.PolySel.Row(r.Last) + 1, model::kTrue);
    }
    return changed ? Change(Change::Selection) : kNoChange;
}

Change Weld(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    return edit::WeldVertices(ws.Model, rec, ws.Ui, args.Values[0]);
}

Change Join(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    return edit::JoinVertices(ws.Model, rec, ws.Ui, args.Values[0]);
}

Change DeleteUnused(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::DeleteUnusedVertices(ws.Model, rec);
}

// "Goto #" then "Delete"; a refused delete leaves the cursor where it was.
Change DeleteVertex(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    model::ModelStore& m = ws.Model;
    const std::int32_t before = m.CurVert;
    const Change moved = edit::GotoVertex(m, ws.Ui, args.Values[0], args.Text);
    if (!moved.Any()) {
        return kNoChange;
    }
    const Change deleted = edit::DeleteVertex(m, rec, ws.Ui);
    if (!deleted.Any()) {
        m.CurVert = before;
    }
    return deleted;
}

// "Goto #" then "Delete" of the polygon menu; a refused goto leaves everything as it was.
Change DeletePolygon(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    model::ModelStore& m = ws.Model;
    const std::int32_t poly = m.CurPoly, corner = m.CurCorner, edge = m.CurEdge;
    if (!edit::GotoPolygon(m, ws.Ui, args.Values[0], args.Text).Any()) {
        return kNoChange;
    }
    const Change deleted = edit::DeletePolygon(m, rec, m.CurPoly);
    if (!deleted.Any()) {
        m.CurPoly = poly;
        m.CurCorner = corner;
        m.CurEdge = edge;
    }
    return deleted;
}

Change DeleteSelectedPolygons(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::DeleteSelectedPolygons(ws.Model, rec, ws.Ui);
}

Change Flip(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::FlipSelectedPolygons(ws.Model, rec);
}

Change SplitTriangles(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::SplitSelectedPolygons(ws.Model, rec, ws.Ui);
}

Change MergeQuads(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::MergeTrianglesToQuads(ws.Model, rec, ws.Ui);
}

Change RemoveWrong(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::RemoveWrongPolygons(ws.Model, rec, ws.Ui);
}

Change CopyBackside(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::CopyToBackside(ws.Model, rec, ws.Ui);
}

Change MirrorTexture(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::MirrorSelectedTextures(ws.Model, rec);
}

Change RotateTexture(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::RotateSelectedTextures(ws.Model, rec);
}

// N is the value of the sixteen type bits, as a signed or an unsigned 16-bit number.
Change SetType(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    const double n = args.Values[0];
    if (n != std::floor(n) || n < -32768 || n > 65535) {
        ws.Ui.ShowMessage("Set Surface Type", "Surface type must be a whole number from -32768 to 65535 !",
                          model::MessageIcon::Warning, model::MessageButtons::Ok);
        return kNoChange;
    }
    edit::SurfaceSettings s;
    s.Type = edit::SurfaceTypeFromBits(static_cast<std::uint16_t>(static_cast<std::int32_t>(n) & 0xFFFF));
    return edit::SetSurface(ws.Model, rec, s);
}

Change SetColour(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    edit::SurfaceSettings s;
    s.Colour = args.Colour;
    return edit::SetSurface(ws.Model, rec, s);
}

Change SnapGrid(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    return edit::SnapToGrid(ws.Model, rec, ws.Ui, args.Values[0]);
}

Change SnapPosition(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    return edit::SnapToPosition(ws.Model, rec, args.Values, args.Axes);
}

Change MoveTo(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    model::ModelStore& m = ws.Model;
    if (!edit::ComputeSelectionBox(m)) {
        return kNoChange; // nothing selected
    }
    return edit::MoveGroupToPosition(m, rec, m.Selection.SelCenter, args.Values, {true, true, true});
}

Change Translate(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    return edit::Translate(ws.Model, rec, args.Values, edit::Affected::Selected);
}

Change Rotate(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    return edit::Rotate(ws.Model, rec, args.Values, ws.Tools.AboutCentre);
}

Change Resize(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    return edit::Resize(ws.Model, rec, args.Values, edit::Affected::Selected);
}

// A texture named on the command line: a texture name of the model, or else an index; the
// message names what is missing.
std::optional<std::int32_t> FindTexture(Workspace& ws, std::string_view title, const std::string& text) {
    const model::ModelStore& m = ws.Model;
    for (std::int32_t t = 0; t < m.TexCount; ++t) {
        if (m.TexName[t] == text) {
            return t;
        }
    }
    const auto index = ParseCount(text);
    if (index && *index < m.TexCount) {
        return *index;
    }
    ws.Ui.ShowMessage(title, "Texture " + text + " doesn't exist ! ", model::MessageIcon::Warning,
                      model::MessageButtons::Ok);
    return std::nullopt;
}

// OK of the mapping window after the direction button, with the zoom and centre given.
Change MapPlanar(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    const auto tex = FindTexture(ws, "Map Polygon Group to Texture", args.Textures[0]);
    if (!tex) {
        return kNoChange;
    }
    edit::PlanarView view =
        edit::DirectionView(static_cast<edit::MapDirection>(args.Direction), args.Values[1], args.Values[2]);
    view.Zoom = static_cast<float>(args.Values[0]);
    // A texture that is not loaded has the size the texture list shows for it.
    const int w = ws.Textures.TexW[*tex], h = ws.Textures.TexH[*tex];
    const bool loaded = w > 0 && h > 0;
    return edit::MapSelectedPlanar(ws.Model, rec, view, *tex, loaded ? w : textures::kUnloadedSize,
                                   loaded ? h : textures::kUnloadedSize);
}

Change ReplaceTexture(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    const auto from = FindTexture(ws, "Replace texture", args.Textures[0]);
    const auto to = from ? FindTexture(ws, "Replace texture", args.Textures[1]) : std::nullopt;
    return to ? edit::ReplaceTexture(ws.Model, rec, *from, *to) : kNoChange;
}

Change WetTransparency(Workspace& ws, edit::Recorder& rec, const EditArgs&) {
    return edit::WetSurfaceTransparency(ws.Model, rec);
}

// "Copy U/V" with polygon N as the current polygon; a number that is no polygon is refused.
Change CopyUvFrom(Workspace& ws, edit::Recorder& rec, const EditArgs& args) {
    const double n = args.Values[0];
    if (n != std::floor(n) ||
        !model::IsPolygon(ws.Model, static_cast<std::int32_t>(std::clamp(n, -1.0, 1e9)))) {
        ws.Ui.ShowMessage("Copy U/V", "Polygon " + args.Text + " doesn't exist ! ",
                          model::MessageIcon::Warning, model::MessageButtons::Ok);
        return kNoChange;
    }
    return edit::CopyUvToSelected(ws.Model, rec, static_cast<std::int32_t>(n));
}

// Undoes or redoes args.Count steps, or refuses when fewer are there.
template <bool Forward> Change Travel(Workspace& ws, edit::Recorder&, const EditArgs& args) {
    const int available = Forward ? ws.History.RedoCount() : ws.History.UndoCount();
    if (available < args.Count) {
        ws.Ui.ShowMessage(Forward ? "Redo" : "Undo",
                          "Only " + std::to_string(available) + " step(s) to " + (Forward ? "redo" : "undo") +
                              " !",
                          model::MessageIcon::Warning, model::MessageButtons::Ok);
        return kNoChange;
    }
    Change changed;
    for (int i = 0; i < args.Count; ++i) {
        changed |= Forward ? Redo(ws) : Undo(ws);
    }
    return changed;
}

constexpr EditOperationInfo kOperations[] = {
    {"--select-all", "", "select every vertex", "Select All", EditArgKind::None, SelectAll},
    {"--select-vertices", "LIST", "add vertices to the selection (LIST: 0,4,7-9)", "Select Vertices",
     EditArgKind::VertexList, SelectVertices},
    {"--deselect-all", "", "deselect every vertex", "Deselect All", EditArgKind::None, DeselectAll},
    {"--weld", "T", "weld selected vertices closer than T on each axis", "Weld", EditArgKind::Number, Weld},
    {"--join", "T", "join selected vertices closer than T on each axis", "Join", EditArgKind::Number, Join},
    {"--delete-unused", "", "delete every vertex no polygon uses", "Delete All Unused", EditArgKind::None,
     DeleteUnused},
    {"--delete-vertex", "N", "delete vertex N (refused while a polygon uses it)", "Delete Vertex",
     EditArgKind::Number, DeleteVertex},
    {"--snap-grid", "G", "snap selected vertices to the grid of size G", "Snap to Grid", EditArgKind::Number,
     SnapGrid},
    {"--snap-position", "X,Y,Z[,MASK]", "set the axes in MASK (xyz, or bits 1 2 4) of selected vertices",
     "Snap to Position", EditArgKind::VectorAndMask, SnapPosition},
    {"--move-to", "X,Y,Z", "move the selection so that its centre lands on X,Y,Z", "Move Group to Position",
     EditArgKind::Vector, MoveTo},
    {"--translate", "X,Y,Z", "move selected vertices by X,Y,Z", "Translate", EditArgKind::Vector, Translate},
    {"--rotate", "X,Y,Z", "turn selected vertices by X, Y, Z degrees about the selection centre", "Rotate",
     EditArgKind::Vector, Rotate},
    {"--resize", "FX,FY,FZ", "scale selected vertices about the origin", "Resize", EditArgKind::Vector,
     Resize},
    {"--select-polygons", "LIST", "add polygons to the selection (LIST: 0,4,7-9)", "Select Polygons",
     EditArgKind::PolygonList, SelectPolygons},
    {"--select-all-polygons", "", "select every polygon", "Select All Polygons", EditArgKind::None,
     SelectAllPolygons},
    {"--delete-polygon", "N", "delete polygon N", "Delete Polygon", EditArgKind::Number, DeletePolygon},
    {"--delete-selected-polygons", "", "delete every selected polygon", "Delete All Selected",
     EditArgKind::None, DeleteSelectedPolygons},
    {"--flip", "", "turn selected polygons to face the other way", "Flip", EditArgKind::None, Flip},
    {"--split-triangles", "", "split selected triangles and quads into triangles", "Split to Triangles",
     EditArgKind::None, SplitTriangles},
    {"--merge-quads", "", "merge selected triangle pairs into quads", "Merge Triangles to Quads",
     EditArgKind::None, MergeQuads},
    {"--remove-wrong", "", "delete polygons with repeated corners", "Remove Wrong", EditArgKind::None,
     RemoveWrong},
    {"--copy-backside", "", "add a copy facing the other way of each selected polygon", "Copy to Backside",
     EditArgKind::None, CopyBackside},
    {"--mirror-texture", "", "mirror the texture coordinates of selected polygons", "Mirror Texture",
     EditArgKind::None, MirrorTexture},
    {"--rotate-texture", "", "rotate the texture coordinates of selected polygons", "Rotate Texture",
     EditArgKind::None, RotateTexture},
    {"--set-type", "N", "set the surface type bits of selected polygons", "Set Surface Type",
     EditArgKind::Number, SetType},
    {"--set-color", "R,G,B,A", "set the colour of selected polygons (0 .. 255 each)", "Set Surface Color",
     EditArgKind::Colour, SetColour},
    {"--map-planar", "DIR,TEX[,ZOOM[,CX,CY]]",
     "map selected polygons onto TEX seen from DIR (x -x y -y z -z)", "Map Polygon Group to Texture",
     EditArgKind::Mapping, MapPlanar},
    {"--replace-texture", "OLD,NEW", "give selected polygons of texture OLD texture NEW (names or indices)",
     "Replace Texture", EditArgKind::TexturePair, ReplaceTexture},
    {"--wet-transparency", "", "make selected polygons facing up (within 6 degrees) see-through",
     "Calc/Set Wet Surface Transparency", EditArgKind::None, WetTransparency},
    {"--copy-uv-from", "N", "copy the texture coordinates of polygon N to the selected polygons", "Copy U/V",
     EditArgKind::Number, CopyUvFrom},
    {"--undo", "[N]", "undo the last N steps (default 1)", nullptr, EditArgKind::OptionalCount,
     Travel<false>},
    {"--redo", "[N]", "redo N undone steps (default 1)", nullptr, EditArgKind::OptionalCount, Travel<true>},
};

} // namespace

std::span<const EditOperationInfo> EditOperations() {
    return kOperations;
}

const EditOperationInfo* FindEditOperation(std::string_view flag) {
    const auto it = std::find_if(std::begin(kOperations), std::end(kOperations),
                                 [&](const EditOperationInfo& op) { return flag == op.Flag; });
    return it == std::end(kOperations) ? nullptr : &*it;
}

ParsedEdits ParseEditOperations(std::span<const std::string> args) {
    ParsedEdits parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        EditOperation op{FindEditOperation(args[i]), {}};
        if (op.Info == nullptr) {
            parsed.Error = "unknown operation '" + args[i] + "'";
            return parsed;
        }
        const std::string flag = op.Info->Flag;
        if (op.Info->Arg == EditArgKind::OptionalCount) {
            if (i + 1 < args.size() && IsPlainCount(args[i + 1])) {
                const auto n = ParseCount(args[++i]);
                if (!n) {
                    parsed.Error = flag + " N: '" + args[i] + "' is too large";
                    return parsed;
                }
                op.Args.Text = args[i];
                op.Args.Count = *n;
            }
        } else if (op.Info->Arg != EditArgKind::None) {
            if (i + 1 >= args.size()) {
                parsed.Error = flag + " needs " + op.Info->Usage;
                return parsed;
            }
            if (!ParseArgument(op.Info->Arg, args[++i], op.Args)) {
                parsed.Error = flag + " " + op.Info->Usage + ": cannot read '" + args[i] + "'";
                return parsed;
            }
        }
        parsed.Operations.push_back(std::move(op));
    }
    return parsed;
}

Change RunEditOperation(Workspace& ws, const EditOperation& op) {
    const EditOperationInfo& info = *op.Info;
    if (info.StepName == nullptr) {
        edit::Recorder none;
        return info.Apply(ws, none, op.Args);
    }
    return RunStep(ws, info.StepName, [&](edit::Recorder& rec) { return info.Apply(ws, rec, op.Args); });
}

} // namespace zv
