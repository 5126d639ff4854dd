#pragma once
// The Path menu (open and save path files, the path from the AI line), the track-builder panel
// of Toolbar4's "create_part" tool, and the path keys Ctrl R and Ctrl T. Every change runs as
// one step of the history through the main window.

#include "track/TrackGenerator.h"

#include <QObject>

#include <array>
#include <optional>
#include <string>

class QGridLayout;
class QLineEdit;
class QWidget;

namespace zv::app {

class MainWindow;

class PathCommands : public QObject {
public:
    // Connects the Path menu's items and makes the track-builder panel (hidden until the tool
    // is chosen).
    explicit PathCommands(MainWindow& w);

    // Ctrl R (a new path at the cursor) and Ctrl T (a point appended at the cursor), outside
    // the waypoint edit mode; false for other keys or in that mode.
    bool Key(int key, bool shift, bool ctrl);

    // "Open" with the file already chosen: the file's points are appended as one step.
    void OpenFile(const std::string& path);
    // The save dialog and writer; true when the path was written.
    bool Save();
    // The panel's "New": a path of one point at the last point picked in the wireframe view
    // (the cursor when nothing was picked yet).
    void NewPathAtPick();
    // The piece length of the track builder, from Txt_depth (0 when it is not a number, which
    // the builder refuses).
    float PieceLength() const;
    // The panel's "Create": the track generator over the path with the panel's strips, as one
    // step. A width or split distance that is not a number is named in a message box and
    // nothing happens; nothing happens either for an empty path.
    void CreateTrack();
    // The strips and split distance as the panel holds them; nullopt, after the message naming
    // the first field that is not a number.
    std::optional<track::TrackSection> ReadSection();
    QWidget* BuilderPanel() const { return panel_; }

private:
    void Open();
    void FromWaypoints();
    void BuildPanel();
    void BuildStrips(QGridLayout& grid);
    QLineEdit* AddField(QGridLayout& grid, const QString& name, const QString& text, int row, int column);

    MainWindow& w_;
    QWidget* panel_ = nullptr;
    QLineEdit* depth_ = nullptr;
    std::array<QLineEdit*, track::kStrips> widths_{};
    std::array<QLineEdit*, track::kStrips> textures_{};
    QLineEdit* split_ = nullptr;
};

// The window's path commands, made at start-up; null before.
PathCommands* FindPathCommands(MainWindow& w);

} // namespace zv::app
