#include "app/ToolWindows.h"

#include "app/MainWindow.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

#include <algorithm>
#include <vector>

namespace zv::app {
namespace {

// About one caption's height: how much lower each further first-time window starts.
constexpr int kStackStep = 30;
// The part of a window's top edge the user needs on a screen to drag it back.
constexpr int kGrip = 32;

// The main window's area below its menu bar and toolbars, in screen coordinates.
QRect ClientArea(const QWidget& main) {
    const auto* frame = qobject_cast<const QMainWindow*>(&main);
    const QWidget* central = frame != nullptr ? frame->centralWidget() : nullptr;
    if (central == nullptr) {
        return main.geometry();
    }
    return {central->mapToGlobal(QPoint(0, 0)), central->size()};
}

const QScreen* ScreenOf(const QWidget& main) {
    const QScreen* screen = QGuiApplication::screenAt(main.frameGeometry().center());
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

// How many other tool windows of main are open, for FirstPlace's index.
int OpenToolWindows(const QWidget& tool, const QWidget& main) {
    const auto children = main.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    return static_cast<int>(std::count_if(children.begin(), children.end(), [&](const QWidget* w) {
        return w != &tool && w->isWindow() && w->windowType() == Qt::Tool && w->isVisible();
    }));
}

} // namespace

QRect FirstPlace(const QRect& mainFrame, const QRect& mainClient, QSize size, const QRect& screen,
                 int index) {
    const int top = mainFrame.top() + index * kStackStep;
    if (screen.isEmpty() || mainFrame.right() + size.width() <= screen.right()) {
        return FitIntoScreen(QRect(QPoint(mainFrame.right() + 1, top), size), screen);
    }
    if (mainFrame.left() - size.width() >= screen.left()) {
        return FitIntoScreen(QRect(QPoint(mainFrame.left() - size.width(), top), size), screen);
    }
    // No room beside it: over the main window's views, which the menus and toolbars stay clear of.
    QRect below = screen;
    below.setTop(std::max(screen.top(), mainClient.top()));
    QRect place(QPoint(0, mainClient.top() + index * kStackStep), size);
    place.moveRight(mainClient.right());
    return FitIntoScreen(place, below);
}

QRect ReachablePlace(const QRect& stored, std::span<const QRect> screens, const QRect& fallback) {
    const QRect grip(stored.topLeft(), QSize(stored.width(), std::min(stored.height(), kGrip)));
    const int needed = std::min(grip.width(), kGrip);
    for (const QRect& screen : screens) {
        const QRect on = grip & screen;
        if (on.width() >= needed && on.height() == grip.height()) {
            return stored;
        }
    }
    return FitIntoScreen(stored, fallback);
}

void PlaceToolWindow(QWidget& tool, QWidget& main, const config::WindowPosition& stored) {
    const QSize hint = tool.sizeHint();
    const QSize size = QSize(stored.Width > 0 ? stored.Width : hint.width(),
                             stored.Height > 0 ? stored.Height : hint.height())
                           .expandedTo(tool.minimumSize());
    const QScreen* screen = ScreenOf(main);
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    QRect place;
    if (stored.Left == 0 && stored.Top == 0) {
        // The tool's frame is not known before it is first shown: the main window's is the guess.
        const QSize frame = main.frameGeometry().size() - main.geometry().size();
        place = FirstPlace(main.frameGeometry(), ClientArea(main), size + frame, area,
                           OpenToolWindows(tool, main));
        place.setSize(place.size() - frame);
    } else {
        std::vector<QRect> screens;
        for (const QScreen* s : QGuiApplication::screens()) {
            screens.push_back(s->availableGeometry());
        }
        place = ReachablePlace(QRect(QPoint(stored.Left, stored.Top), size), screens, area);
    }
    tool.resize(place.size());
    tool.move(place.topLeft());
}

void StorePlace(const QWidget& tool, config::WindowPosition& stored) {
    stored = {tool.x(), tool.y(), tool.width(), tool.height()};
}

} // namespace zv::app
