#pragma once
// The OpenGL 3D view: camera, OpenGL state switches, the numbered display lists and one
// frame's rendering, in plain OpenGL 1.1 and GLU. Every member that calls OpenGL needs the
// view's context to be current; the host window creates it and swaps the buffers.

#include "config/Settings.h"
#include "model/Capacities.h"
#include "model/ModelStore.h"
#include "render/gl/ViewRules.h"
#include "textures/TextureTable.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace zv::render::gl {

// Numbers of the display lists.
enum ListId : unsigned {
    kAxisList = 1,
    kGridList = 2,
    kFloorList = 3,
    kCameraMarkerList = 4,
    kSceneCamerasList = 5,
    kModelList = 11,
    kCurPolyList = 12,
    kVertexPointsList = 13,
    kWaypointList = 20,
};

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
    // True when list 20 holds waypoints and is to be drawn.
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

    // Rebuilds list 11 (the model in s.RenderType) and then list 13 (the vertex points, the
    // unselected ones only when showVertexPoints).
    void BuildModelList(const model::ModelStore& m, const config::Settings& s,
                        const textures::TextureTable& tex, bool showVertexPoints);

    // Rebuilds list 12, the outline of the current polygon.
    void BuildCurPolyList(const model::ModelStore& m);

    // Renders one frame into the current buffer; does not swap.
    void Display(const config::Settings& s);

    // One auto-rotation tick: GLYaw + 1, 0 at 360 or more. The caller redraws.
    void RotationTick();

    // "Rese&t": the camera's start values. The caller rebuilds lists 12 and 11 and redraws.
    void ResetCamera();

    // The draw-mode command: RenderType 0 → 1 → 2 → 0. The caller rebuilds and redraws.
    static void CycleRenderType(config::Settings& s);

    // Sets one OpenGL state menu item and applies it. The caller redraws.
    void SetGlSwitch(GlSwitch which, bool on);
    // Check mark of one OpenGL state menu item; after InitGLState only depth test and blending.
    bool GlSwitchOn(GlSwitch which) const;

    // Creates texture t's texture object from width × height RGBA pixels, first row at v = 0,
    // replacing one made before. Returns false and changes nothing when t
    // is outside the texture table, a size is not positive or rgba is null.
    bool UploadTexture(int t, int width, int height, const std::uint8_t* rgba);
    // The same from a buffer; also false when it holds fewer than width × height × 4 bytes.
    bool UploadTexture(int t, int width, int height, std::span<const std::uint8_t> rgba);

    // Deletes every texture object, then gives slot 0 the default image again so that failed
    // textures keep something to draw with.
    void ReleaseTextures();

    // Texture object of slot t, 0 when none.
    unsigned TexGL(int t) const;

private:
    void ApplyGlSwitch(GlSwitch which, bool on);
    void BuildStaticLists(const config::Settings& s);
    void BuildVertexPointsList(const model::ModelStore& m, bool showVertexPoints);
    void UploadDefaultTexture();

    std::array<unsigned, model::kTextureCapacity> texGL_{};
    std::array<bool, 8> glSwitches_{};
    int cameraSpin_ = 0;
    bool initialised_ = false;
};

} // namespace zv::render::gl
