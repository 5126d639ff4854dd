#pragma once
// PicView4: the OpenGL view, a widget with a compatibility-profile context running the OpenGL
// renderer. Loaded textures reach it through the texture table's sink.

#include "render/gl/GlView.h"
#include "textures/TextureSink.h"
#include "workspace/Workspace.h"

#include <QOpenGLWidget>

namespace zv::app {

class GlViewWidget : public QOpenGLWidget {
public:
    GlViewWidget(Workspace& ws, QWidget* parent);
    ~GlViewWidget() override;

    // The context format the renderer asks for: RGBA, double-buffered, 16-bit depth,
    // compatibility profile (display lists). Set as the default before the application starts.
    static QSurfaceFormat RequiredFormat();

    // The model, current-polygon and vertex-point lists are out of date: they are rebuilt once
    // when the view next paints (never while it is hidden), however often this is called.
    void RebuildLists();
    // The same for the vertex-point list alone (a zoom changed its point size).
    void RebuildPointList();
    // The same for the waypoint list (the waypoints, slots, their selection or the display
    // switches changed).
    void MarkWaypointListStale();
    // The same for the scene cameras' list 5 (the cameras changed or their display was ticked);
    // built only while "Display &Cameras (OpenGL)" is ticked.
    void MarkCameraListStale();
    // The same for the track overlay (the path and the dummies, their selection).
    void MarkTrackOverlayStale();
    // Releases the textures and the context's resources before the window goes.
    void Release();

    render::gl::GlView& Renderer() { return gl_; }

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void showEvent(QShowEvent* event) override;

private:
    // Track overlay from the path and the dummies; the context is current.
    void BuildTrackOverlay();

    // Makes the context current around each upload, which may come from any command.
    class Sink final : public textures::TextureSink {
    public:
        explicit Sink(GlViewWidget& w) : w_(w) {}
        void Upload(int t, int width, int height, std::span<const std::uint8_t> rgba) override;
        void ReleaseAll() override;

    private:
        GlViewWidget& w_;
    };

    Workspace& ws_;
    render::gl::GlView gl_;
    Sink sink_{*this};
    bool ready_ = false;
    bool camerasStale_ = true;
    bool trackStale_ = true;
};

} // namespace zv::app
