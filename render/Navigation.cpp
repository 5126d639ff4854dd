#include "render/Navigation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zv::render {
namespace {

int DragKindOf(MouseButton b) {
    switch (b) {
    case MouseButton::Left:
        return kDragLeft;
    case MouseButton::Right:
        return kDragRight;
    case MouseButton::None:
    case MouseButton::Middle:
        break;
    }
    return kDragNone;
}

bool IsEditMode(ToolMode mode) {
    return mode == ToolMode::EditVertex || mode == ToolMode::EditWaypoint;
}

ClickAt ClickOf(const MouseEvent& e, bool isDouble) {
    return {e.Button, e.Mods, e.X, e.Y, isDouble};
}

int UsedVerts(const model::ModelStore& m) {
    return std::clamp(m.VertCount, 0, model::kVertexCapacity);
}

bool Finite(const model::VertRec& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z);
}

struct Box {
    model::VertRec Min{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                       std::numeric_limits<float>::max()};
    model::VertRec Max{std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                       std::numeric_limits<float>::lowest()};
    bool Any = false;
};

template <typename Wanted> Box BoundsOf(const model::ModelStore& m, Wanted wanted) {
    Box b;
    const int count = UsedVerts(m);
    for (int i = 0; i < count; ++i) {
        const model::VertRec& p = m.Vert[i];
        if (!wanted(i) || !Finite(p)) {
            continue;
        }
        b.Min = {std::min(b.Min.X, p.X), std::min(b.Min.Y, p.Y), std::min(b.Min.Z, p.Z)};
        b.Max = {std::max(b.Max.X, p.X), std::max(b.Max.Y, p.Y), std::max(b.Max.Z, p.Z)};
        b.Any = true;
    }
    return b;
}

// Zoom and offsets for the two shown extents. The zoom stays within its limits, so a huge
// model cannot make it 0; a view without area (hidden) keeps the zoom it has.
void Fit(WireframeView& view, float extentH, float extentV) {
    const float larger = std::max(extentH, extentV);
    const float side = std::min(view.ViewWidth, view.ViewHeight);
    if (side > 0) {
        view.ViewZoom = larger > 0 ? std::clamp(side / larger, kMinZoom, kMaxZoom) : kEmptyExtentZoom;
    }
    view.ViewOffX = ToPixel(view.ViewWidth / 2);
    view.ViewOffY = ToPixel(view.ViewHeight / 2);
}

ViewEffect Redrawn() {
    ViewEffect fx;
    fx.RedrawWireframe = true;
    return fx;
}

ViewEffect FitToBox(WireframeView& view, const Box& b) {
    const ShownAxes ax = AxesOf(view.ViewOrient);
    view.ViewCenterX = (b.Min.X + b.Max.X) / 2;
    view.ViewCenterY = (b.Min.Y + b.Max.Y) / 2;
    view.ViewCenterZ = (b.Min.Z + b.Max.Z) / 2;
    const float eh = (Component(b.Max, ax.Horizontal) - Component(b.Min, ax.Horizontal)) * 1.1f;
    const float ev = (Component(b.Max, ax.Vertical) - Component(b.Min, ax.Vertical)) * 1.1f;
    Fit(view, eh, ev);
    ViewEffect fx = Redrawn();
    fx.RefreshZoomLabel = true;
    return fx;
}

ViewEffect CameraMove(MouseState& ms, WireframeView& view, const MouseEvent& e) {
    const float dx = e.X - ms.DragLastX;
    const float dy = e.Y - ms.DragLastY;
    if (ms.DragKind == kDragLeft) {
        view.ViewRotY = WrapViewAngle(view.ViewRotY + dx / kPixelsPerDegree);
        view.ViewRotX = WrapViewAngle(view.ViewRotX + dy / kPixelsPerDegree);
    } else {
        const float s = view.ViewZoom;
        if (!(s > 0) || !std::isfinite(s)) {
            return {};
        }
        // The centre follows the read-out axes, so the model point under the cursor moves
        // the opposite way to the mouse.
        const ShownAxes ax = AxesOf(view.ViewOrient);
        CentreComponent(view, ax.Horizontal) += ax.HorizontalSign * dx / s;
        CentreComponent(view, ax.Vertical) += ax.VerticalSign * dy / s;
    }
    ms.DragLastX = e.X;
    ms.DragLastY = e.Y;
    return Redrawn();
}

} // namespace

float WrapViewAngle(float degrees) {
    if (std::isnan(degrees) || degrees > 359) {
        return 0;
    }
    return degrees < 0 ? 359.0f : degrees;
}

float ZoomStep(float zoom, bool zoomIn, bool fine) {
    if (std::isnan(zoom)) {
        return kDefaultZoom;
    }
    const float step = fine ? kFineZoomStep : kZoomStep;
    return zoomIn ? std::clamp(zoom * step, kMinZoom, kMaxZoom) : std::clamp(zoom / step, kMinZoom, kMaxZoom);
}

ViewEffect View1ButtonDown(MouseState& ms, WireframeView& view, const model::ModelStore& m, ToolMode mode,
                           const MouseEvent& e) {
    const int kind = DragKindOf(e.Button);
    if (kind == kDragNone) {
        return {};
    }
    ms.MouseX = ms.DragLastX = e.X;
    ms.MouseY = ms.DragLastY = e.Y;
    ms.DragKind = kind;
    ViewEffect fx;
    // A press of the other button ends a band without a release, so the band goes too (a new
    // band replaces it).
    fx.RemoveBand = ms.BandActive;
    ms.BandActive = false;
    if (!IsEditMode(mode)) {
        return fx;
    }
    if (kind == kDragRight) {
        ms.BandActive = true;
        fx.RemoveBand = false;
        fx.Band = NormaliseRect(e.X, e.Y, e.X, e.Y);
        return fx;
    }
    fx.Click = ClickOf(e, false);
    if (mode == ToolMode::EditVertex) {
        const int v = PickVertex(view, m, e.X, e.Y, ms.PickRadius);
        fx.PickedVertex = v;
        if (v >= 0) {
            fx.Status = VertexPickText(m, v);
        }
    }
    return fx;
}

ViewEffect View1Move(MouseState& ms, WireframeView& view, ToolMode mode, const MouseEvent& e) {
    ViewEffect fx;
    if (ms.BandActive) {
        fx.Band = NormaliseRect(ms.MouseX, ms.MouseY, e.X, e.Y);
        ms.DragLastX = e.X;
        ms.DragLastY = e.Y;
    } else if (ms.DragKind != kDragNone && !IsEditMode(mode)) {
        fx = CameraMove(ms, view, e);
    } else if (ms.DragKind == kDragLeft) {
        fx.Drag = DragStep{ms.DragLastX, ms.DragLastY, e.X, e.Y};
        ms.DragLastX = e.X;
        ms.DragLastY = e.Y;
    }
    ms.CursorModel = ScreenToModel(view, e.X, e.Y);
    fx.Readout = ReadOut(view, e.X, e.Y);
    return fx;
}

ViewEffect View1ButtonUp(MouseState& ms, WireframeView& view, ToolMode mode, const MouseEvent& e) {
    const int kind = ms.DragKind;
    const bool band = ms.BandActive;
    ms.DragKind = kDragNone;
    ms.BandActive = false;
    ViewEffect fx;
    if (band) {
        // A band released where it started selects nothing and is no click either.
        fx.RemoveBand = true;
        const PickRect r = NormaliseRect(ms.MouseX, ms.MouseY, e.X, e.Y);
        if (!r.Empty()) {
            fx.SelectRect = r;
        }
        return fx;
    }
    if (mode != ToolMode::Camera || kind == kDragNone || DragKindOf(e.Button) != kind || e.X != ms.MouseX ||
        e.Y != ms.MouseY) {
        return fx;
    }
    view.ViewZoom = ZoomStep(view.ViewZoom, kind == kDragLeft, e.Mods.Shift);
    fx.RedrawWireframe = true;
    fx.RefreshZoomLabel = true;
    return fx;
}

ViewEffect View1DoubleClick(MouseState& ms, WireframeView& view, const model::ModelStore& m, ToolMode mode,
                            const MouseEvent& e) {
    if (!IsEditMode(mode)) {
        // Quick clicks keep zooming: the second press arrives as the double click.
        return View1ButtonDown(ms, view, m, mode, e);
    }
    ViewEffect fx;
    fx.Click = ClickOf(e, true);
    if (mode == ToolMode::EditVertex) {
        fx.PickedVertex = PickVertex(view, m, e.X, e.Y, ms.PickRadius);
    }
    return fx;
}

// ---- OpenGL view ---------------------------------------------------------------------------

float GlDistStep(float glDist) {
    const float a = std::abs(glDist);
    if (a < 10) {
        return 0.01f;
    }
    return a < 150 ? 0.25f : 2.0f;
}

float WrapGlAngle(float degrees) {
    if (std::isnan(degrees) || degrees > 360) {
        return 0;
    }
    return degrees < 0 ? 360.0f : degrees;
}

ViewEffect GlButtonDown(MouseState& ms, const MouseEvent& e) {
    switch (e.Button) {
    case MouseButton::Left:
        ms.GLDragKind = kGlDragRotate;
        break;
    case MouseButton::Right:
        ms.GLDragKind = kGlDragZoom;
        break;
    case MouseButton::None:
    case MouseButton::Middle:
        return {};
    }
    ms.GLLastX = e.X;
    ms.GLLastY = e.Y;
    return {};
}

ViewEffect GlMove(MouseState& ms, gl::Camera& cam, const MouseEvent& e) {
    if (ms.GLDragKind == kGlDragNone) {
        return {};
    }
    const float dx = e.X - ms.GLLastX;
    const float dy = e.Y - ms.GLLastY;
    if (ms.GLDragKind == kGlDragRotate) {
        cam.GLYaw = WrapGlAngle(cam.GLYaw + dx);
        cam.GLPitch = WrapGlAngle(cam.GLPitch + dy);
    } else {
        const float next = cam.GLDist + dy * GlDistStep(cam.GLDist);
        cam.GLDist = std::isnan(next) ? gl::Camera{}.GLDist : std::clamp(next, -kMaxGlDist, kMaxGlDist);
    }
    ms.GLLastX = e.X;
    ms.GLLastY = e.Y;
    ViewEffect fx;
    fx.RedrawGl = true;
    return fx;
}

ViewEffect GlButtonUp(MouseState& ms, const MouseEvent&) {
    const int kind = ms.GLDragKind;
    ms.GLDragKind = kGlDragNone;
    ViewEffect fx;
    fx.RebuildPointList = kind == kGlDragZoom;
    fx.RedrawGl = kind != kGlDragNone;
    return fx;
}

// ---- View commands -------------------------------------------------------------------------

ViewEffect ResetViewToAxis(WireframeView& view, const model::ModelStore& m) {
    const ShownAxes ax = AxesOf(view.ViewOrient);
    float h = 0;
    float v = 0;
    const int count = UsedVerts(m);
    for (int i = 0; i < count; ++i) {
        const model::VertRec& p = m.Vert[i];
        if (Finite(p)) {
            h = std::max(h, std::abs(Component(p, ax.Horizontal)));
            v = std::max(v, std::abs(Component(p, ax.Vertical)));
        }
    }
    view.ViewCenterX = view.ViewCenterY = view.ViewCenterZ = 0;
    Fit(view, 2 * h, 2 * v);
    ViewEffect fx = Redrawn();
    fx.RefreshZoomLabel = true;
    return fx;
}

ViewEffect CenterToExtents(WireframeView& view, const model::ModelStore& m) {
    const Box b = BoundsOf(m, [](int) { return true; });
    return b.Any ? FitToBox(view, b) : ResetViewToAxis(view, m);
}

ViewEffect CenterToSelection(WireframeView& view, const model::ModelStore& m) {
    const Box b = BoundsOf(m, [&](int i) { return m.VertSel[i] != model::kFalse; });
    return b.Any ? FitToBox(view, b) : CenterToExtents(view, m);
}

ViewEffect ResetRotation(WireframeView& view) {
    const OrientationInfo& o = Orientation(view.ViewOrient);
    view.ViewRotX = o.RotX;
    view.ViewRotY = o.RotY;
    return Redrawn();
}

ViewEffect CycleOrientation(WireframeView& view) {
    const int next = view.ViewOrient >= 0 && view.ViewOrient < 5 ? view.ViewOrient + 1 : 0;
    SetOrientation(view, next);
    ViewEffect fx = Redrawn();
    fx.OrientationChanged = true;
    return fx;
}

} // namespace zv::render
