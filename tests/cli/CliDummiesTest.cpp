#include "CliRun.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace zv::cli {
namespace {

TEST(CliDummies, FromASceneAddMoveDeleteUndoAndWrite) {
    test::TempDir dir;
    const std::string scene = dir.Write("scene.txt", std::string("Instance=Flag\r\n InsStart=(1,2,3)\r\n"
                                                                 " ObjFile=flag.vrl\r\n"));
    const std::string out = dir.File("dummies.txt");
    const CliResult r = Cli({"dummies", "--from", scene, out, "--add", ",4,5,6", "--add", "Pole,-1,-1,-1",
                             "--select", "0", "--move", "0.5,0,0", "--delete", "2", "--undo"});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    EXPECT_EQ(r.Out.substr(r.Out.find("0 Flag")), "0 Flag 1.5 2 3 selected\n1 Obj002 4 5 6\n2 Pole -1 -1 -1\n");
    const std::string text = test::ReadText(out);
    EXPECT_NE(text.find("  Instance=flag\r\n  {\r\n    InsStart=(1.5,2,3) InsOrient"), std::string::npos);
    EXPECT_NE(text.find("  Instance=pole\r\n"), std::string::npos);

    EXPECT_EQ(Cli({"dummies", out, "--add", "a,1,2"}).Status, kBadUsage);
    EXPECT_EQ(Cli({"dummies", out, "--select", "0-x"}).Status, kBadUsage);
    EXPECT_EQ(Cli({"dummies", "--from", dir.File("none.txt"), out}).Status, kFailed);
}

} // namespace
} // namespace zv::cli
