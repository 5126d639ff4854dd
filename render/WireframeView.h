#pragma once
// The orthographic wireframe view: its state, the projection of model points, the in-view and
// facing-away flags each redraw leaves in the view, and the drawing itself.
//
// The view works in device pixels throughout: projected positions, the centre offset and the
// view size are pixels, and the zoom is pixels per model unit.

#include "config/Settings.h"
#include "model/Capacities.h"
#include "model/ModelStore.h"
#include "model/Tables.h"
#include "render/Canvas.h"

#include <cstdint>
#include <string_view>

namespace zv::render {

class Overlays;

// Flag values. Shown (1) is the model's, kept in VertFlag / PolyFlag by the part code; in view
// (2) and facing away (4) are the view's, rewritten by each redraw in VertView / PolyView.
inline constexpr std::uint8_t kFlagShown = 1;
inline constexpr std::uint8_t kFlagInView = 2;
inline constexpr std::uint8_t kFlagFacingAway = 4;

// Start-up zoom: 500 logical units per model unit at 15 logical units per pixel.
inline constexpr float kDefaultZoom = 500.0f / 15.0f;

struct ScreenPos {
    float X = 0;
    float Y = 0;
    float Z = 0; // depth
};

struct WireframeView {
    float ViewZoom = kDefaultZoom;
    float ViewRotX = 0;
    float ViewRotY = 270;
    float ViewCenterX = 0;
    float ViewCenterY = 0;
    float ViewCenterZ = 0;
    std::int32_t ViewOffX = 0;
    std::int32_t ViewOffY = 0;
    float ViewWidth = 0;
    float ViewHeight = 0;
    std::int16_t ViewOrient = 0;
    bool AltCamera = false;
    bool CullPolys = true;
    bool ShowVertices = false;
    bool ShowGroupNames = false;
    // Projected position of each vertex, valid after a redraw.
    model::Table<ScreenPos> ScrVert{model::kVertexCapacity};
    // In view (vertices) and in view, facing away (polygons), valid after a redraw. They live
    // here rather than in the store so that drawing never changes the document.
    model::FlagTable<std::uint8_t> VertView{model::kVertexCapacity};
    model::FlagTable<std::uint8_t> PolyView{model::kPolygonCapacity};
};

// The shown flag of vertex i from the model and the in-view flag from the last redraw, in one
// value with the bits above.
inline std::uint8_t VertexFlags(const WireframeView& view, const model::ModelStore& m, int i) {
    return static_cast<std::uint8_t>((m.VertFlag[i] & kFlagShown) | view.VertView[i]);
}

// The same for polygon p: shown, in view and facing away.
inline std::uint8_t PolygonFlags(const WireframeView& view, const model::ModelStore& m, int p) {
    return static_cast<std::uint8_t>((m.PolyFlag[p] & kFlagShown) | view.PolyView[p]);
}

// One row of the orientation table.
struct OrientationInfo {
    std::string_view Caption;
    float RotX;
    float RotY;
    std::string_view HorizontalLabel; // coordinate read-out of the screen's horizontal axis
    std::string_view VerticalLabel;
};

// The row of orientation 0 .. 5; any other value gives row 0.
const OrientationInfo& Orientation(int orient);

// Sets ViewOrient and both angles from the orientation table; a value outside 0 .. 5 becomes 0.
void SetOrientation(WireframeView& view, int orient);

// The start-up state: zoom kDefaultZoom, centre at the origin, culling on, the angles of the
// configured orientation (View1_orient). Offsets, size and display switches stay.
void ResetView(WireframeView& view, const config::Settings& settings);

// The view's projection with its sines, cosines and centre terms worked out once, for the
// per-vertex loops.
class Projection {
public:
    explicit Projection(const WireframeView& view);
    ScreenPos operator()(const model::VertRec& p) const;

private:
    float cosA_, sinA_, cosB_, sinB_, zoom_;
    float offX_, offY_;
    float addX_, addY_;        // centre terms added after the rotation (fixed camera)
    float subX_, subY_, subZ_; // centre subtracted before the rotation (alternate camera)
};

// The screen position of one model point as the view shows it (for the overlays too).
ScreenPos Project(const WireframeView& view, const model::VertRec& p);

// The facing test on three screen positions (y grows downwards): true when the polygon faces
// away; degenerate triangles face the viewer.
bool FacesAway(const ScreenPos& p0, const ScreenPos& p1, const ScreenPos& p2);

// A logical coordinate as a device pixel: nearest integer, halves to even, clamped to the
// int32 range (NaN gives 0).
std::int32_t ToPixel(float logical);

// Projects every vertex into ScrVert and rewrites VertView (in view) and PolyView (in view,
// facing away) for every vertex and polygon of the model, which it only reads. A polygon with
// no corners or a corner that is not a vertex of the model is not in view; one with fewer than
// three usable corners faces the viewer.
void ProjectAndFlag(WireframeView& view, const model::ModelStore& m, const config::Settings& settings);

// The whole redraw: clear, project and flag, outlines, vertex marks, current vertex, overlays
// (may be null), part names, refresh.
void DrawView1(WireframeView& view, const model::ModelStore& m, const config::Settings& settings,
               Canvas& canvas, Overlays* overlays = nullptr);

// Draws the label of every checked part with at least one polygon at the mean position of
// its polygons' first corners, then refreshes. Uses ScrVert as the last redraw left it.
void DrawGroupNames(const WireframeView& view, const model::ModelStore& m, const config::Settings& settings,
                    Canvas& canvas);

} // namespace zv::render
