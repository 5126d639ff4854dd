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
#include <QLocale>
#include <QPushButton>

namespace zv::app {
namespace {

constexpr const char* kMenu = "mnuPath";

enum Item { kOpen = 0, kSaveAs = 1, kFromWaypoints = 3 };

constexpr float kDefaultPieceLength = 8; // the track builder's segment length

// The model position under the cursor as of the last move over the wireframe view.
render::ModelUnderCursor Cursor(MainWindow& w) {
    const ViewInput* input = w.Input();
    return input != nullptr ? input->Mouse().CursorModel : render::ModelUnderCursor{};
}

// A panel number in the user's locale, or in the C locale so "4.5" works everywhere.
std::optional<float> ReadNumber(const QLineEdit& field) {
    const QString text = field.text().trimmed();
    bool ok = false;
    float value = QLocale().toFloat(text, &ok);
    if (!ok) {
        value = QLocale::c().toFloat(text, &ok);
    }
    return ok ? std::optional<float>(value) : std::nullopt;
}

QString ShowNumber(float value, int decimals) {
    return QLocale().toString(static_cast<double>(value), 'f', decimals);
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
    BuildStrips(*grid);
    const track::TrackSection defaults;
    constexpr int kRow = 3;
    grid->addWidget(new QLabel(QStringLiteral("Splitdist:"), panel_), kRow, 0);
    split_ = AddField(*grid, QStringLiteral("Txt_Splitdist"), ShowNumber(defaults.SplitDistance, 0), kRow, 1);
    grid->addWidget(new QLabel(QStringLiteral("Piece length:"), panel_), kRow, 2, 1, 2, Qt::AlignRight);
    depth_ = AddField(*grid, QStringLiteral("Txt_depth"), ShowNumber(kDefaultPieceLength, 1), kRow, 4);
    grid->addWidget(new QLabel(QStringLiteral("Elev. change:"), panel_), kRow, 5, 1, 2, Qt::AlignRight);
    AddField(*grid, QStringLiteral("Txt_ElevChange"), ShowNumber(0, 1), kRow, 7); // read by no operation
    auto* fresh = new QPushButton(QStringLiteral("New"), panel_);
    fresh->setObjectName(QStringLiteral("Cmd_TrkNew"));
    grid->addWidget(fresh, kRow, 8, 1, 2);
    auto* create = new QPushButton(QStringLiteral("Create"), panel_);
    create->setObjectName(QStringLiteral("Cmd_TrkCreate"));
    grid->addWidget(create, kRow, 10, 1, 2);
    connect(fresh, &QPushButton::clicked, this, [this] { NewPathAtPick(); });
    connect(create, &QPushButton::clicked, this, [this] { CreateTrack(); });
    if (QAction* tool = w_.Button("create_part")) {
        connect(tool, &QAction::toggled, panel_, &QWidget::setVisible);
    }
}

// One column per strip, from the outer edge of the negative side to that of the positive side.
void PathCommands::BuildStrips(QGridLayout& grid) {
    const track::TrackSection defaults;
    grid.addWidget(new QLabel(QStringLiteral("W:"), panel_), 1, 0);
    grid.addWidget(new QLabel(QStringLiteral("Tex.:"), panel_), 2, 0);
    for (int i = 0; i < track::kStrips; ++i) {
        const auto k = static_cast<std::size_t>(i);
        grid.addWidget(new QLabel(QString::number(i), panel_), 0, i + 1, Qt::AlignCenter);
        widths_[k] = AddField(grid, QStringLiteral("Txt_Piece(%1)").arg(i), ShowNumber(defaults.Widths[k], 1),
                              1, i + 1);
        textures_[k] =
            AddField(grid, QStringLiteral("Txt_PTex(%1)").arg(i), ToQString(defaults.Textures[k]), 2, i + 1);
    }
}

QLineEdit* PathCommands::AddField(QGridLayout& grid, const QString& name, const QString& text, int row,
                                  int column) {
    auto* field = new QLineEdit(text, panel_);
    field->setObjectName(name);
    // Room for a texture name such as "Grasc" and no more: eleven columns must stay compact.
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("Grasc00")));
    grid.addWidget(field, row, column);
    return field;
}

float PathCommands::PieceLength() const {
    return ReadNumber(*depth_).value_or(0.0f);
}

std::optional<track::TrackSection> PathCommands::ReadSection() {
    const auto refuse = [this](const QString& field) {
        w_.Ws().Ui.ShowMessage("Create Track", ToCore(field + QStringLiteral(" is not a number")),
                               model::MessageIcon::Warning, model::MessageButtons::Ok);
        return std::nullopt;
    };
    track::TrackSection s;
    for (std::size_t k = 0; k < widths_.size(); ++k) {
        const std::optional<float> width = ReadNumber(*widths_[k]);
        if (!width) {
            return refuse(QStringLiteral("W: of strip %1").arg(k));
        }
        s.Widths[k] = *width;
        s.Textures[k] = ToCore(textures_[k]->text().trimmed());
    }
    const std::optional<float> split = ReadNumber(*split_);
    if (!split) {
        return refuse(QStringLiteral("Splitdist:"));
    }
    s.SplitDistance = *split;
    return s;
}

void PathCommands::CreateTrack() {
    const std::optional<track::TrackSection> section = ReadSection();
    Workspace& ws = w_.Ws();
    if (!section || ws.Path.Count() == 0) {
        return;
    }
    // The window's refresh after the step rebuilds the texture lists from the generated names.
    w_.Run("Create Track", [&](edit::Recorder& rec) {
        return track::GenerateTrack(ws.Ui, ws.Model, ws.Path, *section, rec);
    });
}

void PathCommands::Open() {
    Workspace& ws = w_.Ws();
    FileRequest request;
    request.Title = QStringLiteral("Open ZV Path-File");
    request.Filter = QStringLiteral("zvp-Format|*.zvp");
    request.Start = ToQString(ws.Settings.ScgtTrackPath);
    const std::optional<std::string> chosen = ChooseOne(&w_, request);
    if (!chosen) {
        return; // cancelled
    }
    ws.Model.ModelPath = *chosen; // the last dialog file name of every dialog
    OpenFile(ws.Model.ModelPath);
}

void PathCommands::OpenFile(const std::string& path) {
    Workspace& ws = w_.Ws();
    // The file is appended; only into an empty, saved path is the result what the file holds.
    const bool fresh = ws.Path.Count() == 0 && !ws.History.IsModified(&ws.Path);
    const edit::Change changed =
        w_.Run("Open Path", [&](edit::Recorder& rec) { return track::OpenPath(ws.Ui, rec, ws.Path, path); });
    if (changed.Any()) {
        if (fresh) {
            ws.History.MarkClean(&ws.Path);
            w_.UpdateCaption();
        }
        w_.Panels().ShowInfo(track::MergedText(ws.Path));
        w_.NoteRecent("path", path);
    }
}

bool PathCommands::Save() {
    Workspace& ws = w_.Ws();
    FileRequest request;
    request.Save = true; // the dialog asks before overwriting
    request.Title = QStringLiteral("Save Path");
    request.Filter = QStringLiteral("ZV Path File (.zvp)|*.zvp");
    request.Start = ToQString(ws.Settings.ScgtTrackPath);
    const std::optional<std::string> chosen = ChooseOne(&w_, request);
    if (!chosen) {
        return false;
    }
    ws.Model.ModelPath = *chosen;
    if (!track::WritePath(ws.Ui, ws.Path, ws.Model.ModelPath)) {
        return false;
    }
    ws.History.MarkClean(&ws.Path);
    w_.UpdateCaption();
    w_.NoteRecent("path", ws.Model.ModelPath);
    return true;
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
