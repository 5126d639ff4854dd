#pragma once
// "Map Polygon Group to Texture": the texture list, six direction buttons and a picture that
// shows the texture with the selected polygons projected over it; the mouse zooms and pans the
// projection, and OK makes the projection the polygons' texture coordinates.

#include "app/ToolWindows.h"
#include "edit/TextureOps.h"

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace zv::app {

class MainWindow;

// The drawing of the mapping window: paints a back buffer, and reports mouse gestures.
class MapPicture : public QWidget {
public:
    explicit MapPicture(QWidget* parent);

    QImage& Buffer() { return buffer_; }
    const QImage& Buffer() const { return buffer_; }

    // A click without moving (left true for the left button).
    std::function<void(bool left)> OnClick;
    // One mouse step of a left drag: true when the pointer moved up.
    std::function<void(bool up)> OnZoomDrag;
    // One mouse step of a right drag: the movement and the point reached.
    std::function<void(QPoint delta, QPoint at)> OnPan;
    // The widget was resized: the buffer must be drawn again.
    std::function<void()> OnResized;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage buffer_;
    Qt::MouseButton button_ = Qt::NoButton;
    QPoint last_;
    bool moved_ = false;
};

class MapTextureWindow : public ToolWindow<QDialog> {
public:
    // Makes the window (hidden, a tool window of w keeping its place in Settings.MapWinPosition)
    // and connects "&Map Polygon Group to Texture".
    explicit MapTextureWindow(MainWindow& w);

    // Shows the window on texture 0 when a polygon is selected; otherwise does nothing.
    void Open();
    // OK: maps the selected polygons as one step, then closes.
    void Apply();
    // The view of a direction button, keeping the centre; redraws.
    void SetDirection(edit::MapDirection d);
    // Draws the texture and the projected selected polygons into the picture's buffer.
    void Draw();

    const edit::PlanarView& View() const { return view_; }
    std::int32_t MapTex() const { return mapTex_; }
    QComboBox* Textures() const { return textures_; }
    QPushButton* Direction(int i) const { return directions_[static_cast<std::size_t>(i)]; }
    MapPicture* Picture() const { return picture_; }
    QLabel* ZoomLabel() const { return zoom_; }
    QLabel* PanLabel(int i) const { return pan_[static_cast<std::size_t>(i)]; }

private:
    // The size of texture t (the unloaded size when it is no texture slot).
    std::array<int, 2> TextureSize(std::int32_t t) const;
    void ShowZoom();

    MainWindow& w_;
    edit::PlanarView view_;
    std::int32_t mapTex_ = 0;
    QComboBox* textures_;
    std::array<QPushButton*, 6> directions_{};
    MapPicture* picture_;
    QLabel* zoom_;
    std::array<QLabel*, 2> pan_{};
};

} // namespace zv::app
