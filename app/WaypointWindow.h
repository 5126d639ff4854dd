#pragma once
// FrmWP, the waypoint window (F8): every field of the current waypoint with its display mask,
// the depth profile, the accumulated distance with its check box and "Reset dist. calc.", and
// the editing gestures: typing stores the typed value as one step per field being edited, a
// double click fills the selected waypoints (or mirrors them on a coordinate label), and a
// right click on three fields opens the pop-up menu mnuBar. Showing a waypoint never writes
// into the table.

#include "app/ToolWindows.h"
#include "waypoints/WaypointOps.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace zv::app {

class MainWindow;

// The text a field shows: "X", "Y", "Z" rounded to 8 decimals in their shortest form; "Camber"
// and "Elevation" as "##,##0.000000", widths and scores as "##,##0.0000", the options as
// "##,##0.0000000000"; depth and track part as they are; the integers plainly.
QString WaypointFieldText(const waypoints::WaypointRec& w, waypoints::WpField f);
// A number typed into a field: the display form with its group commas, or any plain decimal;
// nullopt for anything else.
std::optional<double> TypedNumber(const QString& text);
// The depth text as byte values, two hexadecimal digits each (a pair that is not hexadecimal
// counts as 0, a lone last digit is dropped).
std::vector<int> DepthBytes(std::string_view depth);

// The depth profile: the byte values joined left to right, measured up from the bottom edge on
// a scale of 0 to 512.
class DepthProfile : public QWidget {
public:
    explicit DepthProfile(QWidget* parent);
    void SetDepth(std::string_view depth);
    const std::vector<int>& Values() const { return values_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<int> values_;
};

class WaypointWindow : public ToolWindow<QWidget> {
public:
    // A hidden tool window of w, keeping its place in Settings.WPWinPosition.
    explicit WaypointWindow(MainWindow& w);

    // Show_WP_Info: the caption and every field from the current waypoint. When the current
    // waypoint moved since the last call and browsing is true (not an undo or redo), the distance
    // to the previous waypoint is added to the accumulated distance and, with the check box on,
    // stored as the waypoint's "Distance/m" (one step). Returns whether the current waypoint moved.
    bool Refresh(bool browsing = true);
    // The caption after a load: "Waypoints: " and the count.
    void ShowLoaded();
    // F8: shows the window, or hides it (which stores its place).
    void ToggleVisible();

    QLineEdit* Field(waypoints::WpField f) const { return fields_[Index(f)]; }
    QLabel* Label(waypoints::WpField f) const { return labels_[Index(f)]; }
    QLabel* Accumulated() const { return accumulated_; }
    QCheckBox* CalcLength() const { return calcLength_; }
    QPushButton* ResetButton() const { return reset_; }
    DepthProfile* Profile() const { return profile_; }
    QMenu* Popup() const { return popup_; }
    // The accumulated distance the label shows.
    double AccumulatedDistance() const { return distance_; }

    // The Yes/No question of the double clicks (title "Special"); true for Yes. Tests replace it.
    std::function<bool(const QString& text)> AskSpecial;
    // Runs the pop-up menu at a global position. Tests replace it.
    std::function<void(QMenu& menu, const QPoint& at)> RunPopup;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The main window's keys (the waypoint keys among them) work here too.
    void keyPressEvent(QKeyEvent* event) override;

private:
    static std::size_t Index(waypoints::WpField f) { return static_cast<std::size_t>(f); }
    void BuildFields();
    void BuildPopup();
    void ShowField(waypoints::WpField f);
    void FieldEdited(waypoints::WpField f, const QString& text);
    void FillSelected(waypoints::WpField f);
    void Mirror(int axis);
    void OpenPopup(waypoints::WpField f, const QPoint& at);
    void PopupItem(int item);
    void Accumulate();
    void ShowAccumulated();

    MainWindow& w_;
    std::array<QLineEdit*, waypoints::kWpFieldCount> fields_{};
    std::array<QLabel*, waypoints::kWpFieldCount> labels_{};
    DepthProfile* profile_ = nullptr;
    QLabel* accumulated_ = nullptr;
    QCheckBox* calcLength_ = nullptr;
    QPushButton* reset_ = nullptr;
    QMenu* popup_ = nullptr;
    double distance_ = 0;
    int shownWp_ = 0; // the current waypoint of the last refresh
    // The field being typed in, refilled by no refresh while its value is stored, and the
    // collation id of its step (a new one whenever another field or waypoint is edited).
    std::optional<waypoints::WpField> editing_;
    waypoints::WpField popupField_ = waypoints::WpField::Score1;
    bool storing_ = false;
    std::uint64_t editId_ = 0;
    bool editOpen_ = false;
};

// FrmWP of w; null before it is made.
WaypointWindow* FindWaypointWindow(MainWindow& w);

} // namespace zv::app
