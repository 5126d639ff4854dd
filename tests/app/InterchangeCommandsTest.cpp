#include "app/MainWindow.h"

#include "app/FileDialogs.h"
#include "interchange/Interchange.h"
#include "tests/support/TempDir.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace zv::app {
namespace {

// As the editor's main does: the interchange formats join the table before anything uses it.
class InterchangeFormats : public ::testing::Environment {
public:
    void SetUp() override { interchange::InstallFormats(); }
};
[[maybe_unused]] ::testing::Environment* const kFormats =
    ::testing::AddGlobalTestEnvironment(new InterchangeFormats);

// Answers every message box that shows while it lives: Yes where there is one, else OK; keeps
// the texts.
class BoxAnswerer {
public:
    BoxAnswerer() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            Texts << box->text();
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
                yes->click();
            } else {
                box->accept();
            }
        });
        timer_.start();
    }
    QStringList Texts;

private:
    QTimer timer_;
};

TEST(InterchangeCommands, ExportTheSelectionThenImportIt) {
    test::TempDir dir;
    const std::string config = dir.Write("ZV068.CFG", std::string(";\r\n"));
    const std::string box = dir.File("box.vrl"); // without its BMP files: the textures are missing
    std::filesystem::copy_file(ZV_SOURCE_DIR "/samples/box.vrl", box);
    MainWindow w({config, false});
    w.Ws().Settings.LoadTexturesOnOpen = false;
    w.LoadFiles({QString::fromStdString(box)});
    ASSERT_EQ(w.Ws().Model.PolyCount, 6);
    for (int p = 2; p < 6; ++p) {
        w.Ws().Model.PolySel[p] = model::kFalse;
    }

    std::vector<FileRequest> asked;
    QString answer = QString::fromStdString(dir.File("part.glb"));
    SetFileChooser([&](const FileRequest& r) {
        asked.push_back(r);
        return QStringList{answer};
    });
    BoxAnswerer boxes;
    w.Item("mnuFile", 9)->trigger(); // Export...
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].Save);
    EXPECT_TRUE(asked[0].Filter.contains(QStringLiteral("|*.glb|")));
    EXPECT_TRUE(asked[0].Start.endsWith(QStringLiteral("/box.glb"))) << asked[0].Start.toStdString();
    ASSERT_EQ(boxes.Texts.size(), 2);
    EXPECT_EQ(boxes.Texts[0], QStringLiteral("Export the selected polygons only?"));
    EXPECT_TRUE(boxes.Texts[1].contains(QStringLiteral("BOXSIDE"))) << boxes.Texts[1].toStdString();
    ASSERT_TRUE(std::filesystem::exists(dir.File("part.glb")));

    w.Item("mnuFile", 8)->trigger(); // Import...
    SetFileChooser({});
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[1].Save);
    EXPECT_TRUE(asked[1].Filter.contains(QStringLiteral("*.fbx"))) << asked[1].Filter.toStdString();
    EXPECT_EQ(w.Ws().Model.PolyCount, 2); // the two selected quads
    EXPECT_EQ(w.CurrentFileName(), "part.glb");
}

} // namespace
} // namespace zv::app
