#include "app/Toolbars.h"

namespace zv::app {
namespace {

constexpr ButtonKind kMode = ButtonKind::Mode;
constexpr ButtonKind kOption = ButtonKind::Option;

ToolButtonDef Gap() { return {"", {}, ButtonKind::Separator}; }

} // namespace

const std::vector<ToolbarDef>& MainToolbars() {
    static const std::vector<ToolbarDef> bars{
        {"Toolbar1",
         {{"openbin", "Open model"},
          {"save_model", "Save model as"},
          Gap(),
          {"view_mode", "Camera Mode", kMode},
          {"edit_vertex", "Edit Mode", kMode},
          {"edit_poly", {}, kMode},
          {"edit_part", {}, kMode},
          {"edit_wp", "Edit Waypoint Mode", kMode},
          Gap(),
          {"toggle_vert", "Transform only selected Vertices", kOption},
          {"toggle_centertransform", "Transform on selected center", kOption},
          {"translate", "Translate", kOption},
          {"scale", "Scale", kOption},
          {"rotate", "Rotate", kOption},
          Gap(),
          {"resetview", "Reset view to axis"},
          {"reset_extents", "Center view to extents"},
          {"reset_selection", "Center view to selection"},
          {"view_reset_rot", "Reset View Rotation"},
          {"view1_orient", "Window1 View Direction"},
          {"drawmode", "OpenGL Draw Mode"}}},
        {"Toolbar2", {{"Edit", {}, kMode}, {"Draw", {}, kMode}}},
        {"Toolbar3",
         {{"SelectVertices", "Select vertices", kMode},
          {"SelectPolygons", "Select polygons", kMode},
          {"SelectAllPolygons", "Select polygons facing to screen+polys facing away from screen", kOption},
          {"vertex_mark", "Select corr. vertices when selecting polygroups", kOption},
          {"poly_mark", "Select corr. polys when selecting vertices", kOption}}},
        {"Toolbar4",
         {{"edit_vert", {}, kMode}, {"create_vert", {}, kMode}, {"create_poly", {}, kMode}, {"create_part", {}, kMode}}},
    };
    return bars;
}

} // namespace zv::app
