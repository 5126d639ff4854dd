#pragma once
// The input panels of the vertex and transform commands: a small modal frame over the main
// window with numeric boxes, optional check boxes, and OK (Enter) and Cancel (Esc) buttons.
// Focus goes to the first box with its text selected; entering a box selects its text; a box
// that is not numeric keeps the focus; the boxes keep their last contents between uses.

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace zv::app {

// Blanks around a number are allowed; anything else makes the text non-numeric.
bool IsNumeric(const QString& text);

class InputPanel : public QDialog {
public:
    struct Layout {
        QString Name;                // object name, e.g. "Pic_V_Add"
        QString Title;               // window title
        QString BoxName;             // boxes are BoxName(0) .. BoxName(n - 1), or BoxName alone
        std::vector<QString> Labels; // one label per box
        QString CheckName;           // check boxes CheckName(0) .. (n - 1); empty for none
        std::vector<QString> Checks;
        QString ButtonName;     // buttons ButtonName(0) OK and ButtonName(1) Cancel
        bool SingleBox = false; // the one box is named BoxName without an index
        bool FreeText = false;  // boxes may hold anything (empty boxes are skipped by the command)
        QString BoxText = QStringLiteral("0"); // what every box holds at first
    };

    InputPanel(QWidget& owner, const Layout& layout);

    QLineEdit* Box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
    QCheckBox* Check(int i) const { return checks_[static_cast<std::size_t>(i)]; }
    int Boxes() const { return static_cast<int>(boxes_.size()); }
    QPushButton* Ok() const { return ok_; }
    QPushButton* Cancel() const { return cancel_; }
    QGridLayout* Grid() const { return grid_; }

    // The numbers of every box, or nullopt (the first non-numeric box gets the focus).
    std::optional<std::vector<double>> Values();
    // Shows the panel modally without blocking; focus to the first box, text selected.
    void Open();
    // What OK does; returns whether the panel closes (false: it stays open).
    std::function<bool()> OnOk;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<QLineEdit*> boxes_;
    std::vector<QCheckBox*> checks_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QGridLayout* grid_;
    bool freeText_ = false;
};

} // namespace zv::app
