// Where the tool windows open: beside the main window the first time and never over its menus
// and toolbars, then where the user left them, brought back when that is off every screen.

#include "BoxWindowTest.h"

#include "app/DummyWindow.h"
#include "app/PartsWindow.h"
#include "app/TextureWindow.h"
#include "app/ToolWindows.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace zv::app {
namespace {

// The strip of the main window above mainClient: its caption, menu bar and toolbars.
QRect Strip(const QRect& mainFrame, const QRect& mainClient) {
    return {mainFrame.topLeft(), QPoint(mainFrame.right(), mainClient.top() - 1)};
}

TEST(FirstPlaceTest, RightOfTheMainWindowElseLeftElseBelowItsToolbars) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(300, 400);
    // Room on the right; a second window starts a caption lower.
    const QRect main(100, 50, 1000, 800);
    const QRect client(104, 150, 992, 680);
    EXPECT_EQ(FirstPlace(main, client, size, screen, 0), QRect(1100, 50, 300, 400));
    EXPECT_EQ(FirstPlace(main, client, size, screen, 1), QRect(1100, 80, 300, 400));
    // Room only on the left.
    EXPECT_EQ(FirstPlace(main.translated(700, 0), client.translated(700, 0), size, screen, 0),
              QRect(500, 50, 300, 400));

    // No room beside it: at the right edge of the views, below the toolbars, even when the
    // window is taller than the room left there or is a later one pushed down to the bottom.
    const QRect full(0, 0, 1920, 1040);
    const QRect views(0, 90, 1920, 900);
    EXPECT_EQ(FirstPlace(full, views, size, screen, 0), QRect(1620, 90, 300, 400));
    EXPECT_EQ(FirstPlace(full, views, size, screen, 1), QRect(1620, 120, 300, 400));
    for (const QSize tall : {QSize(300, 1200), QSize(2500, 1000)}) {
        for (int index : {0, 30}) {
            const QRect place = FirstPlace(full, views, tall, screen, index);
            EXPECT_FALSE(place.intersects(Strip(full, views))) << index;
            EXPECT_TRUE(screen.contains(place)) << index;
        }
    }
}

TEST(ReachablePlaceTest, APlaceOffEveryScreenComesBackOntoTheMainScreen) {
    const QRect left(0, 0, 1280, 1024);
    const std::vector<QRect> both{left, QRect(1280, 0, 1920, 1080)};
    const QRect onSecond(2000, 100, 300, 400);
    EXPECT_EQ(ReachablePlace(onSecond, both, left), onSecond);
    // Hanging off an edge, but its caption can still be dragged.
    const QRect hanging(1200, 900, 300, 400);
    EXPECT_EQ(ReachablePlace(hanging, std::vector<QRect>{left}, left), hanging);
    // The second monitor is gone, or the caption lies above the screen.
    EXPECT_EQ(ReachablePlace(onSecond, std::vector<QRect>{left}, left), QRect(980, 100, 300, 400));
    EXPECT_EQ(ReachablePlace(QRect(100, -50, 300, 400), both, left), QRect(100, 0, 300, 400));
}

class ToolWindowsTest : public BoxWindowTest {
protected:
    QRect MainStrip() {
        const QWidget* views = w.centralWidget();
        return Strip(w.frameGeometry(), QRect(views->mapToGlobal(QPoint(0, 0)), views->size()));
    }
    void ExpectToolOfMain(const QWidget& tool) {
        EXPECT_EQ(tool.windowType(), Qt::Tool) << tool.objectName().toStdString();
        EXPECT_EQ(tool.parentWidget(), &w) << tool.objectName().toStdString();
        EXPECT_FALSE(tool.frameGeometry().intersects(MainStrip())) << tool.objectName().toStdString();
    }
};

TEST_F(ToolWindowsTest, OpenClearOfTheToolbarsThenWhereTheUserLeftThem) {
    // The main window fills the offscreen screen: no room beside it.
    PartsWindow& parts = *FindPartsWindow(w);
    TextureWindow& texture = *FindTextureWindow(w);
    DummyWindow& dummies = *FindDummyWindow(w);
    for (QWidget* tool :
         {static_cast<QWidget*>(&parts), static_cast<QWidget*>(&texture), static_cast<QWidget*>(&dummies)}) {
        tool->show();
        EXPECT_TRUE(tool->isVisible());
        ExpectToolOfMain(*tool);
    }
    EXPECT_NE(parts.pos(), texture.pos());
    EXPECT_NE(texture.pos(), dummies.pos());

    dummies.move(50, 200);
    dummies.ToggleVisible();
    const config::WindowPosition& kept = w.Ws().Settings.DummyWinPosition;
    EXPECT_EQ(QRect(kept.Left, kept.Top, kept.Width, kept.Height), QRect(QPoint(50, 200), dummies.size()));
    dummies.ToggleVisible();
    EXPECT_EQ(dummies.pos(), QPoint(50, 200));

    // The options window is modal and placed the same way.
    bool checked = false;
    QTimer::singleShot(0, &w, [&] {
        QWidget* options = QApplication::activeModalWidget();
        ASSERT_NE(options, nullptr);
        ExpectToolOfMain(*options);
        checked = true;
        options->close();
    });
    w.Item("mnuFile", 11)->trigger();
    EXPECT_TRUE(checked);
    EXPECT_NE(w.Ws().Settings.OptionsWinPosition.Width, 0);
}

} // namespace
} // namespace zv::app
