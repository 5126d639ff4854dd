#pragma once
// Where the editor's tool windows open: beside the main window the first time, then where the
// user left them, as the settings keep it. A place is the window's frame position (what
// QWidget::pos and move use for a window) with its client size (size and resize), so a stored
// place comes back unchanged whatever frames the window manager draws.

#include "config/Settings.h"

#include <QHideEvent>
#include <QMoveEvent>
#include <QRect>
#include <QResizeEvent>
#include <QShowEvent>
#include <QSize>
#include <QWidget>

#include <span>

namespace zv::app {

// The frame rectangle of a tool window of the given frame size opened for the first time:
// right of the main window's frame when the screen has room, else left of it, else inside the
// main window at the right edge of mainClient (its area below the menu bar and toolbars) and
// never above mainClient's top. index counts the tool windows already open; each one more starts
// a caption lower, so windows opened together do not hide each other's captions. The result lies
// within screen (an empty screen limits nothing).
QRect FirstPlace(const QRect& mainFrame, const QRect& mainClient, QSize size, const QRect& screen, int index);

// stored when the user can still reach it (a grip of its top edge, where the caption is, lies on
// one of screens); else stored moved and shrunk into fallback, as FitIntoScreen does.
QRect ReachablePlace(const QRect& stored, std::span<const QRect> screens, const QRect& fallback);

// Moves and sizes tool: by FirstPlace beside main when stored was never placed (Left and Top 0),
// else at stored, brought back onto main's screen when out of reach. The size is stored's when
// positive, else tool's size hint (never below its minimum size).
void PlaceToolWindow(QWidget& tool, QWidget& main, const config::WindowPosition& stored);
// Writes tool's frame position and client size into stored.
void StorePlace(const QWidget& tool, config::WindowPosition& stored);

// A tool window of main (Qt::Tool with main as parent: on X11 it stays above main and is
// minimised with it) that keeps its place in a settings entry: placed whenever the program shows
// it (not when it comes back with a restored main window), stored whenever it moves, changes size
// or is hidden. Base is QWidget or QDialog; a window without a parent is never placed.
template <class Base> class ToolWindow : public Base {
public:
    ToolWindow(QWidget* main, config::WindowPosition& place) : Base(main, Qt::Tool), place_(place) {}

    // Writes the window's place into its settings entry now.
    void StoreGeometry() { StorePlace(*this, place_); }

protected:
    void showEvent(QShowEvent* event) override {
        Base::showEvent(event); // first: a dialog centres itself over its parent here
        if (!event->spontaneous() && this->parentWidget() != nullptr) {
            PlaceToolWindow(*this, *this->parentWidget(), place_);
            placed_ = true;
        }
    }
    void hideEvent(QHideEvent* event) override {
        if (placed_ && !event->spontaneous()) {
            StoreGeometry();
        }
        Base::hideEvent(event);
    }
    void moveEvent(QMoveEvent* event) override {
        Base::moveEvent(event);
        if (placed_ && this->isVisible()) {
            StoreGeometry();
        }
    }
    void resizeEvent(QResizeEvent* event) override {
        Base::resizeEvent(event);
        if (placed_ && this->isVisible()) {
            StoreGeometry();
        }
    }

private:
    config::WindowPosition& place_;
    bool placed_ = false; // moves before the first placement are Qt's, not the user's
};

} // namespace zv::app
