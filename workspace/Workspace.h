#pragma once
// The workspace owns every table and setting of one editing session; nothing lives in globals,
// so each test starts from a clean workspace.

#include "config/Settings.h"
#include "edit/History.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "render/WireframeView.h"
#include "textures/TextureTable.h"
#include "track/Dummies.h"
#include "track/Path.h"
#include "track/SceneFile.h"
#include "waypoints/Waypoints.h"

namespace zv {

// The working mode of the main toolbar's mode buttons.
enum class WorkMode { Camera, EditVertex, EditPolygon, EditPart, EditWaypoint };

// The edit sub-mode of the tool bar Toolbar4.
enum class SubMode { Select, CreateVertex, CreatePolygon, TrackBuilder };

// The transform switches and tools of the main toolbar.
struct TransformTools {
    bool SelectedOnly = false; // "toggle_vert": resize and translate act on the selection only
    bool AboutCentre = false;  // "toggle_centertransform": rotation about the selection centre
    enum class Tool { None, Translate, Scale, Rotate };
    Tool Active = Tool::None; // which of "translate", "scale", "rotate" is pressed
};

struct Workspace {
    explicit Workspace(model::UserInterface& ui) : Relay(ui), Ui(Relay) {}
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Everything reaches the user through the relay; Ui is the relay.
    model::UiRelay Relay;
    model::UserInterface& Ui;
    model::ModelStore Model;
    config::Settings Settings;
    textures::TextureTable Textures;
    render::WireframeView View1;
    edit::History History;
    waypoints::WaypointTables Waypoints;
    waypoints::WaypointDisplay WpDisplay;
    track::PathTable Path;
    track::DummyTable Dummies;
    track::CameraTable Cameras;
    WorkMode Mode = WorkMode::Camera;
    SubMode Sub = SubMode::Select;
    TransformTools Tools;
};

} // namespace zv
