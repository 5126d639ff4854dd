#pragma once
// The texture window (F5): the current polygon's texture with its outline, the current
// corner's texture coordinates (typed, or set by clicking and dragging on the texture), and
// the polygon's texture, surface type and colour with "Apply" and three group commands. It
// follows the current polygon whenever the main window refreshes.

#include "app/ToolWindows.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zv::app {

class MainWindow;
class TextureWindow;

// Pict_Tex: the texture at its display scale, the outline of the current polygon and a dot on
// the current corner; the left button sets the current corner where it points.
class TexturePicture : public QWidget {
public:
    explicit TexturePicture(TextureWindow& owner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TextureWindow& owner_;
};

class TextureWindow : public ToolWindow<QDialog> {
public:
    // A hidden tool window of w, keeping its place in Settings.TexWinPosition.
    explicit TextureWindow(MainWindow& w);

    // Shows or hides the window (F5); a window that comes up shows the current state.
    void ToggleVisible();
    // Reads the current polygon, corner and vertex again and redraws.
    void Refresh();

    TexturePicture* Picture() const { return picture_; }
    QLineEdit* Coordinate(int i) const { return coords_[static_cast<std::size_t>(i)]; }
    QCheckBox* ShowNormalised() const { return normalised_; }
    QComboBox* Textures() const { return textures_; }
    QComboBox* Presets() const { return presets_; }
    QCheckBox* Bit(int i) const { return bits_[static_cast<std::size_t>(i)]; }
    QLineEdit* Colour(int i) const { return colours_[static_cast<std::size_t>(i)]; }
    QLabel* PolygonLabel() const { return polygonLabel_; }
    QLabel* VertexLabel() const { return vertexLabel_; }

protected:
    // The cycling and selection keys work here as in the main window, TAB included (which
    // would otherwise move the focus between the controls).
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class TexturePicture;
    // The texture shown: the current polygon's, or the one chosen in the list.
    int ShownTexture() const;
    int TextureWidth() const;
    int TextureHeight() const;
    double Scale() const;
    void PointAt(double x, double y, bool pressed);
    void StoreTyped(int axis);
    void ShowCoordinates();
    void ApplyToPolygon();
    QImage TextureImage(int tex) const;

    MainWindow& w_;
    TexturePicture* picture_;
    std::array<QLineEdit*, 2> coords_{};
    QCheckBox* normalised_;
    QComboBox* textures_;
    QComboBox* presets_;
    std::array<QCheckBox*, 16> bits_{};
    std::array<QLineEdit*, 4> colours_{};
    QLabel* polygonLabel_;
    QLabel* vertexLabel_;
    std::uint64_t drag_ = 0; // the gesture of a corner drag, one history step
};

// Finds the window's texture window; null when there is none.
TextureWindow* FindTextureWindow(MainWindow& w);

} // namespace zv::app
