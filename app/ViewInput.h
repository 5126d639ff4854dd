#pragma once
// Mouse gestures on both views and the keys of the main window, turned into the core's
// navigation, picking and selection operations.

#include "render/Navigation.h"
#include "workspace/Gestures.h"

#include <QObject>

class QLabel;
class QRubberBand;

namespace zv::app {

class GlViewWidget;
class MainWindow;

class ViewInput : public QObject {
public:
    // Watches the views and the keys of w for its lifetime (it is a child of w).
    explicit ViewInput(MainWindow& w);
    // Stops watching; the window calls it when it shuts down, before it is taken apart.
    void Detach();
    // The mouse state of the views (the model position under the cursor), and the gestures'
    // state (the last point picked in the wireframe view).
    const render::MouseState& Mouse() const { return mouse_; }
    const GestureState& Gesture() const { return gesture_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool WireframeEvent(QEvent* event);
    bool GlEvent(QEvent* event);
    bool KeyEvent(QEvent* event);
    bool GlKey(int key, bool shift, bool ctrl);
    bool EditKey(int key, bool shift, bool ctrl);
    void Apply(const render::ViewEffect& effect, bool release = false);
    render::ToolMode Mode() const;

    MainWindow& w_;
    QWidget* view1_;
    GlViewWidget* view4_;
    QRubberBand* band_;
    render::MouseState mouse_;
    GestureState gesture_;
};

} // namespace zv::app
