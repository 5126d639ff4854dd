#include "app/Toolbars.h"

namespace zv::app {
namespace {

constexpr ButtonKind kMode = ButtonKind::Mode;
constexpr ButtonKind kOption = ButtonKind::Option;

ToolButtonDef Gap() {
    return {"", "", {}, ButtonKind::Separator};
}

} // namespace

const std::vector<ToolbarDef>& MainToolbars() {
    static const std::vector<ToolbarDef> bars{
        {"Toolbar1",
         {{"openbin", "Open", "Open model"},
          {"save_model", "Save", "Save model as"},
          {"undo", "Undo", "Undo"},
          {"redo", "Redo", "Redo"},
          Gap(),
          {"view_mode", "Camera", "Camera Mode", kMode},
          {"edit_vertex", "Edit", "Edit Mode", kMode},
          {"edit_poly", "Polygon", {}, kMode},
          {"edit_part", "Part", {}, kMode},
          {"edit_wp", "Waypoint", "Edit Waypoint Mode", kMode},
          Gap(),
          {"toggle_vert", "Sel. only", "Transform only selected Vertices", kOption},
          {"toggle_centertransform", "Sel. centre", "Transform on selected center", kOption},
          {"translate", "Move", "Translate", kOption},
          {"scale", "Scale", "Scale", kOption},
          {"rotate", "Rotate", "Rotate", kOption},
          Gap(),
          {"resetview", "Axis", "Reset view to axis"},
          {"reset_extents", "Extents", "Center view to extents"},
          {"reset_selection", "Selection", "Center view to selection"},
          {"view_reset_rot", "Rotation", "Reset View Rotation"},
          {"view1_orient", "Direction", "Window1 View Direction"},
          {"drawmode", "Draw mode", "OpenGL Draw Mode"}}},
        {"Toolbar2", {{"Edit", "Edit path", {}, kMode}, {"Draw", "Draw path", {}, kMode}}},
        {"Toolbar3",
         {{"SelectVertices", "Vertices", "Select vertices", kMode},
          {"SelectPolygons", "Polygons", "Select polygons", kMode},
          {"SelectAllPolygons", "Back faces",
           "Select polygons facing to screen+polys facing away from screen", kOption},
          {"vertex_mark", "+Vertices", "Select corr. vertices when selecting polygroups", kOption},
          {"poly_mark", "+Polygons", "Select corr. polys when selecting vertices", kOption}}},
        {"Toolbar4",
         {{"edit_vert", "Select", {}, kMode},
          {"create_vert", "New vertex", {}, kMode},
          {"create_poly", "New polygon", {}, kMode},
          {"create_part", "Track builder", {}, kMode}}},
    };
    return bars;
}

} // namespace zv::app
