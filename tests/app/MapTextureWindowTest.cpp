// The mapping window in the editor: it opens only over a selection, its controls drive the
// projection, OK maps exactly what is drawn as one step, and Cancel leaves the model alone.

#include "BoxWindowTest.h"

#include "app/MapTextureWindow.h"

#include "textures/TextureTable.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace zv::app {
namespace {

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class MapTextureWindowTest : public BoxWindowTest {
protected:

    void SelectOnly(std::initializer_list<int> polygons) {
        for (int p = 0; p < M().PolyCount; ++p) {
            M().PolySel[p] = model::kFalse;
        }
        for (int p : polygons) {
            M().PolySel[p] = model::kTrue;
        }
    }

    // Every polygon's texture and the coordinates of its corners, to compare states.
    struct Mapping {
        std::vector<int> Tex;
        std::vector<float> Coordinates;
    };
    Mapping Snapshot() {
        Mapping s;
        for (int p = 0; p < M().PolyCount; ++p) {
            s.Tex.push_back(M().PolyTex[p]);
            for (int k = 0; k < model::CornerCount(M(), p); ++k) {
                s.Coordinates.push_back(M().PolyTU(p, k));
                s.Coordinates.push_back(M().PolyTV(p, k));
            }
        }
        return s;
    }
    static bool Same(const Mapping& a, const Mapping& b) {
        if (a.Tex != b.Tex || a.Coordinates.size() != b.Coordinates.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.Coordinates.size(); ++i) {
            if (!SameBits(a.Coordinates[i], b.Coordinates[i])) {
                return false;
            }
        }
        return true;
    }

    QPushButton* Button(const char* name) { return map->findChild<QPushButton*>(QString::fromLatin1(name)); }

    MapTextureWindow* map = w.findChild<MapTextureWindow*>(QStringLiteral("FrmMapTex"));
};

TEST_F(MapTextureWindowTest, MenuOpensOnlyOverASelectionOnTheFirstTexture) {
    SelectOnly({});
    w.Item("mnuTex", 0)->trigger();
    EXPECT_FALSE(map->isVisible()) << "nothing selected";

    SelectOnly({4});
    map->Textures()->setCurrentIndex(1);
    w.Item("mnuTex", 0)->trigger();
    ASSERT_TRUE(map->isVisible());
    EXPECT_EQ(map->objectName(), QStringLiteral("FrmMapTex"));
    EXPECT_EQ(map->MapTex(), 0);
    ASSERT_EQ(map->Textures()->count(), 2) << "the list follows the model's texture slots";
    EXPECT_EQ(map->Textures()->currentIndex(), 0);
}

TEST_F(MapTextureWindowTest, OkMapsWhatTheWindowShowsAsOneStep) {
    SelectOnly({1, 4});
    const Mapping before = Snapshot();
    w.Item("mnuTex", 0)->trigger();
    ASSERT_TRUE(map->isVisible());
    map->Textures()->setFocus();
    QTest::keyClick(map->Textures(), Qt::Key_Down);
    EXPECT_EQ(map->MapTex(), 1) << "choosing in the list sets the texture";

    map->Direction(0)->click(); // "X", then "-Z" must replace its angles
    map->Direction(5)->click();
    EXPECT_EQ(map->View().AngleX, 0.0f);
    EXPECT_EQ(map->View().AngleY, 0.0f);
    EXPECT_EQ(map->View().Zoom, edit::kMapZoom);

    // Mouse: a left click zooms in, a right drag pans, an upward left drag zooms in again.
    MapPicture* pic = map->Picture();
    QTest::mouseClick(pic, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FLOAT_EQ(map->View().Zoom, edit::kMapZoom * 1.05f);
    EXPECT_EQ(map->ZoomLabel()->text(), QStringLiteral("Zf: 294"));
    const double cx = map->View().CentreX, cy = map->View().CentreY;
    QTest::mousePress(pic, Qt::RightButton, {}, QPoint(200, 200));
    QTest::mouseMove(pic, QPoint(190, 230));
    QTest::mouseRelease(pic, Qt::RightButton, {}, QPoint(190, 230));
    EXPECT_EQ(map->View().CentreX, cx - 10);
    EXPECT_EQ(map->View().CentreY, cy + 30);
    EXPECT_FLOAT_EQ(map->View().Zoom, edit::kMapZoom * 1.05f) << "a drag is no click";
    EXPECT_TRUE(map->PanLabel(0)->text().startsWith(QStringLiteral("Z: ")));
    EXPECT_TRUE(map->PanLabel(1)->text().startsWith(QStringLiteral("Y: ")));
    QTest::mousePress(pic, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(pic, QPoint(50, 40));
    QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(50, 40));
    EXPECT_FLOAT_EQ(map->View().Zoom, edit::ZoomDrag(edit::kMapZoom * 1.05f, true));

    const edit::PlanarView view = map->View();
    Button("Command2(0)")->click();
    EXPECT_FALSE(map->isVisible());
    const Mapping after = Snapshot();
    for (int p : {1, 4}) {
        EXPECT_EQ(M().PolyTex[p], 1);
        for (int k = 0; k < model::CornerCount(M(), p); ++k) {
            EXPECT_TRUE(std::isfinite(M().PolyTU(p, k)) && std::isfinite(M().PolyTV(p, k)));
        }
    }
    EXPECT_EQ(M().PolyTex[0], before.Tex[0]) << "not selected";

    // One step, and the same result as the operation itself with the view the window showed.
    w.Item("mnuEdit", 0)->trigger();
    EXPECT_TRUE(Same(Snapshot(), before));
    const int width = w.Ws().Textures.TexTable[1].Width, height = w.Ws().Textures.TexTable[1].Height;
    w.Run("Map Texture", [&](edit::Recorder& rec) {
        return edit::MapSelectedPlanar(M(), rec, view, 1, width, height);
    });
    EXPECT_TRUE(Same(Snapshot(), after));
}

TEST_F(MapTextureWindowTest, CancelChangesNothingAndThePictureShowsTextureAndOutlines) {
    SelectOnly({0, 1, 2, 3, 4, 5});
    const Mapping before = Snapshot();
    w.Item("mnuTex", 0)->trigger();
    ASSERT_TRUE(map->isVisible());
    map->Direction(1)->click();
    for (int i = 0; i < 10; ++i) { // the box is 4 units long: zoom out until it fits
        QTest::mouseClick(map->Picture(), Qt::RightButton, {}, QPoint(10, 10));
    }
    EXPECT_FLOAT_EQ(map->View().Zoom, edit::kMapZoom / std::pow(1.05f, 10.0f));
    QApplication::processEvents();

    const QImage& buffer = map->Picture()->Buffer();
    ASSERT_FALSE(buffer.isNull());
    int grey = 0, red = 0;
    for (int y = 0; y < buffer.height(); ++y) {
        for (int x = 0; x < buffer.width(); ++x) {
            const QRgb c = buffer.pixel(x, y);
            grey += c == qRgb(160, 160, 160) ? 1 : 0;
            red += c == qRgb(255, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(grey, 0) << "the unloaded texture as a grey square";
    EXPECT_GT(red, 0) << "the projected outlines";

    // A loaded texture is drawn from its pixels at its display scale: 8 x 4 at 32 fills 256 x 128.
    textures::FillDefaultTexture(w.Ws().Textures, 8, 4);
    ASSERT_GE(textures::StoreStagedTexture(w.Ws().Textures, 0, "BOXSIDE"), 0);
    map->Draw();
    const QRgb yellow = qRgb(225, 225, 0);
    EXPECT_EQ(map->Picture()->Buffer().pixel(2, 2), yellow);
    EXPECT_EQ(map->Picture()->Buffer().pixel(255, 127), yellow);
    EXPECT_NE(map->Picture()->Buffer().pixel(256, 127), yellow);
    EXPECT_NE(map->Picture()->Buffer().pixel(255, 128), yellow);

    Button("Command2(1)")->click();
    EXPECT_FALSE(map->isVisible());
    EXPECT_TRUE(Same(Snapshot(), before));
}

} // namespace
} // namespace zv::app
