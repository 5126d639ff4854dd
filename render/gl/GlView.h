#pragma once
// The OpenGL 3D view: camera, OpenGL state switches, the numbered display lists, the draw lists
// of the model and one frame's rendering, in plain OpenGL 1.1 and GLU. Every member that calls
// OpenGL needs the view's context to be current; the host window creates it and swaps the
// buffers.

#include "config/Settings.h"
#include "model/Capacities.h"
#include "model/ModelStore.h"
#include "render/gl/DrawList.h"
#include "render/gl/ViewRules.h"
#include "textures/TextureTable.h"
#include "waypoints/Waypoints.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace zv::render::gl {

// Numbers of the display lists. The model, the current polygon and the vertex points (once
// lists 11, 12 and 13) are DrawLists: rebuilt with every change, they must be quick to record.
enum ListId : unsigned {
    kAxisList = 1,
    kGridList = 2,
    kFloorList = 3,
    kCameraMarkerList = 4,
    kSceneCamerasList = 5,
    kWaypointList = 20,
    // Lists 21 and up: one sphere per radius that list 20 uses (kMaxSphereLists at most).
    kSphereListBase = 21,
};
inline constexpr unsigned kMaxSphereLists = 16;

// Items of the OpenGL state menu; each one switches one piece of OpenGL state.
enum class GlSwitch { Fog, DepthTest, Normalize, AutoNormal, Dither, Smooth, AlphaTest, Blend };

// Check marks of the OpenGL view menu that live with the view ("Show &Axis" and "Show &Grid"
// are the settings ViewAxis and ViewGrid).
struct ViewSwitches {
    bool ShowEdges = false;
    bool ShowFloor = false;
    bool Rotate = false;
    bool DisplayCameras = false;
    bool FollowWaypoints = false;
};

// Eye and target in model coordinates for following the waypoints.
struct LookAt {
    model::VertRec Eye;
    model::VertRec Target;
};

// A dummy object in the track overlay: its model position and whether it is selected.
struct TrackMark {
    model::VertRec At;
    bool Selected = false;
};

// Side length of the default texture image (the texture preview size).
inline constexpr int kDefaultTextureSize = 32;

class GlView {
public:
    Camera Cam;
    int GLColorMode = 1;
    ViewSwitches Switches;

    // While following waypoints, gives the look-at of the current waypoint, or nothing when no
    // current waypoint exists (then the scene is drawn untransformed). Unset: never follows.
    std::function<std::optional<LookAt>()> FollowProvider;
    // True when list 20 holds waypoints or slots and is to be drawn.
    bool WaypointsExist = false;

    // Fixed state in its fixed order, viewport and projection for a width × height view,
    // lists 1 to 4, empty lists 5 and 20 and the default texture of slot 0.
    void InitGLState(const config::Settings& s, int width, int height);

    // Background colour from View4_BackColor and View4_Brightness.
    void SetClearColor(const config::Settings& s);

    // Viewport and perspective projection (FieldOfView, width / height, 0.5, 5000); a height
    // below 1 counts as 1.
    void SetViewport(const config::Settings& s, int width, int height);

    // Rebuilds the floor grid (list 2) from the grid settings. A step that is not positive
    // draws no lines in its direction.
    void BuildGridList(const config::Settings& s);

    // Rebuilds list 5: one camera marker per position, all turned by a spin angle that
    // advances by 45 degrees with every build.
    void BuildCameraList(std::span<const model::VertRec> cameras);

    // Rebuilds the model list (the model in s.RenderType: one draw per run of triangles or
    // quads, all outlines as one run of lines) and then the vertex-point list.
    void BuildModelList(const model::ModelStore& m, const config::Settings& s,
                        const textures::TextureTable& tex, bool showVertexPoints);

    // Rebuilds the current-polygon list, its outline.
    void BuildCurPolyList(const model::ModelStore& m);

    // Rebuilds the vertex-point list alone: the selected vertices, and the others when
    // showVertexPoints, at the point size of the camera distance.
    void BuildVertexPointsList(const model::ModelStore& m, bool showVertexPoints);

    // The model, current-polygon and vertex-point lists no longer show the model (the model,
    // the selection, the draw mode, the textures or the edge switch changed): the next
    // BuildStaleLists rebuilds them. A host marks on every change and builds once, just before
    // it draws, so changes between two frames cost one build and a hidden view none. A new
    // context (InitGLState) starts with every list stale.
    void MarkListsStale() { listsStale_ = true; }
    // Only the vertex-point list is out of date (its point size follows the camera distance).
    void MarkPointListStale() { pointsStale_ = true; }
    bool ListsStale() const { return listsStale_ || pointsStale_ || waypointsStale_; }
    // Rebuilds what was marked since the last build, once however often it was marked.
    void BuildStaleLists(const model::ModelStore& m, const config::Settings& s,
                         const textures::TextureTable& tex, bool showVertexPoints);
    // Builds of the model list and of the vertex-point list so far (tests check that changes
    // coalesce).
    int ModelListBuilds() const { return modelBuilds_; }
    int PointListBuilds() const { return pointBuilds_; }

    // Rebuilds list 20 from the tables as the display switches ask: a sphere per waypoint and
    // two per slot, coloured and sized by role (waypoints::WaypointStyle). Sets WaypointsExist.
    void BuildWaypointList(const waypoints::WaypointTables& t, const waypoints::WaypointDisplay& d);
    // List 20 no longer shows the tables; BuildStaleWaypointList rebuilds it once. A new
    // context starts with it stale.
    void MarkWaypointListStale() { waypointsStale_ = true; }
    void BuildStaleWaypointList(const waypoints::WaypointTables& t, const waypoints::WaypointDisplay& d);
    int WaypointListBuilds() const { return waypointBuilds_; }

    // Rebuilds the track overlay: the path as one line through its points and every dummy object
    // as a small three-axis cross (the selected ones orange). Drawn with the model; nothing when
    // both are empty.
    void BuildTrackOverlay(std::span<const model::VertRec> path, std::span<const TrackMark> dummies);
    std::size_t TrackOverlayVertices() const { return trackList_.VertexCount(); }

    // Renders one frame into the current buffer; does not swap.
    void Display(const config::Settings& s);

    // One auto-rotation tick: GLYaw + 1, 0 at 360 or more. The caller redraws.
    void RotationTick();

    // "Rese&t": the camera's start values. The caller marks the lists stale and redraws.
    void ResetCamera();

    // The draw-mode command: RenderType 0 → 1 → 2 → 0. The caller marks the lists stale and
    // redraws.
    static void CycleRenderType(config::Settings& s);

    // Sets one OpenGL state menu item and applies it. The caller redraws.
    void SetGlSwitch(GlSwitch which, bool on);
    // Check mark of one OpenGL state menu item; after InitGLState only depth test and blending.
    bool GlSwitchOn(GlSwitch which) const;

    // Creates texture t's texture object from width × height RGBA pixels, first row at v = 0,
    // replacing one made before, and marks the lists stale. Returns false and changes nothing
    // when t is outside the texture table, a size is not positive or rgba is null.
    bool UploadTexture(int t, int width, int height, const std::uint8_t* rgba);
    // The same from a buffer; also false when it holds fewer than width × height × 4 bytes.
    bool UploadTexture(int t, int width, int height, std::span<const std::uint8_t> rgba);

    // Deletes every texture object, then gives slot 0 the default image again so that failed
    // textures keep something to draw with. Marks the lists stale.
    void ReleaseTextures();

    // Texture object of slot t, 0 when none.
    unsigned TexGL(int t) const;

private:
    void ApplyGlSwitch(GlSwitch which, bool on);
    void BuildStaticLists(const config::Settings& s);
    void UploadDefaultTexture();
    unsigned SphereList(float radius);

    std::array<unsigned, model::kTextureCapacity> texGL_{};
    DrawList modelList_;
    DrawList curPolyList_;
    DrawList pointList_;
    DrawList trackList_;
    std::array<bool, 8> glSwitches_{};
    int cameraSpin_ = 0;
    bool initialised_ = false;
    bool listsStale_ = true;
    bool pointsStale_ = true;
    int modelBuilds_ = 0;
    int pointBuilds_ = 0;
    bool waypointsStale_ = true;
    int waypointBuilds_ = 0;
    // One compiled sphere per radius of this context, so list 20 only places and colours them.
    std::vector<std::pair<float, unsigned>> spheres_;
};

// The follow camera of "Follow Waypoints (OpenGL)": from the current waypoint towards the next
// one by index (the first after the last), in model coordinates; nothing without a current
// waypoint.
std::optional<LookAt> FollowWaypointLook(const waypoints::WaypointTables& t);

} // namespace zv::render::gl
