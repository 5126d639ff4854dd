#include "app/WaypointCommands.h"

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "app/StatusPanels.h"
#include "app/WaypointWindow.h"
#include "track/PathOps.h"
#include "waypoints/AiwFile.h"
#include "waypoints/WaypointOps.h"
#include "workspace/WaypointGestures.h"

#include <QAction>
#include <QMenu>

namespace zv::app {
namespace {

constexpr const char* kMenu = "mnuWaypoint";

// The menu items and their places in the Waypoint menu.
enum Item {
    kOpen = 0,
    kInsert = 3,
    kDelete = 4,
    kDeleteSelected = 5,
    kSpareReverse = 7,
    kDisplayWaypoints = 9,
    kDisplaySlots = 10,
    kPitLane = 12,
    kAdjustHeight = 13,
    kMakeStraight = 14,
    kEditBezier = 15,
    kReverse = 16,
    kCalcTrackParts = 17,
    kFromPath = 19,
    kFollow = 21,
    kCenter = 22,
};

} // namespace

WaypointCommands::WaypointCommands(MainWindow& w) : QObject(&w), w_(w) {
    setObjectName(QStringLiteral("WaypointCommands"));
    Workspace& ws = w.Ws();
    Connect(kOpen, &WaypointCommands::Open);
    if (QAction* scgt = w.Item("mnuWaypoint2", 0)) {
        connect(scgt, &QAction::triggered, this, [this] { Save(false); });
    }
    if (QAction* f1cs = w.Item("mnuWaypoint2", 1)) {
        connect(f1cs, &QAction::triggered, this, [this] { Save(true); });
    }
    if (QAction* insert = w.Item(kMenu, kInsert)) {
        connect(insert, &QAction::triggered, this, [this] {
            Step("Insert Waypoint", [](Workspace& s, edit::Recorder& rec) {
                return waypoints::InsertWaypoint(s.Waypoints, rec);
            });
        });
    }
    if (QAction* remove = w.Item(kMenu, kDelete)) {
        connect(remove, &QAction::triggered, this, [this] {
            Step("Delete Waypoint", [](Workspace& s, edit::Recorder& rec) {
                return waypoints::DeleteCurrentWaypoint(s.Waypoints, rec);
            });
        });
    }
    if (QAction* removeSelected = w.Item(kMenu, kDeleteSelected)) {
        connect(removeSelected, &QAction::triggered, this, [this] {
            Step("Delete Selected Waypoints", [](Workspace& s, edit::Recorder& rec) {
                return waypoints::DeleteSelectedWaypoints(s.Waypoints, rec);
            });
        });
    }
    ToggleDisplay(kDisplayWaypoints, ws.WpDisplay.ShowWaypoints);
    ToggleDisplay(kDisplaySlots, ws.WpDisplay.ShowSlots);
    Connect(kPitLane, &WaypointCommands::PitLane);
    Connect(kAdjustHeight, &WaypointCommands::AdjustHeight);
    Connect(kMakeStraight, &WaypointCommands::MakeStraight);
    if (QAction* bezier = w.Item(kMenu, kEditBezier)) {
        connect(bezier, &QAction::triggered, this, [this] {
            Step("Edit Bezier", [](Workspace& s, edit::Recorder& rec) {
                return track::StartBezier(s.Path, s.Waypoints, rec);
            });
        });
    }
    if (QAction* fromPath = w.Item(kMenu, kFromPath)) {
        connect(fromPath, &QAction::triggered, this, [this] {
            Step("Get from Path", [](Workspace& s, edit::Recorder& rec) {
                return track::WaypointsFromPath(s.Ui, s.Path, s.Waypoints, rec);
            });
        });
    }
    Connect(kReverse, &WaypointCommands::Reverse);
    Connect(kSpareReverse, &WaypointCommands::Reverse);
    Connect(kCalcTrackParts, &WaypointCommands::CalcTrackParts);
    if (QAction* follow = w.Item(kMenu, kFollow)) {
        follow->setChecked(ws.WpDisplay.FollowWaypoints);
        connect(follow, &QAction::triggered, this, [this] { FollowWaypoints(); });
    }
    if (QAction* center = w.Item(kMenu, kCenter)) {
        center->setChecked(ws.WpDisplay.CenterOnWaypoint);
        connect(center, &QAction::triggered, this, [this] { CenterCommand(); });
    }
}

void WaypointCommands::Connect(int index, void (WaypointCommands::*command)()) {
    if (QAction* item = w_.Item(kMenu, index)) {
        connect(item, &QAction::triggered, this, [this, command] { (this->*command)(); });
    }
}

template <class Op> void WaypointCommands::Step(const char* name, Op op) {
    Workspace& ws = w_.Ws();
    w_.Run(name, [&](edit::Recorder& rec) { return op(ws, rec); });
}

void WaypointCommands::Open() {
    Workspace& ws = w_.Ws();
    FileRequest request;
    request.Title = QStringLiteral("Open SCGT AIW-File");
    request.Filter = QStringLiteral("Sports Car GT aiw-Format|*.aiw");
    request.Start = ToQString(ws.Settings.ScgtTrackPath);
    const std::optional<std::string> chosen = ChooseOne(&w_, request);
    if (!chosen) {
        return; // cancelled
    }
    ws.Model.ModelPath = *chosen; // the last dialog file name of every dialog
    OpenFile(ws.Model.ModelPath);
}

void WaypointCommands::OpenFile(const std::string& path) {
    Workspace& ws = w_.Ws();
    // The file replaces the waypoints and counts as saved: unsaved ones would be forgotten.
    if (!w_.ConfirmDiscard(Document::Waypoints)) {
        return;
    }
    const edit::Change changed = w_.Run("Open Waypoints", [&](edit::Recorder& rec) {
        return waypoints::OpenAiw(ws.Ui, rec, ws.Waypoints, path);
    });
    if (!changed.Any()) {
        return;
    }
    ws.History.MarkClean(&ws.Waypoints); // what is loaded is what the file holds
    w_.NoteRecent("aiw", path);
    w_.UpdateCaption();
    w_.Panels().ShowInfo(waypoints::LoadedText(ws.Waypoints));
    if (WaypointWindow* window = FindWaypointWindow(w_)) {
        window->ShowLoaded();
    }
    if (auto* menu = w_.findChild<QMenu*>(QString::fromLatin1(kMenu))) {
        menu->menuAction()->setVisible(true);
    }
}

bool WaypointCommands::Save(bool f1cs) {
    Workspace& ws = w_.Ws();
    FileRequest request;
    request.Save = true; // the dialog asks before overwriting
    request.Title = f1cs ? QStringLiteral("Save as F1CS Waypoints") : QStringLiteral("Save Waypoints");
    request.Filter = QStringLiteral("Waypoint File (.aiw)|*.aiw");
    request.Start = ToQString(ws.Settings.ScgtTrackPath);
    const std::optional<std::string> chosen = ChooseOne(&w_, request);
    if (!chosen) {
        return false;
    }
    ws.Model.ModelPath = *chosen;
    if (!waypoints::WriteAiw(ws.Ui, ws.Waypoints, f1cs ? waypoints::Dialect::F1cs : waypoints::Dialect::Scgt,
                             ws.Model.ModelPath)) {
        return false;
    }
    ws.History.MarkClean(&ws.Waypoints);
    w_.UpdateCaption();
    w_.NoteRecent("aiw", ws.Model.ModelPath);
    return true;
}

// A display switch: the tick is the flag; the waypoint list is drawn again either way.
void WaypointCommands::ToggleDisplay(int index, bool& flag) {
    QAction* item = w_.Item(kMenu, index);
    if (item == nullptr) {
        return;
    }
    item->setChecked(flag);
    connect(item, &QAction::triggered, this, [this, &flag](bool on) {
        flag = on;
        w_.Apply(edit::Change::Waypoints);
    });
}

void WaypointCommands::FollowWaypoints() {
    Workspace& ws = w_.Ws();
    const QAction* item = w_.Item(kMenu, kFollow);
    ws.WpDisplay.FollowWaypoints = item != nullptr && item->isChecked(); // the OpenGL view reads it
    w_.Draw_All_Views();
}

void WaypointCommands::CenterCommand() {
    const QAction* item = w_.Item(kMenu, kCenter);
    w_.Ws().WpDisplay.CenterOnWaypoint = item != nullptr && item->isChecked();
    CenterOnWaypoint();
}

void WaypointCommands::CenterOnWaypoint() {
    if (zv::CenterOnWaypoint(w_.Ws()).RedrawWireframe) {
        w_.Draw_All_Views();
    }
}

void WaypointCommands::PitLane() {
    Workspace& ws = w_.Ws();
    if (ws.Waypoints.WpCount < 1) {
        return;
    }
    const std::optional<waypoints::PitLane> lane = waypoints::AskPitLane(ws.Ui);
    if (!lane) {
        return; // an empty answer
    }
    w_.Run("Add Pitlane Slots",
           [&](edit::Recorder& rec) { return waypoints::AddPitLane(ws.Ui, ws.Waypoints, rec, *lane); });
}

void WaypointCommands::AdjustHeight() {
    Step("Adjust Height", [](Workspace& s, edit::Recorder& rec) {
        return waypoints::AdjustHeight(s.Model, s.Waypoints, rec);
    });
}

void WaypointCommands::MakeStraight() {
    Step("Make Straight",
         [](Workspace& s, edit::Recorder& rec) { return waypoints::MakeStraight(s.Ui, s.Waypoints, rec); });
}

void WaypointCommands::Reverse() {
    Step("Reverse Waypoints",
         [](Workspace& s, edit::Recorder& rec) { return waypoints::ReverseWaypoints(s.Waypoints, rec); });
}

void WaypointCommands::CalcTrackParts() {
    Step("Calc WP_ins", [](Workspace& s, edit::Recorder& rec) {
        return waypoints::CalcTrackParts(s.Model, s.Waypoints, rec);
    });
}

void WaypointCommands::StepCurrent(bool back) {
    waypoints::WaypointTables& t = w_.Ws().Waypoints;
    w_.Apply(back ? waypoints::PreviousWaypoint(t) : waypoints::NextWaypoint(t));
    w_.Panels().ShowInfo("Waypoint: " + std::to_string(t.CurWp));
}

bool WaypointCommands::Key(int key, bool shift, bool ctrl) {
    if (key == Qt::Key_F8 && !shift && !ctrl) {
        if (WaypointWindow* window = FindWaypointWindow(w_)) {
            window->ToggleVisible();
        }
        return true;
    }
    if (w_.WorkingMode() != "edit_wp") {
        return false;
    }
    if (ctrl) {
        if (shift || (key != Qt::Key_I && key != Qt::Key_D)) {
            return false;
        }
        if (QAction* item = w_.Item(kMenu, key == Qt::Key_I ? kInsert : kDelete)) {
            item->trigger();
        }
        return true;
    }
    Workspace& ws = w_.Ws();
    int width = -1;
    switch (key) {
    case Qt::Key_F2:
        width = 0;
        break;
    case Qt::Key_F3:
        width = 1;
        break;
    case Qt::Key_F1:
        width = 2;
        break;
    case Qt::Key_F4:
        width = 3;
        break;
    case Qt::Key_F5:
        StepCurrent(shift);
        return true;
    case Qt::Key_F6:
        if (shift) {
            return false;
        }
        w_.Apply(waypoints::ToggleCurrentSelection(ws.Waypoints));
        return true;
    case Qt::Key_F7:
        if (shift) {
            return false;
        }
        Step("Edit Bezier",
             [](Workspace& s, edit::Recorder& rec) { return track::ToggleBezier(s.Path, s.Waypoints, rec); });
        return true;
    case Qt::Key_F10:
        if (shift) {
            return false;
        }
        w_.Panels().ShowInfo(track::ToggleBezierYOnly(ws.Path));
        return true;
    default:
        return false;
    }
    if (shift) {
        return false;
    }
    const float dist = ws.WpDisplay.WpDist;
    w_.Run("Waypoint Width from Distance", [&](edit::Recorder& rec) {
        return waypoints::SetWidthFromDistance(ws.Waypoints, rec, width, dist);
    });
    return true;
}

WaypointCommands* FindWaypointCommands(MainWindow& w) {
    return dynamic_cast<WaypointCommands*>(
        w.findChild<QObject*>(QStringLiteral("WaypointCommands"), Qt::FindDirectChildrenOnly));
}

} // namespace zv::app
