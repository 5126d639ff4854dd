#pragma once
// The Polygon menu's editing commands with their panels (add/change polygon, goto), the
// surface panel of "Set Group Surface Type", and the polygon keys Ctrl D, Ctrl L and
// Ctrl NumPad + / -.

#include <QDialog>
#include <QObject>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace zv::app {

class InputPanel;
class MainWindow;

// The surface panel: which of type, colour and texture to set, the sixteen type bits with the
// preset list, four colour boxes with a preview, and the texture list.
class SurfacePanel : public QDialog {
public:
    explicit SurfacePanel(MainWindow& w);

    // Fills the boxes from the current polygon (when there is one) and shows the panel.
    void Open();
    // OK: sets the surface of the selected polygons as one step, then closes.
    void Apply();

    QCheckBox* Option(int i) const { return options_[static_cast<std::size_t>(i)]; }
    QCheckBox* Bit(int i) const { return bits_[static_cast<std::size_t>(i)]; }
    QLineEdit* Colour(int i) const { return colours_[static_cast<std::size_t>(i)]; }
    QComboBox* Presets() const { return presets_; }
    QListWidget* Textures() const { return textures_; }
    QLabel* Preview() const { return preview_; }

private:
    void ShowBits(int type);
    void ColourEdited(int i);

    MainWindow& w_;
    std::array<QCheckBox*, 3> options_{};
    std::array<QCheckBox*, 16> bits_{};
    std::array<QLineEdit*, 4> colours_{};
    QComboBox* presets_;
    QListWidget* textures_;
    QLabel* preview_;
};

class PolygonCommands : public QObject {
public:
    // Makes the panels (hidden) and connects the Polygon menu and "Set Group Surface Type".
    explicit PolygonCommands(MainWindow& w);

    InputPanel* PolygonPanel() const { return polygon_; }
    InputPanel* GotoPanel() const { return goto_; }
    SurfacePanel* Surface() const { return surface_; }

    void OpenAdd();
    void OpenChange();
    void OpenGoto();
    // Ctrl D, Ctrl L, Ctrl NumPad + and Ctrl NumPad -; true when the key was one of them.
    bool Key(int key, bool shift, bool ctrl, bool keypad);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool PolygonOk();

    MainWindow& w_;
    InputPanel* polygon_;
    InputPanel* goto_;
    SurfacePanel* surface_;
    bool changing_ = false; // the polygon panel was opened by "Change"
};

// Finds the window's polygon commands; null when there are none.
PolygonCommands* FindPolygonCommands(MainWindow& w);

} // namespace zv::app
