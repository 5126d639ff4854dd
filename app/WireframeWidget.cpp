#include "app/WireframeWidget.h"

#include "app/QPainterCanvas.h"
#include "render/WireframeView.h"
#include "track/Dummies.h"
#include "track/PathDrawing.h"
#include "waypoints/WaypointDrawing.h"

#include <QPainter>

namespace zv::app {
namespace {

// The waypoints, the dummies and the path share the wireframe view's overlay.
class ViewOverlays : public render::Overlays {
public:
    explicit ViewOverlays(const Workspace& ws)
        : waypoints_(ws.Waypoints, ws.WpDisplay), dummies_(ws.Dummies), path_(ws.Path) {}
    void DrawWaypoints(render::Canvas& c, const render::WireframeView& v) override {
        waypoints_.DrawWaypoints(c, v);
    }
    void DrawSlots(render::Canvas& c, const render::WireframeView& v) override { waypoints_.DrawSlots(c, v); }
    void DrawDummies(render::Canvas& c, const render::WireframeView& v) override {
        dummies_.DrawDummies(c, v);
    }
    void DrawPath(render::Canvas& c, const render::WireframeView& v) override { path_.DrawPath(c, v); }

private:
    waypoints::WaypointOverlay waypoints_;
    track::DummyOverlay dummies_;
    track::PathOverlay path_;
};

} // namespace

WireframeWidget::WireframeWidget(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
    setObjectName(QStringLiteral("PicView1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus); // a click on the view gives the keys back to the window
}

void WireframeWidget::paintEvent(QPaintEvent*) {
    if (buffer_.size() != size()) {
        buffer_ = QImage(size(), QImage::Format_RGB32);
    }
    ws_.View1.ViewWidth = static_cast<float>(width());
    ws_.View1.ViewHeight = static_cast<float>(height());
    {
        QPainter onImage(&buffer_);
        QPainterCanvas canvas(onImage, background_.isNull() ? nullptr : &background_);
        ViewOverlays overlay(ws_);
        render::DrawView1(ws_.View1, ws_.Model, ws_.Settings, canvas, &overlay);
    }
    QPainter onWidget(this);
    onWidget.drawImage(0, 0, buffer_);
}

} // namespace zv::app
