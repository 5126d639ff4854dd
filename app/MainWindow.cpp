#include "app/MainWindow.h"

#include "app/DummyWindow.h"
#include "app/GlViewWidget.h"
#include "app/MenuCommands.h"
#include "app/MenuTable.h"
#include "app/OptionsWindow.h"
#include "app/PartsWindow.h"
#include "app/PathCommands.h"
#include "app/QtText.h"
#include "app/RecentFiles.h"
#include "app/SceneCommands.h"
#include "app/SelectPanels.h"
#include "app/StatusPanels.h"
#include "app/Toolbars.h"
#include "app/MapTextureWindow.h"
#include "app/PolygonCommands.h"
#include "app/TextureWindow.h"
#include "app/VertexCommands.h"
#include "app/ViewInput.h"
#include "app/WaypointCommands.h"
#include "app/WaypointWindow.h"
#include "app/WireframeWidget.h"
#include "config/ConfigFile.h"
#include "config/RecentFiles.h"
#include "model/ModelInfo.h"
#include "model/Normals.h"
#include "model/Paths.h"
#include "render/Navigation.h"
#include "render/ViewLayout.h"
#include "render/WireframeView.h"
#include "render/gl/GlView.h"
#include "workspace/ModelLifecycle.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>

namespace zv::app {
namespace {

constexpr int kRotationIntervalMs = 40;
// Indices of the layout items in the view menu, by ViewType.
constexpr int kViewMenuItemOfLayout[] = {0, 1, 2, 2, 3};

} // namespace

QRect FitIntoScreen(const QRect& wanted, const QRect& screen) {
    if (screen.isEmpty()) {
        return wanted;
    }
    QRect r(wanted.topLeft(),
            QSize(std::min(wanted.width(), screen.width()), std::min(wanted.height(), screen.height())));
    if (r.right() > screen.right()) {
        r.moveRight(screen.right());
    }
    if (r.bottom() > screen.bottom()) {
        r.moveBottom(screen.bottom());
    }
    if (r.left() < screen.left()) {
        r.moveLeft(screen.left());
    }
    if (r.top() < screen.top()) {
        r.moveTop(screen.top());
    }
    return r;
}

MainWindow::MainWindow(const Options& options) : options_(options), ws_(std::make_unique<Workspace>(ui_)) {
    setObjectName(QStringLiteral("Form1"));
    setAcceptDrops(true);
    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("ViewArea"));
    setCentralWidget(area);
    view1_ = new WireframeWidget(*ws_, area);
    if (options_.OpenGl) {
        view4_ = new GlViewWidget(*ws_, area);
    }
    rotation_ = new QTimer(this);
    rotation_->setInterval(kRotationIntervalMs);
    connect(rotation_, &QTimer::timeout, this, [this] { RotationTick(); });
    BuildMenus();
    BuildToolbars();
    BuildStatusBar();
    ConnectOptionsCommand(*this);
    StartUp();
    ConnectMenuAreas(*this);
    ConnectViewCommands(*this);
    ConnectSelectionCommands(*this);
    ConnectSelectPanels(*this);
    new VertexCommands(*this);     // a child of the window: the Vertex menu and its panels
    new PolygonCommands(*this);    // the Polygon menu, its panels and the surface panel
    new TextureWindow(*this);      // F5
    new MapTextureWindow(*this);   // "&Map Polygon Group to Texture"
    waypointWindow_ = new WaypointWindow(*this);      // F8
    waypointCommands_ = new WaypointCommands(*this); // the Waypoint menu and keys
    pathCommands_ = new PathCommands(*this);         // the Path menu, track builder, path keys
    dummyWindow_ = new DummyWindow(*this);           // F3
    new SceneCommands(*this);                        // the Scene menu
    recent_ = new RecentFiles(*this);                // the File menu's recent files
    input_ = new ViewInput(*this); // a child of the window: mouse on the views, keys
}

MainWindow::~MainWindow() {
    ShutDown();
}

QAction* MainWindow::Button(const std::string& key) const {
    const auto it = buttons_.find(key);
    return it == buttons_.end() ? nullptr : it->second;
}

// The key of the pressed button among keys, or fallback when none is pressed.
std::string MainWindow::PressedKey(std::initializer_list<const char*> keys, std::string_view fallback) const {
    for (const char* key : keys) {
        if (QAction* b = Button(key); b != nullptr && b->isChecked()) {
            return key;
        }
    }
    return std::string(fallback);
}

std::string MainWindow::WorkingMode() const {
    return PressedKey({"view_mode", "edit_vertex", "edit_poly", "edit_part", "edit_wp"}, kStartMode);
}

std::string MainWindow::EditSubMode() const {
    return PressedKey({"edit_vert", "create_vert", "create_poly", "create_part"}, "edit_vert");
}

void MainWindow::BuildToolbars() {
    for (const ToolbarDef& def : MainToolbars()) {
        if (def.Name == "Toolbar2") {
            addToolBarBreak(); // the selection and tool bars on a second row, so both rows fit
        }
        QToolBar* bar = addToolBar(ToQString(def.Name));
        bar->setObjectName(ToQString(def.Name));
        auto* modes = new QActionGroup(bar);
        modes->setExclusive(true);
        for (const ToolButtonDef& b : def.Buttons) {
            if (b.Kind == ButtonKind::Separator) {
                bar->addSeparator();
                continue;
            }
            QAction* action = bar->addAction(ToQString(b.Caption));
            action->setObjectName(ToQString(b.Key));
            action->setToolTip(ToQString(b.ToolTip.empty() ? b.Caption : b.ToolTip));
            action->setCheckable(b.Kind != ButtonKind::Command);
            if (b.Kind == ButtonKind::Mode) {
                modes->addAction(action);
                action->setChecked(modes->actions().size() == 1); // the first mode is pressed
            }
            if (b.Key == "openbin") {
                action->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
            } else if (b.Key == "save_model") {
                action->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
            }
            buttons_[std::string(b.Key)] = action;
        }
    }
    ConnectToolbars();
}

void MainWindow::ConnectToolbars() {
    connect(Button("openbin"), &QAction::triggered, this, [this] { OpenModelChooser(); });
    connect(Button("undo"), &QAction::triggered, this, [this] { UndoCommand(); });
    connect(Button("redo"), &QAction::triggered, this, [this] { RedoCommand(); });
    connect(Button("save_model"), &QAction::triggered, this, [this] { SaveModelButton(); });
    connect(Button("drawmode"), &QAction::triggered, this, [this] {
        render::gl::GlView::CycleRenderType(ws_->Settings);
        RefreshAll();
    });
    connect(Button("view1_orient"), &QAction::triggered, this, [this] {
        render::CycleOrientation(ws_->View1);
        ws_->Settings.View1_orient = ws_->View1.ViewOrient;
        panels_->ShowOrientation(ws_->View1.ViewOrient);
        Draw_All_Views();
    });
    const auto viewCommand = [this](const char* key, render::ViewEffect (*command)(
                                                         render::WireframeView&, const model::ModelStore&)) {
        connect(Button(key), &QAction::triggered, this, [this, command] {
            command(ws_->View1, ws_->Model);
            panels_->ShowZoom(ws_->View1.ViewZoom);
            Draw_All_Views();
        });
    };
    viewCommand("resetview", &render::ResetViewToAxis);
    viewCommand("reset_extents", &render::CenterToExtents);
    viewCommand("reset_selection", &render::CenterToSelection);
    connect(Button("view_reset_rot"), &QAction::triggered, this, [this] {
        render::ResetRotation(ws_->View1);
        Draw_All_Views();
    });
    // The selection target and options of Toolbar3.
    connect(Button("SelectVertices"), &QAction::triggered, this, [this] { ws_->Settings.SelectMode = 0; });
    connect(Button("SelectPolygons"), &QAction::triggered, this, [this] { ws_->Settings.SelectMode = 1; });
    connect(Button("SelectAllPolygons"), &QAction::toggled, this, [this](bool pressed) {
        ws_->Settings.SelectFrontOnly = !pressed;
        Draw_All_Views();
    });
    connect(Button("vertex_mark"), &QAction::toggled, this,
            [this](bool on) { ws_->Settings.VertexMark = on; });
    connect(Button("poly_mark"), &QAction::toggled, this, [this](bool on) { ws_->Settings.PolyMark = on; });
    // The working mode lives in the workspace; edit mode picks with the cross pointer.
    static constexpr std::pair<const char*, WorkMode> kModes[] = {{"view_mode", WorkMode::Camera},
                                                                  {"edit_vertex", WorkMode::EditVertex},
                                                                  {"edit_poly", WorkMode::EditPolygon},
                                                                  {"edit_part", WorkMode::EditPart},
                                                                  {"edit_wp", WorkMode::EditWaypoint}};
    for (const auto& [key, mode] : kModes) {
        connect(Button(key), &QAction::toggled, this, [this, mode](bool on) {
            if (on) {
                ws_->Mode = mode;
                ws_->History.StopCollating();
            }
            view1_->setCursor(WorkingMode() == "edit_vertex" ? Qt::CrossCursor : Qt::ArrowCursor);
        });
    }
    static constexpr std::pair<const char*, SubMode> kSubModes[] = {{"edit_vert", SubMode::Select},
                                                                    {"create_vert", SubMode::CreateVertex},
                                                                    {"create_poly", SubMode::CreatePolygon},
                                                                    {"create_part", SubMode::TrackBuilder}};
    for (const auto& [key, sub] : kSubModes) {
        connect(Button(key), &QAction::toggled, this, [this, sub](bool on) {
            if (on) {
                ws_->Sub = sub;
            }
        });
    }
    ConnectTransformButtons();
    // Toolbar2: the path drawing flag.
    connect(Button("Edit"), &QAction::triggered, this, [this] { ws_->Settings.PathDrawFlag = 0; });
    connect(Button("Draw"), &QAction::triggered, this, [this] { ws_->Settings.PathDrawFlag = 1; });
    ws_->Settings.SelectFrontOnly = !Button("SelectAllPolygons")->isChecked();
    ws_->Settings.SelectMode = 0;
}

// "toggle_vert" and "toggle_centertransform" are switches; "translate", "scale" and "rotate"
// choose the tool of the nudge keys, at most one at a time.
void MainWindow::ConnectTransformButtons() {
    connect(Button("toggle_vert"), &QAction::toggled, this,
            [this](bool on) { ws_->Tools.SelectedOnly = on; });
    connect(Button("toggle_centertransform"), &QAction::toggled, this,
            [this](bool on) { ws_->Tools.AboutCentre = on; });
    using Tool = TransformTools::Tool;
    static constexpr std::pair<const char*, Tool> kTools[] = {
        {"translate", Tool::Translate}, {"scale", Tool::Scale}, {"rotate", Tool::Rotate}};
    for (const auto& [key, tool] : kTools) {
        connect(Button(key), &QAction::toggled, this, [this, key, tool](bool on) {
            if (on) {
                ws_->Tools.Active = tool;
                for (const auto& [other, unused] : kTools) {
                    if (std::string_view(other) != key) {
                        Button(other)->setChecked(false);
                    }
                }
            } else if (ws_->Tools.Active == tool) {
                ws_->Tools.Active = Tool::None;
            }
            ws_->History.StopCollating();
        });
    }
}

QAction* MainWindow::Item(const std::string& menu, int index) const {
    const auto it = items_.find(ItemName(menu, index));
    return it == items_.end() ? nullptr : it->second;
}

void MainWindow::StartUp() {
    config::LoadConfig(options_.ConfigPath, ws_->Settings, ui_);
    config::DropMissing(ws_->Settings.RecentFiles); // moved or deleted since the last run
    ws_->Model.ModelDir = ws_->Settings.ScgtArtPath;
    const config::WindowPosition& place = ws_->Settings.MainWinPosition;
    const QScreen* screen = QGuiApplication::primaryScreen();
    setGeometry(FitIntoScreen(QRect(place.Left, place.Top, place.Width, place.Height),
                              screen != nullptr ? screen->availableGeometry() : QRect()));
    currentFileName_ = "Test.vrl";
    setWindowTitle(ToQString(model::ProductCaption()));
    render::ResetView(ws_->View1, ws_->Settings);
    ws_->Model.PolySelEdge.Fill(-1);
    ui_.ShowProgress("Initializing...");
    SetViewType(ws_->Settings.ViewType);
    panels_->ShowOrientation(ws_->View1.ViewOrient);
    panels_->ShowZoom(ws_->View1.ViewZoom);
    panels_->ShowSnap(ws_->Settings.Grid);
    panels_->SnapRotationButton()->setChecked(ws_->Settings.SnapRotation);
    if (QAction* item = Item("mnuTex", 7)) {
        item->setChecked(ws_->Settings.LoadTexturesOnOpen);
    }
    ui_.ShowProgress("Ready.");
}

void MainWindow::ShutDown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    if (input_ != nullptr) {
        input_->Detach();
    }
    rotation_->stop();
    if (waypointWindow_ != nullptr && waypointWindow_->isVisible()) {
        waypointWindow_->StoreGeometry();
    }
    const QRect place = geometry();
    ws_->Settings.MainWinPosition = {place.x(), place.y(), place.width(), place.height()};
    config::SaveConfig(options_.ConfigPath, ws_->Settings, ui_);
    if (view4_ != nullptr) {
        view4_->Release();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!shutDown_ && !ConfirmClose()) {
        event->ignore();
        return;
    }
    ShutDown();
    event->accept();
}

void MainWindow::BuildMenus() {
    std::map<std::string, QMenu*> menus;
    for (const MenuDef& def : MainMenus()) {
        auto* menu = new QMenu(ToQString(def.Caption), this);
        menu->setObjectName(ToQString(def.Name));
        menus[std::string(def.Name)] = menu;
    }
    for (const MenuDef& def : MainMenus()) {
        QMenu* menu = menus[std::string(def.Name)];
        for (std::size_t i = 0; i < def.Items.size(); ++i) {
            const MenuItemDef& item = def.Items[i];
            QAction* action = nullptr;
            if (item.Caption == "-") {
                action = menu->addSeparator();
            } else if (!item.Submenu.empty()) {
                QMenu* sub = menus[std::string(item.Submenu)];
                sub->setTitle(ToQString(item.Caption));
                action = menu->addMenu(sub);
            } else {
                action = menu->addAction(ToQString(item.Caption));
                action->setCheckable(item.Checkable);
            }
            action->setObjectName(ToQString(ItemName(def.Name, static_cast<int>(i))));
            action->setVisible(!item.Hidden);
            action->setEnabled(!item.Hidden);
            items_[ItemName(def.Name, static_cast<int>(i))] = action;
        }
        if (def.TopLevel) {
            menuBar()->addMenu(menu);
        }
    }
    ConnectFileMenu();
    ConnectViewMenu();
    if (QAction* undo = Item("mnuEdit", 0)) {
        undo->setShortcut(QKeySequence::Undo);
        connect(undo, &QAction::triggered, this, [this] { UndoCommand(); });
    }
    if (QAction* redo = Item("mnuEdit", 1)) {
        redo->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
        connect(redo, &QAction::triggered, this, [this] { RedoCommand(); });
    }
}

void MainWindow::BuildStatusBar() {
    panels_ = std::make_unique<StatusPanels>(*statusBar());
    ui_.SetStatusPanel(panels_->State());
    connect(panels_->SnapButton(), &QToolButton::toggled, this,
            [this](bool on) { ws_->Settings.Grid.SnapVertices = on; });
    connect(panels_->SnapRotationButton(), &QToolButton::toggled, this,
            [this](bool on) { ws_->Settings.SnapRotation = on; });
}

void MainWindow::On(const std::string& menu, int index, void (MainWindow::*command)()) {
    if (QAction* item = Item(menu, index)) {
        connect(item, &QAction::triggered, this, [this, command] { (this->*command)(); });
    }
}

void MainWindow::ConnectViewMenu() {
    for (int layout : {0, 1, 2, 4}) {
        if (QAction* item = Item("mnuView", kViewMenuItemOfLayout[layout])) {
            connect(item, &QAction::triggered, this, [this, layout] { SetViewType(layout); });
        }
    }
    if (QAction* points = Item("mnuView", 5)) {
        connect(points, &QAction::toggled, this, [this](bool on) {
            ws_->View1.ShowVertices = on;
            RefreshAll();
        });
    }
    if (QAction* names = Item("mnuView", 6)) {
        connect(names, &QAction::toggled, this, [this](bool on) {
            ws_->View1.ShowGroupNames = on;
            Draw_All_Views();
        });
    }
    if (QAction* load = Item("mnuTex", 7)) {
        connect(load, &QAction::toggled, this, [this](bool on) { ws_->Settings.LoadTexturesOnOpen = on; });
    }
}

void MainWindow::SetViewType(int viewType) {
    ws_->Settings.ViewType = static_cast<std::uint8_t>(viewType);
    const int checked = viewType >= 0 && viewType <= 4 ? kViewMenuItemOfLayout[viewType] : 1;
    for (int i = 0; i <= 3; ++i) {
        if (QAction* item = Item("mnuView", i)) {
            item->setChecked(i == checked);
        }
    }
    View_Change();
}

void MainWindow::View_Change() {
    QWidget* area = centralWidget();
    render::ViewLayout current;
    current.View1Visible = view1_->isVisible();
    current.View4Visible = view4_ != nullptr && view4_->isVisible();
    current.ViewOffX = ws_->View1.ViewOffX;
    current.ViewOffY = ws_->View1.ViewOffY;
    const bool rotate = Item("mnuView_opengl", 5) != nullptr && Item("mnuView_opengl", 5)->isChecked();
    const render::LayoutResult r =
        render::LayOutViews(ws_->Settings.ViewType, area->width(), area->height(), rotate, current);
    if (r.Changed) {
        const auto place = [](QWidget* w, bool visible, const render::ViewRect& rect) {
            w->setGeometry(rect.X, rect.Y, rect.Width, rect.Height);
            w->setVisible(visible);
        };
        place(view1_, r.Layout.View1Visible, r.Layout.View1);
        if (view4_ != nullptr) {
            place(view4_, r.Layout.View4Visible, r.Layout.View4);
        }
        ws_->View1.ViewOffX = r.Layout.ViewOffX;
        ws_->View1.ViewOffY = r.Layout.ViewOffY;
    }
    if (r.Timer == render::RotationTimer::Enable) {
        rotation_->start();
    } else if (r.Timer == render::RotationTimer::Disable) {
        rotation_->stop();
    }
    view1_->update();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    View_Change();
}

void MainWindow::SetRotating(bool on) {
    if (on && ws_->Settings.ViewType != 0 && view4_ != nullptr) {
        rotation_->start();
    } else {
        rotation_->stop();
    }
}

void MainWindow::RotationTick() {
    if (view4_ == nullptr) {
        return;
    }
    view4_->Renderer().RotationTick();
    view4_->update();
}

void MainWindow::RefreshAll() {
    ++refreshes_;
    UpdateCaption();
    if (view4_ != nullptr) {
        view4_->RebuildLists();
    }
    panels_->ShowTexture(ws_->Model, ws_->Textures);
    if (TextureWindow* texture = FindTextureWindow(*this)) {
        texture->Refresh();
    }
    Draw_All_Views();
}

void MainWindow::Apply(const edit::Change& changed) {
    if (changed.Has(edit::Change::Textures)) {
        RebuildTextureLists(*ws_);
    }
    if (changed.Has(edit::Change::Parts)) {
        ui_.PartTreeChanged();
    }
    if (view4_ != nullptr && (changed.Has(edit::Change::Waypoints) || changed.Has(edit::Change::Selection))) {
        view4_->MarkWaypointListStale();
    }
    if (view4_ != nullptr && changed.Has(edit::Change::Cameras)) {
        view4_->MarkCameraListStale();
    }
    if (view4_ != nullptr && (changed.Has(edit::Change::Path) || changed.Has(edit::Change::Dummies))) {
        view4_->MarkTrackOverlayStale();
    }
    if (!changed.Any()) {
        UpdateCaption();
        return;
    }
    if (dummyWindow_ != nullptr) {
        dummyWindow_->Refresh(); // cheap when the names are the same
    }
    constexpr unsigned kNoModelList = edit::Change::Path | edit::Change::Dummies | edit::Change::Cameras;
    if ((changed.Bits & ~kNoModelList) == 0) {
        // The path, the dummies and the cameras have lists of their own: no model list to
        // rebuild, and drags change them on every move.
        UpdateCaption();
        Draw_All_Views();
        return;
    }
    RefreshAll();
    // After the views, so a distance step the window stores refreshes on its own.
    if (waypointWindow_ != nullptr && waypointWindow_->Refresh(!replaying_) && ws_->WpDisplay.CenterOnWaypoint &&
        waypointCommands_ != nullptr) {
        waypointCommands_->CenterOnWaypoint();
    }
}

void MainWindow::UpdateCaption() {
    if (ws_->Model.HasModel()) {
        setWindowTitle(ToQString(Caption(*ws_)));
    }
    const edit::History& h = ws_->History;
    if (QAction* undo = Item("mnuEdit", 0)) {
        undo->setText(ToQString("&Undo " + h.UndoName()).trimmed());
        undo->setEnabled(h.CanUndo());
    }
    if (QAction* redo = Item("mnuEdit", 1)) {
        redo->setText(ToQString("&Redo " + h.RedoName()).trimmed());
        redo->setEnabled(h.CanRedo());
    }
    if (QAction* b = Button("undo")) {
        b->setEnabled(h.CanUndo());
    }
    if (QAction* b = Button("redo")) {
        b->setEnabled(h.CanRedo());
    }
}

void MainWindow::UndoCommand() {
    ws_->History.StopCollating();
    replaying_ = true;
    Apply(Undo(*ws_));
    replaying_ = false;
}

void MainWindow::RedoCommand() {
    ws_->History.StopCollating();
    replaying_ = true;
    Apply(Redo(*ws_));
    replaying_ = false;
}

void MainWindow::Draw_All_Views() {
    const int type = ws_->Settings.ViewType;
    if (type != 4) {
        view1_->update();
    }
    if (type != 0 && view4_ != nullptr) {
        view4_->update();
    }
}

void MainWindow::LoadFiles(const QStringList& paths) {
    std::vector<std::string> models;
    std::vector<std::string> others; // waypoint and path files, opened by their menus' opens
    for (const QString& p : paths) {
        std::string path = ToCore(p);
        const std::string upper = model::UpperAscii(path);
        (upper.ends_with(".AIW") || upper.ends_with(".ZVP") ? others : models).push_back(std::move(path));
    }
    if (!models.empty() && !LoadModels(models)) {
        return;
    }
    for (const std::string& path : others) {
        if (model::UpperAscii(path).ends_with(".AIW")) {
            if (waypointCommands_ != nullptr) {
                waypointCommands_->OpenFile(path);
            }
        } else if (pathCommands_ != nullptr) {
            pathCommands_->OpenFile(path);
        }
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    event->acceptProposedAction();
    LoadFiles(paths);
}

bool MainWindow::FunctionKey(int key, bool shift, bool ctrl) {
    if (waypointCommands_ != nullptr && waypointCommands_->Key(key, shift, ctrl)) {
        return true;
    }
    if (pathCommands_ != nullptr && pathCommands_->Key(key, shift, ctrl)) {
        return true;
    }
    if (shift || ctrl || WorkingMode() == "edit_wp") {
        return false; // the waypoint edit mode has keys of its own on F1 to F10
    }
    switch (key) {
    case Qt::Key_F1:
        if (auto* bar = findChild<QToolBar*>(QStringLiteral("Toolbar2"))) {
            bar->setVisible(!bar->isVisible());
        }
        return true;
    case Qt::Key_F2:
        if (PartsWindow* parts = FindPartsWindow(*this)) {
            parts->ToggleVisible();
        }
        return true;
    case Qt::Key_F3:
        if (dummyWindow_ != nullptr) {
            dummyWindow_->ToggleVisible();
        }
        return true;
    case Qt::Key_F5:
        if (TextureWindow* texture = FindTextureWindow(*this)) {
            texture->ToggleVisible();
        }
        return true;
    case Qt::Key_F9:
        model::RecalcNormals(ws_->Model);
        render::gl::GlView::CycleRenderType(ws_->Settings);
        RefreshAll();
        return true;
    case Qt::Key_F12:
        model::ShowModelInfo(ws_->Model, ws_->Textures.TexLoadCount, ui_);
        return true;
    default:
        return false;
    }
}

} // namespace zv::app
