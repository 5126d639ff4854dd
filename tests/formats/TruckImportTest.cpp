#include "formats/TruckImport.h"

#include "edit/Parts.h"
#include "formats/BinFormat.h"
#include "formats/ModelFormat.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>

namespace zv::formats {
namespace {

using Vec3 = std::array<double, 3>;

constexpr double kFeet = 0.3048;
constexpr double kMergeToOpen = 4 * kFeet;

// A truck file; comments and blank lines sit between some keys and their values.
std::string TruckText(const std::string& leaveOut = "") {
    const std::vector<std::pair<std::string, std::string>> keys{
        {"MTM2 truckName", "Test"},
        {"truckModelBaseName", "body"},
        {"tireModelBaseName", "tire"},
        {"axleModelName", "axle.bin"},
        {"faxle.rtire.static_bpos.x", "8"},
        {"faxle.rtire.static_bpos.y", "1"},
        {"faxle.rtire.static_bpos.z", "6"},
        {"faxle.ltire.static_bpos.x", "-8"},
        {"faxle.ltire.static_bpos.y", "1.25"},
        {"faxle.ltire.static_bpos.z", "6"},
        {"raxle.rtire.static_bpos.x", "8"},
        {"raxle.rtire.static_bpos.y", "1.5"},
        {"raxle.rtire.static_bpos.z", "-6"},
        {"raxle.ltire.static_bpos.x", "-8"},
        {"raxle.ltire.static_bpos.y", "1.75"},
        {"raxle.ltire.static_bpos.z", "-6.5"},
    };
    std::string text;
    for (const auto& [key, value] : keys) {
        if (key != leaveOut) {
            text += key + "\r\n; a comment\r\n\r\n" + value + "\r\n";
        }
    }
    return text;
}

class TruckImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws->Settings.LoadTexturesOnOpen = false;
        ws->Settings.Mtm2ModelPath = dir.Path().string();
        WritePiece("Body.bin", 5);
        WritePiece("AXLE.BIN", 4);
        WritePiece("tire16r.bin", 3);
        WritePiece("tire16l.bin", 4);
        WritePiece("drvshaft.bin", 12);
    }

    // A piece of n vertices (1/4 apart along x from the origin, y and z varying) and one triangle,
    // written by the BIN writer.
    void WritePiece(const std::string& name, int n) {
        test::RecordingUi quiet;
        auto w = std::make_unique<Workspace>(quiet);
        w->Settings.Mtm2ModelPath = dir.Path().string();
        test::StartModel(w->Model);
        for (int i = 0; i < n; ++i) {
            test::AddVertex(w->Model, static_cast<float>(i) / 4, static_cast<float>(i % 3),
                            -static_cast<float>(i) / 2);
        }
        test::AddTexture(w->Model, "tex");
        test::AddPolygon(w->Model, {{0}, {1}, {2}}, 0, 1);
        ASSERT_TRUE(WriteBin(*w, dir.File(name)));
    }

    // The vertices of a piece opened alone.
    std::vector<model::VertRec> OpenedAlone(const std::string& name) {
        test::RecordingUi quiet;
        auto w = std::make_unique<Workspace>(quiet);
        w->Settings.LoadTexturesOnOpen = false;
        EXPECT_TRUE(OpenBin(*w, dir.File(name)));
        return {&w->Model.Vert[0], &w->Model.Vert[0] + w->Model.VertCount};
    }

    void ExpectAt(int v, const model::VertRec& alone, const Vec3& offset) {
        const model::VertRec& got = ws->Model.Vert[v];
        EXPECT_NEAR(got.X, alone.X + offset[0], 1e-5) << v;
        EXPECT_NEAR(got.Y, alone.Y + offset[1], 1e-5) << v;
        EXPECT_NEAR(got.Z, alone.Z + offset[2], 1e-5) << v;
    }

    test::TempDir dir;
    test::RecordingUi ui;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(ui);
};

TEST_F(TruckImportTest, AssemblesEveryPieceAtTheBodyScale) {
    ASSERT_TRUE(ImportTruck(*ws, dir.Write("test.trk", TruckText())));
    EXPECT_TRUE(ui.Messages.empty());
    const model::ModelStore& m = ws->Model;
    ASSERT_EQ(m.VertCount, 5 + 2 * 4 + 2 * (3 + 4) + 2 * 12);
    EXPECT_EQ(m.PolyCount, 9);
    ASSERT_EQ(m.PartCount(), 9);
    EXPECT_EQ(edit::PartBaseName(m, 1), "Body");
    EXPECT_EQ(edit::PartBaseName(m, 2), "AXLE");
    EXPECT_EQ(edit::PartBaseName(m, 9), "drvshaft");
    EXPECT_FALSE(ws->History.CanUndo());
    EXPECT_GT(ui.BusyCalls, 0);
    EXPECT_EQ(ui.BusyDepth, 0);

    const auto body = OpenedAlone("Body.bin");
    for (int v = 0; v < 5; ++v) {
        ExpectAt(v, body[static_cast<std::size_t>(v)], {0, -0.7 / 4 * kMergeToOpen, 0});
    }
    // The first right tire (after the two axles) sits at the front right position, in feet.
    const auto tire = OpenedAlone("tire16r.bin");
    const Vec3 fr{8 * kFeet, 1 * kFeet, 6 * kFeet};
    for (int v = 0; v < 3; ++v) {
        ExpectAt(13 + v, tire[static_cast<std::size_t>(v)], fr);
    }
    EXPECT_NEAR(m.Vert[13].X, 8 * kFeet, 1e-6);

    // The drive shafts: the axle end at the left tires' height and depth, the other end lowered.
    const auto shaft = OpenedAlone("drvshaft.bin");
    const Vec3 drop{0, -0.7 * kMergeToOpen, 0};
    ExpectAt(27 + 11, shaft[11], {0, 1.25 * kFeet, 6 * kFeet});
    ExpectAt(27 + 0, shaft[0], drop);
    ExpectAt(39 + 5, shaft[5], {0, 1.75 * kFeet, -6.5 * kFeet});
    ExpectAt(39 + 6, shaft[6], drop);
}

TEST_F(TruckImportTest, ReadsTheKeysOfAnMtm2TruckFile) {
    // Its model names carry ".BIN", and the tire position keys come x, then y, then z.
    for (const char* name : {"testBin.bin", "testTire16r.bin", "testTire16l.bin", "testAxle.BIN"}) {
        WritePiece(name, 4);
    }
    ASSERT_TRUE(ImportTruck(*ws, ZV_SOURCE_DIR "/tests/data/jtrfp_MTM2Test.TRK"));
    const model::VertRec& tire = ws->Model.Vert[4 + 2 * 4];
    EXPECT_NEAR(tire.X, 1.1 * kFeet, 1e-5);
    EXPECT_NEAR(tire.Y, 5.5 * kFeet, 1e-5);
    EXPECT_NEAR(tire.Z, 9.9 * kFeet, 1e-5);
    EXPECT_EQ(ws->Model.ModelFileName, "jtrfp_MTM2Test.TRK");
}

TEST_F(TruckImportTest, RefusalNamesTheCauseAndKeepsTheModel) {
    const auto refused = [&](const std::string& truck, const std::string& named) {
        test::StartModel(ws->Model);
        test::AddVertex(ws->Model, 1, 2, 3);
        ui.Messages.clear();
        EXPECT_FALSE(ImportTruck(*ws, dir.Write("test.trk", truck)));
        ASSERT_EQ(ui.Messages.size(), 1u) << named;
        EXPECT_EQ(ui.Messages[0].Title, "Import MTM2 Truck");
        EXPECT_NE(ui.Messages[0].Text.find(named), std::string::npos) << ui.Messages[0].Text;
        EXPECT_EQ(ws->Model.VertCount, 1);
        EXPECT_EQ(ws->Model.PolyCount, 0);
        EXPECT_EQ(ws->Model.Vert[0].Y, 2);
    };
    refused(TruckText("axleModelName"), "axleModelName");
    refused(TruckText("raxle.ltire.static_bpos.z"), "raxle.ltire.static_bpos.z");
    std::filesystem::remove(dir.File("tire16l.bin"));
    refused(TruckText(), "tire16l.bin");
    WritePiece("tire16l.bin", 4);
    WritePiece("drvshaft.bin", 11);
    refused(TruckText(), "drvshaft.bin");
}

TEST_F(TruckImportTest, OpensThroughTheTable) {
    const ModelFormat* f = FindFormat("mtm2truck");
    if (f == nullptr) {
        GTEST_SKIP() << "mtm2truck is not in the table yet";
    }
    EXPECT_TRUE(OpenModelFile(*ws, *f, dir.Write("test.trk", TruckText())));
    EXPECT_EQ(ws->Model.PartCount(), 9);
}

} // namespace
} // namespace zv::formats
