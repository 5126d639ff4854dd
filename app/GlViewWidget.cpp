#include "app/GlViewWidget.h"

#include "textures/TextureTable.h"

#include <QSurfaceFormat>

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
    gl_.InitGLState(ws_.Settings, width(), height()); // every list stale: the first paint builds
    ready_ = true;
    textures::AttachSink(ws_.Textures, &sink_);
}

void GlViewWidget::resizeGL(int w, int h) {
    gl_.SetViewport(ws_.Settings, w, h);
}

void GlViewWidget::paintGL() {
    gl_.BuildStaleLists(ws_.Model, ws_.Settings, ws_.Textures, ws_.View1.ShowVertices);
    gl_.BuildStaleWaypointList(ws_.Waypoints, ws_.WpDisplay);
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
