#pragma once
// The "Select by Texture" and "Select by Facing" panels of the Polygon menu.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace zv::app {

class MainWindow;

// Pic_TexReplace as "Select by texture": one list of the texture slots (Combo4, kept aligned by
// the user-interface port); OK selects the polygons of the chosen texture.
class TextureSelectPanel : public QDialog {
public:
    explicit TextureSelectPanel(MainWindow& w);
    QComboBox* List() const { return list_; }
    QComboBox* NewList() const { return newList_; }
    // Select mode ("Select by Texture", one list) or replace mode ("Replace Texture": the old
    // texture in the first list, the new one in Combo5), then shown modally.
    void Open(bool replace);
    bool Replacing() const { return replace_; }
    // What OK does: selects by the chosen texture, or replaces it on the selected polygons.
    void Apply();

private:
    MainWindow& w_;
    QComboBox* list_;
    QComboBox* newList_;
    bool replace_ = false;
};

// Pic_TexFacing: an angle and six boxes (+X, -X, +Y, -Y, +Z, -Z); OK selects the polygons
// facing that way and shows the cosine it compared with.
class FacingSelectPanel : public QDialog {
public:
    explicit FacingSelectPanel(MainWindow& w);
    QLineEdit* Angle() const { return angle_; }
    QCheckBox* Box(int i) const { return boxes_[i]; }
    QLabel* Cosine() const { return cosine_; }
    void Apply();

private:
    MainWindow& w_;
    QLineEdit* angle_;
    QCheckBox* boxes_[6];
    QLabel* cosine_;
};

// Connects "Select by Texture" and "Select by Facing" (mnuFace 15, 16) to their panels, made
// once and kept by the window.
void ConnectSelectPanels(MainWindow& w);

} // namespace zv::app
