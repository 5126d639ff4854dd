// The texture window over the sample box (its textures not loaded: 4 x 4 pixels, drawn 64 times
// larger): it follows the current polygon, clicks and drags set the current corner as one step,
// and the boxes read and store pixels or normalised values.

#include "BoxWindowTest.h"

#include "app/TextureWindow.h"


#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace zv::app {
namespace {

class TextureWindowTest : public BoxWindowTest {
protected:
    TextureWindowTest() : tex(FindTextureWindow(w)) {
        M().CurPoly = 0;
        M().CurCorner = 1;
        QTest::keyClick(view1, Qt::Key_F5);
    }

    TextureWindow* tex;
};

TEST_F(TextureWindowTest, F5ShowsTheCurrentPolygonAndFollowsIt) {
    ASSERT_NE(tex, nullptr);
    ASSERT_TRUE(tex->isVisible());
    EXPECT_EQ(tex->PolygonLabel()->text(), QStringLiteral("Polygon: 0  TEX: BOXSIDE"));
    EXPECT_EQ(tex->Picture()->width(), 257) << "4 pixels at 64 times, and the outline's last column";
    EXPECT_EQ(tex->Coordinate(0)->text(), QStringLiteral("1"));
    tex->ShowNormalised()->setChecked(false);
    EXPECT_EQ(tex->Coordinate(0)->text(), QStringLiteral("4")) << "pixels of the 4-pixel texture";

    M().CurPoly = 2;
    w.Item("mnuFace", 14)->trigger(); // any refresh
    EXPECT_EQ(tex->PolygonLabel()->text(), QStringLiteral("Polygon: 2  TEX: BOXEND"));
    QTest::keyClick(tex, Qt::Key_Space); // the main window's "next polygon" key
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(tex, &tab); // "next vertex", not a move between the controls
    EXPECT_EQ(M().CurPoly, 3);
    EXPECT_EQ(tex->PolygonLabel()->text(), QStringLiteral("Polygon: 3  TEX: BOXEND"));
    EXPECT_TRUE(tex->VertexLabel()->text().startsWith(QStringLiteral("V: "))) << "TAB picked a vertex";
    QTest::keyClick(view1, Qt::Key_F5);
    EXPECT_FALSE(tex->isVisible());
}

TEST_F(TextureWindowTest, ADragMovesTheCurrentCornerInOneStepClampedToTheTexture) {
    const float u = M().PolyTU(0, 1), v = M().PolyTV(0, 1);
    QTest::mousePress(tex->Picture(), Qt::LeftButton, Qt::NoModifier, QPoint(64, 128));
    EXPECT_FLOAT_EQ(M().PolyTU(0, 1), 0.25f);
    EXPECT_FLOAT_EQ(M().PolyTV(0, 1), 0.5f);
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 32), QPointF(300, 32), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(tex->Picture(), &move);
    QTest::mouseRelease(tex->Picture(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 32));
    EXPECT_FLOAT_EQ(M().PolyTU(0, 1), 1.0f) << "past the right edge";
    EXPECT_FLOAT_EQ(M().PolyTV(0, 1), 0.125f);
    Undo();
    EXPECT_EQ(M().PolyTU(0, 1), u) << "press and drag are one step";
    EXPECT_EQ(M().PolyTV(0, 1), v);
}

TEST_F(TextureWindowTest, TypedPixelsAreStoredNormalisedAndApplySetsThePolygon) {
    tex->ShowNormalised()->setChecked(false);
    tex->Coordinate(1)->setText(QStringLiteral("2"));
    QTest::mouseDClick(tex->Coordinate(1), Qt::LeftButton);
    EXPECT_FLOAT_EQ(M().PolyTV(0, 1), 0.5f);

    tex->Textures()->setCurrentIndex(1);
    tex->Colour(0)->setText(QStringLiteral("12"));
    tex->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_EQ(M().PolyTex[0], 1);
    EXPECT_EQ(M().PolyR[0], 12);
    Undo();
    EXPECT_EQ(M().PolyTex[0], 0);

    for (int p = 0; p < M().PolyCount; ++p) {
        M().PolySel[p] = p == 3 ? model::kTrue : model::kFalse;
    }
    tex->findChild<QPushButton*>(QStringLiteral("Command3(2)"))->click(); // Copy U/V
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(M().PolyTU(3, k), M().PolyTU(0, k)) << k;
    }
}

} // namespace
} // namespace zv::app
