#include "CliRun.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

namespace zv::cli {
namespace {

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Eleven steps: the selection changes are steps too, and the two welds that find nothing are none.
const std::vector<std::string> kSequence{"--select-all",
                                         "--translate",
                                         "1,2,3",
                                         "--rotate",
                                         "0,90,0",
                                         "--weld",
                                         "0.5",
                                         "--join",
                                         "3",
                                         "--weld",
                                         "0",
                                         "--delete-unused",
                                         "--snap-grid",
                                         "0.5",
                                         "--deselect-all",
                                         "--select-vertices",
                                         "0-1",
                                         "--move-to",
                                         "5,5,5",
                                         "--resize",
                                         "2,1,1"};
constexpr int kSequenceSteps = 11;

// The polygon commands, each changing the box: eleven steps (the selections are steps too).
const std::vector<std::string> kPolygonSequence{
    "--select-all-polygons", "--flip",      "--mirror-texture", "--rotate-texture",        "--copy-backside",
    "--set-type",            "36",          "--set-color",      "1,2,3,4",                 "--split-triangles",
    "--select-all-polygons", "--merge-quads", "--delete-polygon", "0",                      "--remove-wrong"};

TEST(CliEdit, UndoingEveryPolygonStepSavesWhatConvertSaves) {
    test::TempDir dir;
    for (const std::string ext : {".vrl", ".bin"}) {
        SCOPED_TRACE(ext);
        const std::string plain = dir.File("plain" + ext), edited = dir.File("edited" + ext);
        ASSERT_EQ(Cli({"convert", kBox, plain}).Status, kOk);
        const CliResult kept = Cli(Concat({"edit", kBox, edited}, kPolygonSequence));
        ASSERT_EQ(kept.Status, kOk) << kept.Err;
        EXPECT_NE(test::ReadBytes(edited), test::ReadBytes(plain));
        const CliResult r = Cli(Concat({"edit", kBox, edited}, Concat(kPolygonSequence, {"--undo", "11"})));
        ASSERT_EQ(r.Status, kOk) << r.Err;
        EXPECT_EQ(test::ReadBytes(edited), test::ReadBytes(plain));
        if (ext == ".bin") {
            EXPECT_EQ(test::ReadText(edited + ".info"), test::ReadText(plain + ".info"));
        }
    }
}

// The texture operations on the box: select all, map, copy coordinates, replace, wet surfaces.
TEST(CliEdit, UndoingTheTextureStepsSavesWhatConvertSaves) {
    test::TempDir dir;
    const std::vector<std::string> sequence{"--select-all-polygons", "--replace-texture", "BOXEND,BOXSIDE",
                                            "--map-planar",          "-z,BOXEND,300,10,-5", "--copy-uv-from",
                                            "2",                     "--wet-transparency"};
    for (const std::string ext : {".vrl", ".bin"}) {
        SCOPED_TRACE(ext);
        const std::string plain = dir.File("plain" + ext), edited = dir.File("edited" + ext);
        ASSERT_EQ(Cli({"convert", kBox, plain}).Status, kOk);
        const CliResult kept = Cli(Concat({"edit", kBox, edited}, sequence));
        ASSERT_EQ(kept.Status, kOk) << kept.Err;
        EXPECT_NE(test::ReadBytes(edited), test::ReadBytes(plain));
        const CliResult r = Cli(Concat({"edit", kBox, edited}, Concat(sequence, {"--undo", "5"})));
        ASSERT_EQ(r.Status, kOk) << r.Err << kept.Out;
        EXPECT_EQ(test::ReadBytes(edited), test::ReadBytes(plain));
    }
}

TEST(CliEdit, UndoingEveryStepSavesWhatConvertSaves) {
    test::TempDir dir;
    for (const std::string ext : {".vrl", ".bin"}) {
        SCOPED_TRACE(ext);
        const std::string plain = dir.File("plain" + ext), edited = dir.File("edited" + ext);
        ASSERT_EQ(Cli({"convert", kBox, plain}).Status, kOk);
        // Undo in two goes, with a redo and its undo between them.
        const CliResult r = Cli(Concat(
            {"edit", kBox, edited}, Concat(kSequence, {"--undo", "3", "--redo", "--undo", "--undo", "8"})));
        ASSERT_EQ(r.Status, kOk) << r.Err;
        EXPECT_EQ(test::ReadBytes(edited), test::ReadBytes(plain));
        if (ext == ".bin") {
            EXPECT_EQ(test::ReadText(edited + ".info"), test::ReadText(plain + ".info"));
        }
    }
    // Without the undo the saved model is the edited one.
    const CliResult r = Cli(Concat({"edit", kBox, dir.File("kept.vrl")}, kSequence));
    ASSERT_EQ(r.Status, kOk) << r.Err;
    EXPECT_NE(test::ReadBytes(dir.File("kept.vrl")), test::ReadBytes(dir.File("plain.vrl")));
    const CliResult tooFar = Cli(Concat({"edit", kBox, dir.File("far.vrl")},
                                        Concat(kSequence, {"--undo", std::to_string(kSequenceSteps + 1)})));
    EXPECT_EQ(tooFar.Status, kFailed);
    EXPECT_EQ(tooFar.Err, "Undo: Only 11 step(s) to undo !\n");
}

TEST(CliEdit, OneStatusLinePerOperation) {
    test::TempDir dir;
    const CliResult r = Cli({"edit", kBox, dir.File("out.vrl"), "--select-vertices", "0-1", "--weld", "5",
                             "--delete-unused", "--undo", "2", "--redo", "--translate", "0,0,0"});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    EXPECT_EQ(r.Out,
              "select-vertices 0-1: v: 8  p: 6  selected: 2  unused: 0  changed: selection\n"
              "weld 5: v: 8  p: 6  selected: 2  unused: 1  changed: polygons\n"
              "delete-unused: v: 7  p: 6  selected: 1  unused: 0  changed: geometry, polygons, "
              "selection, counts\n"
              "undo 2: v: 8  p: 6  selected: 2  unused: 0  changed: geometry, polygons, selection, counts\n"
              "redo 1: v: 8  p: 6  selected: 2  unused: 1  changed: polygons, selection\n"
              "translate 0,0,0: v: 8  p: 6  selected: 2  unused: 1  changed: nothing\n");
    EXPECT_EQ(r.Err, "");
}

TEST(CliEdit, RotationTurnsAboutTheSelectionCentreOrTheOrigin) {
    test::TempDir dir;
    const auto largestX = [&](const std::vector<std::string>& options) {
        const std::string out = dir.File("turned.vrl");
        const CliResult r = Cli(Concat(Concat({"edit"}, options), {kBox, out, "--select-all", "--translate",
                                                                   "10,0,0", "--rotate", "0,0,90"}));
        EXPECT_EQ(r.Status, kOk) << r.Err;
        const auto doc = nlohmann::json::parse(Cli({"dump", out}).Out);
        double x = -1e9;
        for (const auto& v : doc["vertices"]) {
            x = std::max(x, v[0].get<double>());
        }
        return x;
    };
    EXPECT_NEAR(largestX({}), 11.0, 1e-5);
    EXPECT_NEAR(largestX({"--about-origin"}), 1.0, 1e-5);
}

// A refused operation prints the core's message and writes nothing.
TEST(CliEdit, RefusedOperationsExitWithOneAndWriteNothing) {
    test::TempDir dir;
    const std::string out = dir.File("out.vrl");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--delete-vertex", "3"}, "Delete Vertex: Can't delete,\ncorresponding Polygon(s) !\n"},
        {{"--delete-vertex", "8"}, "Goto Vertex ERROR: Vertex 8 doesn't exist ! \n"},
        {{"--select-all", "--weld", "-1"},
         "Weld close vertices: Tolerance must be a number of 0 or more !\n"},
        {{"--select-all", "--snap-grid", "0"}, "Snap to Grid: Snap grid size must be a number above 0 !\n"},
        {{"--select-vertices", "2-8"}, "Select Vertices: Vertex 8 doesn't exist ! \n"},
        {{"--redo"}, "Redo: Only 0 step(s) to redo !\n"},
    };
    for (const auto& [ops, message] : cases) {
        const CliResult r = Cli(Concat({"edit", kBox, out}, ops));
        EXPECT_EQ(r.Status, kFailed) << ops[0];
        EXPECT_EQ(r.Err, message);
        EXPECT_FALSE(std::filesystem::exists(out)) << ops[0];
    }
    // The lines of the operations before the refused one are printed.
    const CliResult r = Cli({"edit", kBox, out, "--select-all", "--weld", "-1", "--translate", "1,1,1"});
    EXPECT_EQ(r.Out, "select-all: v: 8  p: 6  selected: 8  unused: 0  changed: selection\n");
}

TEST(CliEdit, UsageErrorsExitWithTwo) {
    test::TempDir dir;
    const std::string out = dir.File("out.vrl");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"edit", kBox, out}, "edit needs at least one operation"},
        {{"edit", kBox, "--weld", "1"}, "edit needs IN and OUT before the operations"},
        {{"edit", kBox, out, "--weld"}, "--weld needs T"},
        {{"edit", kBox, out, "--translate", "1,x,3"}, "--translate X,Y,Z: cannot read '1,x,3'"},
        {{"edit", kBox, out, "--weld", "1", "--sharpen"}, "unknown operation '--sharpen'"},
        {{"edit", "--sharpen", kBox, out, "--weld", "1"}, "unknown option '--sharpen'"},
        {{"edit", kBox, dir.File("out.zzz"), "--weld", "1"}, "cannot tell the format of"},
    };
    for (const auto& [args, error] : cases) {
        const CliResult r = Cli(args);
        EXPECT_EQ(r.Status, kBadUsage) << error;
        EXPECT_NE(r.Err.find("zorvane-cli edit: " + error), std::string::npos) << r.Err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    const CliResult help = Cli({"edit", "--help"});
    EXPECT_EQ(help.Status, kOk);
    EXPECT_NE(help.Out.find("  --snap-position X,Y,Z[,MASK]"), std::string::npos);
}

} // namespace
} // namespace zv::cli
