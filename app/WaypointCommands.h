#pragma once
// The Waypoint menu (open and save AIW files, insert, delete, reverse, the display switches,
// the pit lane, heights, straightening, track parts) and the keys of the waypoint edit mode.
// Every change runs as one step of the history through the main window.

#include <QObject>

#include <string>

namespace zv::app {

class MainWindow;

class WaypointCommands : public QObject {
public:
    // Connects the Waypoint menu's items; the display switches start as the workspace has them.
    explicit WaypointCommands(MainWindow& w);

    // The keys of the waypoint edit mode: F1 to F4 (width from the measured distance), F5 and
    // Shift F5 (next / previous waypoint), F6 (toggle selection), F7 (Bezier editing on and
    // off), F10 (Bezier heights or x and z), Ctrl I (insert), Ctrl D (delete); and F8 (the
    // waypoint window) in every mode. False when the key is not one of them in the current mode.
    bool Key(int key, bool shift, bool ctrl);

    // "&Open SCGT/F1CS Aiw-File" with the file already chosen.
    void OpenFile(const std::string& path);
    // The save dialog and writer of a dialect; true when the waypoints were written (the history
    // then counts them as saved).
    bool Save(bool f1cs);
    // Centres the wireframe view on the current waypoint and redraws; nothing without one.
    void CenterOnWaypoint();

private:
    void Open();
    void Connect(int index, void (WaypointCommands::*command)());
    template <class Op> void Step(const char* name, Op op);
    void ToggleDisplay(int index, bool& flag);
    void FollowWaypoints();
    void CenterCommand();
    void PitLane();
    void AdjustHeight();
    void MakeStraight();
    void Reverse();
    void CalcTrackParts();
    void StepCurrent(bool back);

    MainWindow& w_;
};

// The window's Waypoint menu commands, made at start-up; null before.
WaypointCommands* FindWaypointCommands(MainWindow& w);

} // namespace zv::app
