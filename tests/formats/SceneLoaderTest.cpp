#include "formats/SceneLoader.h"

#include "formats/VrlReader.h"
#include "model/TextFile.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/VrlBuilder.h"
#include "workspace/Commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace zv::formats {
namespace {

const std::string kBox = ZV_SOURCE_DIR "/samples/box.vrl";

class SceneLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws->Settings.LoadTexturesOnOpen = false;
        std::filesystem::create_directory(dir.Path() / "track");
        folder = (dir.Path() / "track").string();
        std::filesystem::copy_file(kBox, folder + "/trak000.vrl");
        std::filesystem::copy_file(kBox, folder + "/SIDR000.VRL");
    }
    edit::Change Load(const std::string& text, SceneReport* report = nullptr) {
        const track::SceneContents scene = track::ParseScene(text, track::SceneKind::Scene);
        return RunStep(*ws, "Open Scene",
                       [&](edit::Recorder& rec) { return LoadScene(*ws, rec, folder, scene, report); });
    }
    test::RecordingUi ui;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(ui);
    test::TempDir dir;
    std::string folder;
};

TEST_F(SceneLoaderTest, ObjectsMergeWhateverTheirCaseAndUndoBringsTheOldModelBack) {
    ASSERT_TRUE(OpenVrl(*ws, kBox, VrlVariant::Scgt));
    const int oldPolygons = ws->Model.PolyCount;
    const std::string old = ws->Model.PartNodes[0].Text;
    SceneReport r;
    Load("Instance=a\r\n  InsStart=(1,2,3)\r\n  ObjFile=TRAK000.vrl\r\n"
         "Instance=b\r\n  ObjFile=sidr000.vrl\r\nView=Camera\r\n Start=(1,2,3)\r\n",
         &r);
    EXPECT_EQ(r.Loaded, 2);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(ws->Model.PolyCount, 12);
    ASSERT_EQ(ws->Model.PartCount(), 2);
    EXPECT_EQ(ws->Model.PartNodes[0].Text.substr(0, 7), "trak000");
    ASSERT_EQ(ws->Dummies.Count(), 1);
    EXPECT_EQ(ws->Cameras.Pos.size(), 1u);

    Undo(*ws);
    EXPECT_EQ(ws->Model.PolyCount, oldPolygons);
    ASSERT_EQ(ws->Model.PartCount(), 1);
    EXPECT_EQ(ws->Model.PartNodes[0].Text, old);
    EXPECT_EQ(ws->Dummies.Count(), 0);
    EXPECT_FALSE(ws->Cameras.Read);
    Redo(*ws);
    EXPECT_EQ(ws->Model.PolyCount, 12);
    EXPECT_EQ(ws->Dummies.Count(), 1);
}

TEST_F(SceneLoaderTest, FailuresAreOneMessageAndNeverLeaveTheFolder) {
    ASSERT_TRUE(OpenVrl(*ws, kBox, VrlVariant::Scgt));
    std::filesystem::copy_file(kBox, dir.File("outside.vrl"));
    std::ofstream(folder + "/broken.vrl") << "not a model";
    SceneReport r;
    Load("Instance=a\r\n ObjFile=missing.vrl\r\n"
         "Instance=b\r\n ObjFile=broken.vrl\r\n"
         "Instance=c\r\n ObjFile=..\\outside.vrl\r\n"
         "Instance=d\r\n ObjFile=trak000.vrl\r\n",
         &r);
    // The missing first object does not keep the old model: only trak000 is there.
    EXPECT_EQ(ws->Model.PolyCount, 6);
    EXPECT_EQ(ws->Model.PartCount(), 1);
    EXPECT_EQ(r.Loaded, 1);
    ASSERT_EQ(r.Failed.size(), 2u);
    EXPECT_EQ(r.Failed[0], "MISSING.VRL: not found");
    EXPECT_EQ(r.Skipped, (std::vector<std::string>{"..\\OUTSIDE.VRL"}));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Scene");
    EXPECT_NE(ui.Messages[0].Text.find("BROKEN.VRL"), std::string::npos);
    EXPECT_NE(ui.Messages[0].Text.find("..\\OUTSIDE.VRL"), std::string::npos);
}

TEST_F(SceneLoaderTest, TablesAreCappedAndSaid) {
    std::string text;
    for (int i = 0; i < track::kCameraCapacity + 2; ++i) {
        text += "View=Camera\r\nStart=(1,1,1)\r\n";
    }
    for (int i = 0; i < track::kDummyCapacity + 1; ++i) {
        text += "Instance=x\r\nInsStart=(1,1,1)\r\n";
    }
    SceneReport r;
    Load(text, &r);
    EXPECT_EQ(ws->Cameras.Pos.size(), static_cast<std::size_t>(track::kCameraCapacity));
    EXPECT_EQ(ws->Dummies.Count(), track::kDummyCapacity);
    EXPECT_EQ(r.CamerasDropped, 2);
    EXPECT_EQ(r.DummiesDropped, 1);
    EXPECT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ws->Model.VertCount, -1); // no object named: the model is left alone
}

TEST_F(SceneLoaderTest, FixRewritesOnlyObjectsInTheFolder) {
    // A model with a vertex no polygon uses.
    test::VrlFileModel spare;
    spare.Vertices = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {9, 9, 9}};
    spare.Polygons = {{{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}}};
    spare.TextureNames = {"T"};
    const test::VrlImage image = test::BuildVrl(spare, VrlVariant::Scgt);
    std::ofstream(folder + "/Spare.vrl", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    const std::string sentinel = dir.Write("sentinel.vrl", std::string("keep me"));

    const track::SceneContents scene =
        track::ParseScene("Instance=a\r\nObjFile=SPARE.VRL\r\nInstance=b\r\nObjFile=..\\sentinel.vrl\r\n"
                          "Instance=c\r\nObjFile=" +
                              sentinel + "\r\n",
                          track::SceneKind::Scene);
    const SceneReport r = FixSceneObjects(ui, ws->Settings, folder, scene);
    EXPECT_EQ(r.Loaded, 1);
    EXPECT_EQ(r.Skipped.size(), 1u); // an absolute path ends at its first "/": no object at all
    EXPECT_EQ(model::ReadWholeFile(sentinel), "keep me");
    EXPECT_FALSE(std::filesystem::exists(folder + "/SPARE.VRL")); // rewritten where it was found
    ASSERT_TRUE(OpenVrl(*ws, folder + "/Spare.vrl", VrlVariant::Scgt));
    EXPECT_EQ(ws->Model.VertCount, 3);
    EXPECT_EQ(ui.Messages.size(), 1u); // the skipped name, once
}

} // namespace
} // namespace zv::formats
