#include "app/GlViewWidget.h"

#include "textures/TextureTable.h"

#include <QSurfaceFormat>

#include <vector>

namespace zv::app {

GlViewWidget::GlViewWidget(Workspace& ws, QWidget* parent) : QOpenGLWidget(parent), ws_(ws) {
    setObjectName(QStringLiteral("PicView4"));
    gl_.FollowProvider = [this] { return render::gl::FollowWaypointLook(ws_.Waypoints); };
}

GlViewWidget::~GlViewWidget() {
    Release();
}

QSurfaceFormat GlViewWidget::RequiredFormat() {
    QSurfaceFormat f;
    f.setRenderableType(QSurfaceFormat::OpenGL);
    f.setProfile(QSurfaceFormat::CompatibilityProfile);
    f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    f.setDepthBufferSize(16);
    f.setAlphaBufferSize(0);
    return f;
}

void GlViewWidget::initializeGL() {
    // Every list stale, also the ones this widget builds: the first paint builds them.
    gl_.InitGLState(ws_.Settings, width(), height());
    camerasStale_ = true;
    trackStale_ = true;
    ready_ = true;
    textures::AttachSink(ws_.Textures, &sink_);
}

void GlViewWidget::resizeGL(int w, int h) {
    gl_.SetViewport(ws_.Settings, w, h);
}

void GlViewWidget::paintGL() {
    gl_.BuildStaleLists(ws_.Model, ws_.Settings, ws_.Textures, ws_.View1.ShowVertices);
    gl_.BuildStaleWaypointList(ws_.Waypoints, ws_.WpDisplay);
    if (camerasStale_ && gl_.Switches.DisplayCameras) {
        std::vector<model::VertRec> cameras;
        cameras.reserve(ws_.Cameras.Pos.size());
        for (const track::Vec3& p : ws_.Cameras.Pos) {
            cameras.push_back({p[0], p[1], p[2]});
        }
        gl_.BuildCameraList(cameras);
        camerasStale_ = false;
    }
    if (trackStale_) {
        BuildTrackOverlay();
    }
    gl_.Switches.FollowWaypoints = ws_.WpDisplay.FollowWaypoints;
    gl_.Display(ws_.Settings);
}

void GlViewWidget::showEvent(QShowEvent* event) {
    QOpenGLWidget::showEvent(event);
    if (gl_.ListsStale()) {
        update(); // changes made while hidden were only marked
    }
}

void GlViewWidget::RebuildLists() {
    gl_.MarkListsStale();
    update();
}

void GlViewWidget::RebuildPointList() {
    gl_.MarkPointListStale();
    update();
}

void GlViewWidget::MarkWaypointListStale() {
    gl_.MarkWaypointListStale();
    update();
}

void GlViewWidget::MarkCameraListStale() {
    camerasStale_ = true;
    update();
}

void GlViewWidget::MarkTrackOverlayStale() {
    trackStale_ = true;
    update();
}

void GlViewWidget::BuildTrackOverlay() {
    std::vector<model::VertRec> path;
    path.reserve(ws_.Path.Pts.size());
    for (const track::Vec3& p : ws_.Path.Pts) {
        path.push_back({p[0], p[1], p[2]});
    }
    std::vector<render::gl::TrackMark> dummies;
    dummies.reserve(ws_.Dummies.Items.size());
    for (const track::Dummy& d : ws_.Dummies.Items) {
        dummies.push_back({{d.Pos[0], d.Pos[1], d.Pos[2]}, d.Sel});
    }
    gl_.BuildTrackOverlay(path, dummies);
    trackStale_ = false;
}

void GlViewWidget::Release() {
    if (!ready_) {
        return;
    }
    if (ws_.Textures.Sink == &sink_) {
        ws_.Textures.Sink = nullptr;
    }
    makeCurrent();
    gl_.ReleaseTextures();
    doneCurrent();
    ready_ = false;
}

void GlViewWidget::Sink::Upload(int t, int width, int height, std::span<const std::uint8_t> rgba) {
    w_.makeCurrent();
    w_.gl_.UploadTexture(t, width, height, rgba);
    w_.doneCurrent();
}

void GlViewWidget::Sink::ReleaseAll() {
    w_.makeCurrent();
    w_.gl_.ReleaseTextures();
    w_.doneCurrent();
}

} // namespace zv::app
