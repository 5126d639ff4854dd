#pragma once
// The status bar of the main window: the state text, the wireframe view's orientation with its
// axis indicator, the cursor read-outs, the current polygon's texture and the snap controls.

#include "config/Settings.h"
#include "model/ModelStore.h"
#include "render/CursorReadout.h"
#include "textures/TextureTable.h"

#include <QWidget>

#include <string>

class QLabel;
class QStatusBar;
class QToolButton;

namespace zv::app {

// Two short lines, one along the screen's horizontal axis and one along its vertical axis,
// each in the colour of the model axis it shows (as the OpenGL view's axes: X blue, Y red,
// Z yellow) with its head at the end where the model value grows.
class AxisIndicator : public QWidget {
public:
    explicit AxisIndicator(QWidget* parent);
    void SetOrientation(int orient);
    QSize sizeHint() const override { return {28, 22}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int orient_ = 0;
};

class StatusPanels {
public:
    // Adds the panels to bar; the first (state) panel is StatusBar1_Panel1.
    explicit StatusPanels(QStatusBar& bar);

    QLabel* State() const { return state_; }
    // The orientation caption (Label_Orient), the indicator, and both read-outs reset to the
    // orientation's "---" texts.
    void ShowOrientation(int orient);
    void ShowReadout(const render::CursorReadout& r);
    void ShowZoom(float zoom);
    // button_snap follows "Snap Vertices", info_snap shows the snap grid size.
    void ShowSnap(const config::GridProperties& grid);
    // Pic_Texture: the loaded image of the current polygon's texture, 32 by 32; empty without
    // a current polygon or a loaded image.
    void ShowTexture(const model::ModelStore& m, const textures::TextureTable& t);

    // The information panel (counts after a load, the current waypoint).
    void ShowInfo(const std::string& text);
    QLabel* Info() const { return info_; }
    // The distance read-out of the waypoint edit mode ("Dist: ...").
    void ShowDistance(const std::string& text);
    QLabel* Distance() const { return distance_; }

    QToolButton* SnapButton() const { return snap_; }
    QToolButton* SnapRotationButton() const { return snapRot_; }

private:
    QLabel* state_;
    QLabel* info_;
    QLabel* distance_;
    QLabel* orient_;
    AxisIndicator* axes_;
    QLabel* horizontal_;
    QLabel* vertical_;
    QLabel* zoom_;
    QLabel* texture_;
    QToolButton* snap_;
    QLabel* snapInfo_;
    QToolButton* snapRot_;
};

} // namespace zv::app
