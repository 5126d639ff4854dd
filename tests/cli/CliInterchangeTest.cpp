#include "CliRun.h"

#include "cli/BatchConvert.h"
#include "interchange/Interchange.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace zv::cli {
namespace {

// As zorvane-cli's main does: the interchange formats join the table before anything uses it.
class InterchangeFormats : public ::testing::Environment {
public:
    void SetUp() override { interchange::InstallFormats(); }
};
[[maybe_unused]] ::testing::Environment* const kFormats =
    ::testing::AddGlobalTestEnvironment(new InterchangeFormats);

TEST(CliInterchange, ExportsByExtensionAndReadsTheResultBack) {
    test::TempDir dir;
    const std::string glb = dir.File("box.glb");
    CliResult r = Cli({"convert", "--textures", kBox, glb});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    EXPECT_TRUE(std::filesystem::exists(dir.File("BOXSIDE.png")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("BOXEND.png")));

    r = Cli({"info", glb});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    EXPECT_NE(r.Out.find("v: 8  p: 6"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("BOXSIDE\nBOXEND\n"), std::string::npos) << r.Out;

    // Back to VRL by --to, and a table format refuses --textures.
    EXPECT_EQ(Cli({"convert", "--to", "scgt", glb, dir.File("back.vrl")}).Status, kOk);
    EXPECT_EQ(Cli({"convert", "--textures", kBox, dir.File("b.vrl")}).Status, kBadUsage);
    EXPECT_EQ(Cli({"convert", "--to", "glb", kBox, dir.File("box.out")}).Status, kOk);
}

TEST(CliInterchange, BatchGoesOnAfterAFailureAndSumsUp) {
    test::TempDir dir;
    const std::string a = dir.File("a.vrl"), b = dir.File("b.vrl");
    std::filesystem::copy_file(kBox, a);
    std::filesystem::copy_file(kBox, b);
    const std::string bad = dir.Write("bad.vrl", std::string(50, '\0'));
    const std::string notes = dir.Write("notes.zzz", std::string("nothing"));
    const std::string out = dir.File("out");

    const std::string sameName = dir.File("sub/a.vrl");
    std::filesystem::create_directory(dir.File("sub"));
    std::filesystem::copy_file(kBox, sameName);

    const CliResult r =
        Cli({"convert", "--to", "glb", "--out-dir", out, "--jobs", "2", a, bad, notes, b, sameName});
    EXPECT_EQ(r.Status, kFailed);
    EXPECT_NE(r.Err.find(sameName + ": not converted: '" + out + "/a.glb' is the output of '" + a + "'"),
              std::string::npos)
        << r.Err;
    EXPECT_TRUE(std::filesystem::exists(out + "/a.glb"));
    EXPECT_TRUE(std::filesystem::exists(out + "/b.glb"));
    EXPECT_FALSE(std::filesystem::exists(out + "/bad.glb"));
    EXPECT_NE(r.Err.find(bad + ":   Vrl open error: Error at Filepos. 3D\n"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find(notes + ": skipped"), std::string::npos) << r.Err;
    EXPECT_TRUE(r.Err.ends_with("\nconverted 2, failed 2, skipped 1\n")) << r.Err;
    EXPECT_EQ(r.Err.find('\r'), std::string::npos); // no progress line off a terminal

    EXPECT_EQ(Cli({"convert", "--out-dir", out, a}).Status, kBadUsage); // no --to
    EXPECT_EQ(Cli({"convert", "--to", "glb", "--jobs", "0", "--out-dir", out, a}).Status, kBadUsage);
}

TEST(BatchConvert, KeepsEachFilesMessagesTogetherAndCountsThrowsAsFailures) {
    const std::vector<std::string> files{"one", "two", "three", "four"};
    const ConvertOne convert = [](const std::string& in, std::ostream& messages) {
        messages << "first of " << in << "\nsecond of " << in << '\n';
        if (in == "three") {
            throw std::runtime_error("broken");
        }
        return in == "four" ? FileOutcome::Skipped : FileOutcome::Converted;
    };
    std::ostringstream err;
    const BatchCounts counts = RunBatch(files, convert, {3, true}, err);
    EXPECT_EQ(SummaryLine(counts), "converted 2, failed 1, skipped 1");
    const std::string text = err.str();
    for (const std::string& f : files) {
        EXPECT_NE(text.find(f + ": first of " + f + "\n" + f + ": second of " + f + "\n"), std::string::npos)
            << text;
    }
    EXPECT_NE(text.find("three: zorvane-cli: broken\n"), std::string::npos);
    EXPECT_NE(text.find("convert: 4/4"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\x1b[K")); // the progress line is gone at the end
}

} // namespace
} // namespace zv::cli
