#include "app/PathCommands.h"

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "app/StatusPanels.h"
#include "app/ViewInput.h"
#include "track/PathOps.h"
#include "workspace/Gestures.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zv::app {
namespace {

constexpr const char* kMenu = "mnuPath";

enum Item { kOpen = 0, kSaveAs = 1, kFromWaypoints = 3 };

// The model position under the cursor as of the last move over the wireframe view.
render::ModelUnderCursor Cursor(MainWindow& w) {
    const ViewInput* input = w.Input();
    return input != nullptr ? input->Mouse().CursorModel : render::ModelUnderCursor{};
}

} // namespace

PathCommands::PathCommands(MainWindow& w) : QObject(&w), w_(w) {
    setObjectName(QStringLiteral("PathCommands"));
    if (QAction* open = w.Item(kMenu, kOpen)) {
        connect(open, &QAction::triggered, this, [this] { Open(); });
    }
    if (QAction* save = w.Item(kMenu, kSaveAs)) {
        connect(save, &QAction::triggered, this, [this] { Save(); });
    }
    if (QAction* from = w.Item(kMenu, kFromWaypoints)) {
        connect(from, &QAction::triggered, this, [this] { FromWaypoints(); });
    }
    BuildPanel();
}

// A small tool window beside the views: the builder draws in the wireframe view while it is
// open, so it must not be modal.
void PathCommands::BuildPanel() {
    panel_ = new QWidget(&w_, Qt::Tool);
    panel_->setObjectName(QStringLiteral("Pic_Trkbuilder"));
    panel_->setWindowTitle(QStringLiteral("Track builder"));
    auto* grid = new QGridLayout(panel_);
    grid->addWidget(new QLabel(QStringLiteral("Piece length"), panel_), 0, 0);
    depth_ = new QLineEdit(QStringLiteral("8"), panel_);
    depth_->setObjectName(QStringLiteral("Txt_depth"));
    grid->addWidget(depth_, 0, 1);
    auto* fresh = new QPushButton(QStringLiteral("New"), panel_);
    fresh->setObjectName(QStringLiteral("Cmd_TrkNew"));
    grid->addWidget(fresh, 1, 0);
    auto* create = new QPushButton(QStringLiteral("Create"), panel_);
    create->setObjectName(QStringLiteral("Cmd_TrkCreate"));
    create->setEnabled(false);
    create->setToolTip(QStringLiteral("Generating a track from the path comes in a later version"));
    grid->addWidget(create, 1, 1);
    connect(fresh, &QPushButton::clicked, this, [this] { NewPathAtPick(); });
    if (QAction* tool = w_.Button("create_part")) {
        connect(tool, &QAction::toggled, panel_, &QWidget::setVisible);
    }
}

float PathCommands::PieceLength() const {
    bool ok = false;
    const double value = depth_->text().trimmed().toDouble(&ok);
    return ok ? static_cast<float>(value) : 0.0f;
}

void PathCommands::Open() {
    Workspace& ws = w_.Ws();
    FileRequest request;
    request.Title = QStringLiteral("Open ZV Path-File");
    request.Filter = QStringLiteral("zvp-Format|*.zvp");
    request.Start = ToQString(ws.Settings.ScgtModelPath);
    const QStringList chosen = ChooseFiles(&w_, request);
    if (chosen.isEmpty()) {
        return; // cancelled
    }
    ws.Model.ModelPath = ToCore(chosen.front()); // the last dialog file name of every dialog
    OpenFile(ws.Model.ModelPath);
}

void PathCommands::OpenFile(const std::string& path) {
    Workspace& ws = w_.Ws();
    const edit::Change changed =
        w_.Run("Open Path", [&](edit::Recorder& rec) { return track::OpenPath(ws.Ui, rec, ws.Path, path); });
    if (changed.Any()) {
        w_.Panels().ShowInfo(track::MergedText(ws.Path));
    }
}

bool PathCommands::Save() {
    Workspace& ws = w_.Ws();
    FileRequest request;
    request.Save = true; // the dialog asks before overwriting
    request.Title = QStringLiteral("Save Path");
    request.Filter = QStringLiteral("ZV Path File (.zvp)|*.zvp");
    request.Start = ToQString(ws.Settings.ScgtModelPath);
    const QStringList chosen = ChooseFiles(&w_, request);
    if (chosen.isEmpty()) {
        return false;
    }
    ws.Model.ModelPath = ToCore(chosen.front());
    return track::WritePath(ws.Ui, ws.Path, ws.Model.ModelPath);
}

void PathCommands::FromWaypoints() {
    Workspace& ws = w_.Ws();
    w_.Run("Get from Ai Line",
           [&](edit::Recorder& rec) { return track::PathFromWaypoints(ws.Waypoints, ws.Path, rec); });
}

void PathCommands::NewPathAtPick() {
    Workspace& ws = w_.Ws();
    const ViewInput* input = w_.Input();
    float x = 0;
    float z = 0;
    if (input != nullptr && input->Gesture().HasPick) {
        x = input->Gesture().PickX;
        z = input->Gesture().PickZ;
    } else {
        const std::array<float, 2> at = GroundUnderCursor(ws, Cursor(w_));
        x = at[0];
        z = at[1];
    }
    if (w_.Run("New Path", [&](edit::Recorder& rec) { return track::NewPath(ws.Path, rec, x, z); }).Any()) {
        w_.Panels().ShowInfo("Path deleted");
    }
}

bool PathCommands::Key(int key, bool shift, bool ctrl) {
    if (!ctrl || shift || (key != Qt::Key_R && key != Qt::Key_T) || w_.WorkingMode() == "edit_wp") {
        return false;
    }
    Workspace& ws = w_.Ws();
    const render::ModelUnderCursor cursor = Cursor(w_);
    const std::array<float, 2> at = GroundUnderCursor(ws, cursor);
    if (key == Qt::Key_R) {
        const edit::Change changed = NewPathAtCursor(ws, cursor);
        w_.Apply(changed);
        if (changed.Any()) {
            w_.Panels().ShowInfo(FirstPointText(at[0], at[1]));
        }
        return true;
    }
    const edit::Change changed = AppendPathAtCursor(ws, cursor);
    w_.Apply(changed);
    if (changed.Any()) {
        w_.Panels().ShowInfo(track::BuilderStatus(ws.Path));
        w_.Panels().ShowDistance("Dist: " +
                                 render::FormatGeneral(track::DistanceFromEnd(ws.Path, at[0], at[1]), 1));
    }
    return true;
}

PathCommands* FindPathCommands(MainWindow& w) {
    return dynamic_cast<PathCommands*>(
        w.findChild<QObject*>(QStringLiteral("PathCommands"), Qt::FindDirectChildrenOnly));
}

} // namespace zv::app
