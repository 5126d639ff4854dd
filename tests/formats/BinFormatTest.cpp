#include "formats/BinFormat.h"

#include "edit/Parts.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "workspace/ModelLifecycle.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace zv::formats {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Corner {
    std::int32_t Vertex, U, V;
};

// BIN images in file terms: every value as the int32 the file holds.
class BinImage {
public:
    explicit BinImage(std::int32_t nv, std::int32_t tag = 20) { I32(tag).I32(65536).I32(2).I32(0).I32(nv); }
    BinImage& I32(std::int32_t v) {
        const auto at = bytes_.size();
        bytes_.resize(at + 4);
        std::memcpy(bytes_.data() + at, &v, 4);
        return *this;
    }
    BinImage& Vertex(std::int32_t x, std::int32_t y, std::int32_t z) { return I32(x).I32(y).I32(z); }
    BinImage& Section(const std::string& field) {
        I32(13).I32(0);
        for (std::size_t i = 0; i < 16; ++i) {
            bytes_.push_back(i < field.size() ? static_cast<std::uint8_t>(field[i]) : 0);
        }
        return *this;
    }
    BinImage& Polygon(std::int32_t type, std::array<std::int32_t, 3> normal,
                      const std::vector<Corner>& corners) {
        I32(type)
            .I32(static_cast<std::int32_t>(corners.size()))
            .I32(normal[0])
            .I32(normal[1])
            .I32(normal[2])
            .I32(0);
        for (const Corner& c : corners) {
            I32(c.Vertex).I32(c.U).I32(c.V);
        }
        return *this;
    }
    // 1-based position of the next value.
    std::size_t Next() const { return bytes_.size() + 1; }
    const Bytes& Data() const { return bytes_; }

private:
    Bytes bytes_;
};

constexpr std::int32_t kOne = 1 << 24; // texture coordinate 1

std::string Hex(std::size_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%zX", value);
    return text;
}

std::string Upper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

// Three vertices, then sections "road.raw" (a triangle), "Grass.RAW" (a quad), "road.raw".
BinImage Sample() {
    BinImage f(4);
    f.Vertex(256, -512, 1024).Vertex(0, 0, 0).Vertex(1024, 0, 0).Vertex(0, 1024, 0);
    f.Section("road.raw").Polygon(7, {0, 0, 65536}, {{1, 0, 0}, {2, kOne, 0}, {3, 0, kOne / 2}});
    f.Section("Grass.RAW").Polygon(41, {65536, 0, 0}, {{0, 1, 2}, {1, 3, 4}, {2, 5, 6}, {3, 7, 8}});
    f.Section("road.raw").Polygon(9, {0, -32768, 0}, {{3, 0, 0}, {2, 0, 0}, {1, 0, 0}});
    f.I32(0);
    return f;
}

// Whether the model keeps the invariants every operation must leave; the first breach otherwise.
std::string Breach(const model::ModelStore& m) {
    if (m.VertCount < 0 || m.VertCount > model::kVertexCapacity || m.PolyCount < 0 ||
        m.PolyCount > model::kPolygonCapacity || m.TexCount < 0 || m.TexCount > model::kTextureCapacity) {
        return "counts";
    }
    for (int p = 0; p < m.PolyCount; ++p) {
        if (m.PolyVCount[p] < 3 || m.PolyVCount[p] > 16 || m.PolyTex[p] < 0 || m.PolyTex[p] >= m.TexCount) {
            return "polygon " + std::to_string(p);
        }
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            if (m.PolyVert(p, k) < 0 || m.PolyVert(p, k) >= m.VertCount) {
                return "corner of polygon " + std::to_string(p);
            }
        }
    }
    for (int g = 1; g <= m.PartCount(); ++g) {
        for (int j = 1; j <= m.GroupSize[g]; ++j) {
            if (m.GroupSize[g] > 1280 || m.GroupPoly(g, j) < 0 || m.GroupPoly(g, j) >= m.PolyCount) {
                return "part " + std::to_string(g);
            }
        }
    }
    return "";
}

class BinFormatTest : public ::testing::Test {
protected:
    BinFormatTest() { ws.Settings.LoadTexturesOnOpen = false; } // the lists show "Nl: " entries
    void TearDown() override { EXPECT_EQ(ui.BusyDepth, 0) << "busy pointer left on"; }

    std::string Write(const std::string& name, const BinImage& f) { return dir.Write(name, f.Data()); }
    void ExpectOnlyMessage(const std::string& title, const std::string& text) {
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_EQ(ui.Messages[0].Title, title);
        EXPECT_EQ(ui.Messages[0].Text, text);
        ui.Messages.clear();
    }
    // A model in the store: vertices, and polygons given as corners with a texture and a type.
    void Model(const std::vector<model::VertRec>& verts, const std::vector<std::string>& names) {
        BeginOpen(ws);
        for (const auto& v : verts) {
            m.Vert[m.VertCount++] = v;
        }
        for (const auto& n : names) {
            m.TexName[m.TexCount++] = n;
        }
    }
    int Poly(const std::vector<int>& corners, int tex, int type = 7) {
        const int p = m.PolyCount++;
        m.PolyVCount[p] = static_cast<int>(corners.size());
        for (std::size_t k = 0; k < corners.size(); ++k) {
            m.PolyVert(p, static_cast<int>(k)) = corners[k];
            m.PolyTU(p, static_cast<int>(k)) = 0.25f * static_cast<float>(k);
            m.PolyTV(p, static_cast<int>(k)) = -0.5f;
        }
        m.PolyTex[p] = tex;
        m.PolyType[p] = type;
        return p;
    }
    void Square() {
        Model({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0.5f / 1024, 1.5f / 1024, 2.5f / 1024}},
              {"A", "B"});
    }

    test::TempDir dir;
    test::RecordingUi ui;
    Workspace ws{ui};
    model::ModelStore& m = ws.Model;
};

TEST_F(BinFormatTest, OpenReadsTheFileAtTheOpenScalesAndMergesRepeatedSectionNames) {
    const std::string path = Write("truck.bin", Sample());
    ASSERT_TRUE(OpenBin(ws, path));
    EXPECT_TRUE(ui.Messages.empty());
    ASSERT_EQ(m.VertCount, 4);
    EXPECT_FLOAT_EQ(m.Vert[0].X, 0.3048f);
    EXPECT_FLOAT_EQ(m.Vert[0].Y, -0.6096f);
    EXPECT_FLOAT_EQ(m.Vert[0].Z, 1.2192f);
    ASSERT_EQ(m.PolyCount, 3);
    ASSERT_EQ(m.TexCount, 2);
    EXPECT_EQ(m.TexName[0], "road");
    EXPECT_EQ(m.TexName[1], "Grass");
    EXPECT_EQ(std::vector<int>({m.PolyTex[0], m.PolyTex[1], m.PolyTex[2]}), std::vector<int>({0, 1, 0}));
    EXPECT_EQ(m.PolyType[1], 41);
    EXPECT_EQ(m.PolyVCount[1], 4);
    EXPECT_EQ(m.PolyVert(1, 3), 3);
    EXPECT_EQ(m.PolyTU(0, 1), 1.0f);
    EXPECT_EQ(m.PolyTV(0, 2), 0.5f);
    EXPECT_EQ(m.PolyTU(1, 3), 7.0f / kOne);
    EXPECT_EQ(m.PolyNZ[0], -1.0f);
    EXPECT_EQ(m.PolyNX[1], -1.0f);
    EXPECT_EQ(m.PolyNY[2], 0.5f);
    EXPECT_EQ(m.PolyFlag[2], 1);
    EXPECT_EQ(m.PolySel[0], model::kFalse);
    EXPECT_EQ(m.VertFlag[m.VertCount - 1] & 1, 1);
    EXPECT_EQ(m.PartCount(), 0) << "only the part list gives parts";
    EXPECT_EQ(m.ModelFileName, "truck.bin");
    EXPECT_EQ(m.ModelDir, dir.Path().string());
    EXPECT_EQ(ui.Caption, "ZV0.681 [ truck.bin ]    v: 4  p: 3");
    EXPECT_EQ(ui.Progress, std::vector<std::string>{"Loading Model: " + path});
    EXPECT_EQ(ui.TextureList, std::vector<std::string>({"Nl: road", "Nl: Grass"}));
}

TEST_F(BinFormatTest, MergeAppendsAtTheMergeScalesAndMakesAPart) {
    Model({{9, 9, 9}}, {"x", "Grass"});
    Poly({0, 0, 0}, 0);
    const std::string path = Write("wheel.BIN", Sample());
    ASSERT_TRUE(MergeBin(ws, path));
    ASSERT_EQ(m.VertCount, 5);
    EXPECT_EQ(m.Vert[1].X, 0.25f);
    EXPECT_EQ(m.Vert[1].Z, 1.0f);
    ASSERT_EQ(m.PolyCount, 4);
    EXPECT_EQ(m.PolyVert(1, 0), 2);
    EXPECT_EQ(m.PolyNZ[1], 1.0f);
    EXPECT_EQ(m.PolyNY[3], -0.5f);
    ASSERT_EQ(m.TexCount, 3);
    EXPECT_EQ(m.TexName[2], "road");
    EXPECT_EQ(std::vector<int>({m.PolyTex[1], m.PolyTex[2], m.PolyTex[3]}), std::vector<int>({2, 1, 2}));
    EXPECT_EQ(m.PolySel[0], model::kFalse);
    EXPECT_EQ(m.PolySel[3], model::kTrue);
    EXPECT_EQ(m.VertSel[4], model::kTrue);
    ASSERT_EQ(m.PartCount(), 1);
    EXPECT_EQ(m.PartNodes[0].Text, "wheel   p:3");
    EXPECT_EQ(m.LoadCount, 2);
    EXPECT_EQ(ui.Progress, std::vector<std::string>{"Merging Model: " + path});
    EXPECT_EQ(ui.Caption, "ZV0.681 [ wheel.BIN ]    v: 5  p: 4");
}

TEST_F(BinFormatTest, MissingFilesShortPathsAndMergingWithoutAModelChangeNothing) {
    EXPECT_FALSE(OpenBin(ws, "a.bi"));
    EXPECT_FALSE(MergeBin(ws, Write("x.bin", Sample()))) << "no model yet";
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(m.VertCount, -1);
    EXPECT_FALSE(OpenBin(ws, dir.File("gone.bin")));
    ExpectOnlyMessage("Bin-File not found", Upper(dir.File("gone.bin")));
    EXPECT_EQ(m.VertCount, -1);
}

TEST_F(BinFormatTest, WriteLaysOutSectionsRecordsAndTheQuadCut) {
    Square();
    Poly({0, 1, 2}, 0);
    Poly({0, 1, 3, 2}, 1, 9);
    const int six = Poly({0, 1, 3, 2, 4, 0}, 0, 11);
    m.TexName[m.TexCount++] = "A"; // a second index with the same name shares the section
    Poly({2, 1, 0}, 2, 12);
    const std::string path = dir.File("out.BIN");
    ASSERT_TRUE(WriteBin(ws, path));
    EXPECT_TRUE(ui.Messages.empty());

    BinImage f(5);
    f.Vertex(0, 0, 0).Vertex(1024, 0, 0).Vertex(0, 1024, 0).Vertex(1024, 1024, 0).Vertex(0, 2, 2);
    const auto uv = [](int k) { return Corner{0, k * (kOne / 4), -kOne / 2}; };
    const auto corners = [&](std::vector<int> vs) {
        std::vector<Corner> cs;
        for (std::size_t k = 0; k < vs.size(); ++k) {
            cs.push_back(uv(static_cast<int>(k)));
            cs.back().Vertex = vs[k];
        }
        return cs;
    };
    f.Section("A.RAW").Polygon(7, {0, 0, 65536}, corners({0, 1, 2}));
    f.Section("B.RAW").Polygon(9, {0, 0, 65536}, corners({0, 1, 3, 2}));
    f.Section("A.RAW").Polygon(11, {0, 0, 65536}, corners({0, 1, 3, 2}));
    f.Polygon(12, {0, 0, -65536}, corners({2, 1, 0}));
    f.I32(0);
    EXPECT_EQ(test::ReadBytes(path), f.Data());
    EXPECT_EQ(m.PolyVCount[six], 4);
    EXPECT_EQ(m.PolyNZ[0], -1.0f) << "normals are recomputed";
    EXPECT_EQ(m.ModelFileName, "out.bin");
    EXPECT_EQ(ui.Progress, std::vector<std::string>{"Saving Model out.BIN"});
}

TEST_F(BinFormatTest, SurfaceType41AddsTheVertexNormalRecordWhichOpenSkips) {
    Square();
    Poly({0, 1, 2}, 0, 41);
    const std::string path = dir.File("n.bin");
    ASSERT_TRUE(WriteBin(ws, path));
    const Bytes bytes = test::ReadBytes(path);
    BinImage head(5);
    head.Vertex(0, 0, 0).Vertex(1024, 0, 0).Vertex(0, 1024, 0).Vertex(1024, 1024, 0).Vertex(0, 2, 2);
    head.I32(3).I32(0).I32(5);
    for (int v = 0; v < 5; ++v) {
        head.Vertex(0, 0, v < 3 ? 65536 : 0);
    }
    head.Section("A.RAW");
    ASSERT_GE(bytes.size(), head.Data().size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(head.Data().size())), head.Data());
    ASSERT_TRUE(OpenBin(ws, path));
    EXPECT_EQ(m.PolyCount, 1);
    EXPECT_EQ(m.PolyType[0], 41);
}

TEST_F(BinFormatTest, RoundTripsGrowByTheOpenFactorAndKeepTheirSizeWhenMerged) {
    Model({{1, -2, 0.5f}, {3, 0, 0}, {0, 3, 0}, {0, 0, 3}}, {"tex"});
    Poly({0, 1, 2}, 0);
    Poly({3, 2, 1, 0}, 0, 25);
    const std::string path = dir.File("rt.bin");
    ASSERT_TRUE(WriteBin(ws, path));
    std::vector<float> nx, ny, nz; // as the write computed them
    for (int p = 0; p < 2; ++p) {
        nx.push_back(m.PolyNX[p]);
        ny.push_back(m.PolyNY[p]);
        nz.push_back(m.PolyNZ[p]);
    }
    for (const bool merge : {false, true}) {
        SCOPED_TRACE(merge ? "merge" : "open");
        test::RecordingUi ui2;
        Workspace back{ui2};
        if (merge) {
            BeginOpen(back);
            ASSERT_TRUE(MergeBin(back, path));
        } else {
            ASSERT_TRUE(OpenBin(back, path));
        }
        const model::ModelStore& r = back.Model;
        const float scale = merge ? 1.0f : 1024 * 0.3048f / 256;
        const float sign = merge ? -1.0f : 1.0f; // merge takes the file's normals unnegated
        ASSERT_EQ(r.VertCount, 4);
        ASSERT_EQ(r.PolyCount, 2);
        for (int v = 0; v < 4; ++v) {
            EXPECT_FLOAT_EQ(r.Vert[v].X, m.Vert[v].X * scale);
            EXPECT_FLOAT_EQ(r.Vert[v].Y, m.Vert[v].Y * scale);
            EXPECT_FLOAT_EQ(r.Vert[v].Z, m.Vert[v].Z * scale);
        }
        for (int p = 0; p < 2; ++p) {
            EXPECT_EQ(r.PolyVCount[p], m.PolyVCount[p]);
            EXPECT_EQ(r.PolyType[p], m.PolyType[p]);
            EXPECT_EQ(r.TexName[r.PolyTex[p]], "tex");
            EXPECT_NEAR(r.PolyNX[p], sign * nx[static_cast<std::size_t>(p)], 1.0 / 65536);
            EXPECT_NEAR(r.PolyNY[p], sign * ny[static_cast<std::size_t>(p)], 1.0 / 65536);
            EXPECT_NEAR(r.PolyNZ[p], sign * nz[static_cast<std::size_t>(p)], 1.0 / 65536);
            for (int k = 0; k < m.PolyVCount[p]; ++k) {
                EXPECT_EQ(r.PolyVert(p, k), m.PolyVert(p, k));
                EXPECT_EQ(r.PolyTU(p, k), m.PolyTU(p, k));
                EXPECT_EQ(r.PolyTV(p, k), m.PolyTV(p, k));
            }
        }
    }
}

TEST_F(BinFormatTest, AModelWithoutPolygonsEndsAfterItsVertices) {
    Model({{1, 2, 3}, {4, 5, 6}}, {});
    const std::string path = dir.File("dots.bin");
    ASSERT_TRUE(WriteBin(ws, path));
    BinImage f(2);
    f.Vertex(1024, 2048, 3072).Vertex(4096, 5120, 6144).I32(0);
    EXPECT_EQ(test::ReadBytes(path), f.Data());
    ASSERT_TRUE(OpenBin(ws, path));
    EXPECT_EQ(m.VertCount, 2);
    EXPECT_EQ(m.PolyCount, 0);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(BinFormatTest, WritesThatTheFormatCannotHoldAreRefusedAndLeaveFileAndModel) {
    struct Case {
        const char* What;
        void (*Spoil)(model::ModelStore&);
        std::string Text;
    };
    const std::vector<Case> cases{
        {"long name", [](model::ModelStore& s) { s.TexName[1] = "TWELVECHARS1"; },
         "Texture name too long for a BIN file: TWELVECHARS1"},
        {"type 0", [](model::ModelStore& s) { s.PolyType[1] = 0; },
         "Polygon 1 has surface type 0, which a BIN file cannot store"},
        {"type 13", [](model::ModelStore& s) { s.PolyType[0] = 13; },
         "Polygon 0 has surface type 13, which a BIN file cannot store"},
        {"texture", [](model::ModelStore& s) { s.PolyTex[1] = 2; },
         "Polygon 1 uses texture 2, which does not exist"},
        {"far vertex", [](model::ModelStore& s) { s.Vert[3].X = 3e6f; },
         "Vertex 3 lies too far out for a BIN file"},
        {"large u", [](model::ModelStore& s) { s.PolyTU(0, 1) = 200; },
         "Polygon 0 has a texture coordinate too large for a BIN file"},
    };
    const std::string path = dir.Write("keep.bin", std::string("old"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Square();
        Poly({0, 1, 2, 3, 4}, 0);
        Poly({0, 1, 2}, 1);
        c.Spoil(m);
        EXPECT_FALSE(WriteBin(ws, path));
        ExpectOnlyMessage("  Bin Save Error", c.Text);
        EXPECT_EQ(test::ReadText(path), "old");
        EXPECT_EQ(m.PolyVCount[0], 5);
        EXPECT_EQ(m.PolyNX[0], 0) << "nothing computed";
    }
}

TEST_F(BinFormatTest, AFailedSaveReportsThePositionAndGivesTheCornersBack) {
    Square();
    Poly({0, 1, 2, 3, 4}, 0);
    EXPECT_FALSE(WriteBin(ws, dir.File("no/such/folder.bin")));
    ExpectOnlyMessage("  Bin Save Error", "Error at Filepos. 1");
    EXPECT_EQ(m.PolyVCount[0], 5);
}

TEST_F(BinFormatTest, DamagedFilesNameTheFaultyElement) {
    struct Case {
        const char* What;
        BinImage File;
        std::size_t Position;
        int Vertices, Polygons, Names;
    };
    std::vector<Case> cases;
    const auto add = [&](const char* what, BinImage f, std::size_t pos, int v, int p, int t) {
        cases.push_back({what, std::move(f), pos, v, p, t});
    };
    const auto tri = [](BinImage& f) -> BinImage& {
        return f.Polygon(5, {0, 0, 0}, {{0, 0, 0}, {1, 0, 0}, {1, 0, 0}});
    };
    add("wrong tag", BinImage(2, 21), 1, 0, 0, 0);
    add("vertex count beyond capacity", BinImage(80002), 17, 0, 0, 0);
    add("negative vertex count", BinImage(-1), 17, 0, 0, 0);
    {
        BinImage f(3);
        f.Vertex(1, 2, 3).I32(4);
        add("truncated vertex", f, f.Next(), 1, 0, 0);
    }
    {
        BinImage f(2);
        f.Vertex(0, 0, 0).Vertex(0, 0, 0).I32(3).I32(0).I32(2).Vertex(0, 0, 0).Vertex(0, 0, 0);
        const std::size_t at = f.Next();
        add("no section after vertex normals", f.I32(5), at, 2, 0, 0);
    }
    {
        BinImage f(2);
        f.Vertex(0, 0, 0).Vertex(0, 0, 0).I32(3).I32(0).I32(2).Vertex(0, 0, 0);
        add("truncated vertex normals", f, f.Next(), 2, 0, 0);
    }
    BinImage two(2);
    two.Vertex(0, 0, 0).Vertex(0, 0, 0).Section("a.raw");
    tri(two);
    {
        BinImage f = two;
        f.Section("b.raw").I32(5);
        const std::size_t at = f.Next();
        add("two corners", f.I32(2), at, 2, 1, 2);
    }
    {
        BinImage f = two;
        f.I32(5);
        const std::size_t at = f.Next();
        add("seventeen corners", f.I32(17), at, 2, 1, 1);
    }
    {
        BinImage f = two;
        f.I32(5).I32(3).Vertex(0, 0, 0).I32(0).Vertex(1, 0, 0);
        const std::size_t at = f.Next();
        add("corner beyond the vertices", f.Vertex(2, 0, 0), at, 2, 1, 1);
    }
    {
        BinImage f = two;
        f.I32(5).I32(3).Vertex(0, 0, 0).I32(0);
        const std::size_t at = f.Next();
        add("negative corner", f.Vertex(-1, 0, 0), at, 2, 1, 1);
    }
    {
        BinImage f = two;
        f.I32(13).I32(0).I32(0x2E414141);
        add("truncated name field", f, f.Next() - 4, 2, 1, 1);
    }
    add("missing end", two, two.Next(), 2, 1, 1);
    {
        BinImage f(0);
        std::size_t at = 0;
        for (int t = 0; t < 502; ++t) {
            at = f.Next() + 8;
            f.Section("t" + std::to_string(t));
        }
        add("502 names", f.I32(0), at, 0, 0, 501);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        ASSERT_FALSE(OpenBin(ws, Write("bad.bin", c.File)));
        ExpectOnlyMessage("  bin_open ERROR", "Error at Filepos. " + Hex(c.Position));
        EXPECT_EQ(m.VertCount, c.Vertices);
        EXPECT_EQ(m.PolyCount, c.Polygons);
        EXPECT_EQ(m.TexCount, c.Names);
        EXPECT_EQ(Breach(m), "");
    }
}

TEST_F(BinFormatTest, AFailedMergeKeepsTheCountsAndTheCapacityHolds) {
    Model({{0, 0, 0}}, {"a"});
    m.PolyCount = 80000; // as if full; the merge only appends
    BinImage f(2);
    f.Vertex(0, 0, 0).Vertex(0, 0, 0).Section("new.raw").Polygon(5, {0, 0, 0},
                                                                 {{0, 0, 0}, {1, 0, 0}, {1, 0, 0}});
    const std::size_t second = f.Next();
    f.Polygon(5, {0, 0, 0}, {{0, 0, 0}, {1, 0, 0}, {1, 0, 0}}).I32(0);
    EXPECT_FALSE(MergeBin(ws, Write("big.bin", f)));
    // A second line says which capacity the merge would exceed.
    ExpectOnlyMessage("  bin_open ERROR", "Error at Filepos. " + Hex(second) +
                                              "\rToo many polygons for the model: 80000 + 2 (at most 80001)");
    EXPECT_EQ(m.VertCount, 1);
    EXPECT_EQ(m.PolyCount, 80000);
    EXPECT_EQ(m.TexCount, 1);
    EXPECT_EQ(m.PartCount(), 0);

    m.PolyCount = 0;
    m.VertCount = 80000;
    EXPECT_FALSE(MergeBin(ws, Write("big.bin", f)));
    ExpectOnlyMessage("  bin_open ERROR",
                      "Error at Filepos. 11\rToo many vertices for the model: 80000 + 2 (at most 80001)");
    EXPECT_EQ(m.VertCount, 80000);
}

TEST_F(BinFormatTest, TheThirdPartySampleStopsAtItsFirstCornerBeyondTheVertices) {
    const std::string sample = std::string(ZV_SOURCE_DIR) + "/tests/data/jtrfp_testStatic.BIN";
    EXPECT_FALSE(OpenBin(ws, sample));
    ExpectOnlyMessage("  bin_open ERROR", "Error at Filepos. 8D");
    EXPECT_EQ(m.VertCount, 4);
    EXPECT_FLOAT_EQ(m.Vert[3].Z, 11 / 256.0f * 0.3048f);
    EXPECT_EQ(m.PolyCount, 0);
    ASSERT_EQ(m.TexCount, 1);
    EXPECT_EQ(m.TexName[0], "Test");
}

// ---- Part list ---------------------------------------------------------------------------------

class BinPartListTest : public BinFormatTest {
protected:
    void TwoParts() {
        Square();
        for (int p = 0; p < 3; ++p) {
            Poly({0, 1, 2}, 0);
        }
        m.PolySel[0] = m.PolySel[2] = model::kTrue;
        edit::AddPart(m, ui, "body");
        model::DeselectAll(m);
        m.PolySel[1] = model::kTrue;
        edit::AddPart(m, ui, "x");
        m.PartNodes[1].Text = "hood001";
    }
};

TEST_F(BinPartListTest, PartsRoundTripThroughTheModelFolder) {
    std::filesystem::create_directory(dir.Path() / "models");
    ws.Settings.Mtm2ModelPath = dir.File("models");
    TwoParts();
    ASSERT_TRUE(WriteBin(ws, dir.File("Car.BIN")));
    EXPECT_EQ(test::ReadText(dir.File("models/Car.bin.info")),
              " 2 \r\nbody   p:2\r\n 2 \r\n 0 \r\n 2 \r\nhood001\r\n 1 \r\n 1 \r\n 0 \r\n");
    ASSERT_TRUE(OpenBin(ws, dir.File("Car.BIN")));
    ASSERT_EQ(m.PartCount(), 2);
    EXPECT_EQ(m.PartNodes[0].Text, "body   p:2");
    EXPECT_EQ(m.PartNodes[1].Text, "hood001");
    EXPECT_EQ(m.GroupSize[1], 2);
    EXPECT_EQ(m.GroupPoly(1, 2), 2);
    EXPECT_EQ(m.GroupSize[2], 1);
    EXPECT_EQ(m.GroupPoly(2, 1), 1);
    EXPECT_EQ(ui.PartsCaption, "Groups: 2");
}

TEST_F(BinPartListTest, WithoutAUsableModelFolderTheListLiesBesideTheFileFoundInAnyCase) {
    ws.Settings.Mtm2ModelPath = dir.File("missing");
    TwoParts();
    ASSERT_TRUE(WriteBin(ws, dir.File("car.bin")));
    std::filesystem::rename(dir.File("car.bin.info"), dir.File("CAR.BIN.INFO"));
    std::filesystem::rename(dir.File("car.bin"), dir.File("Car.Bin"));
    ASSERT_TRUE(OpenBin(ws, dir.File("Car.Bin")));
    EXPECT_EQ(m.PartCount(), 2);
}

TEST_F(BinPartListTest, ABadListKeepsTheModelAndThePartsBeforeTheFault) {
    ASSERT_TRUE(OpenBin(ws, Write("t.bin", Sample())));
    dir.Write("t.bin.info", std::string(" 3 \nok\n 3 \n 2 \n 7 \n-1 \nbad\n 1281 \n 0 \nnever\n 1 \n 0 \n"));
    ASSERT_TRUE(OpenBin(ws, dir.File("t.bin")));
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(m.PolyCount, 3);
    ASSERT_EQ(m.PartCount(), 1);
    EXPECT_EQ(m.GroupSize[1], 1) << "members outside the polygons are dropped";
    EXPECT_EQ(m.GroupPoly(1, 1), 2);
    EXPECT_EQ(Breach(m), "");
}

TEST_F(BinPartListTest, AModelNeverMeetsThePartListOfAnother) {
    std::filesystem::create_directory(dir.Path() / "models");
    ws.Settings.Mtm2ModelPath = dir.File("models");
    TwoParts();
    const std::string list = dir.File("models/car.bin.info");
    dir.Write("models/car.bin.info", std::string("the old model's parts"));

    // The model cannot be written: the old list stays as it was.
    EXPECT_FALSE(WriteBin(ws, dir.File("no/such/car.bin")));
    EXPECT_EQ(test::ReadText(list), "the old model's parts");
    EXPECT_FALSE(std::filesystem::exists(list + ".old"));
    ui.Messages.clear();

    // The list cannot be written (its name is taken by a folder): no model is written either.
    std::filesystem::create_directory(dir.Path() / "models" / "van.bin.info");
    EXPECT_FALSE(WriteBin(ws, dir.File("van.bin")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("van.bin")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("models/van.bin.info")));
    ui.Messages.clear();

    // Both written: the new list replaces the old one.
    ASSERT_TRUE(WriteBin(ws, dir.File("car.bin")));
    EXPECT_NE(test::ReadText(list), "the old model's parts");
    EXPECT_FALSE(std::filesystem::exists(list + ".old"));
}

TEST_F(BinPartListTest, SavingAModelWithoutPartsRemovesTheOldList) {
    TwoParts();
    ASSERT_TRUE(WriteBin(ws, dir.File("car.bin")));
    edit::ClearParts(m, ui);
    ASSERT_TRUE(WriteBin(ws, dir.File("car.bin")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("car.bin.info")));
}

// ---- Robustness --------------------------------------------------------------------------------

TEST_F(BinFormatTest, DamagedVariantsNeverBreakTheModel) {
    BinImage f = Sample();
    const Bytes good = f.Data();
    std::mt19937 rng(20240611);
    std::vector<Bytes> variants;
    for (std::size_t n = 0; n < good.size(); n += 4) {
        variants.emplace_back(good.begin(), good.begin() + static_cast<long>(n));
    }
    const std::int32_t odd[] = {0, 3, 13, 16, 17, -1, 4, 80001, 0x7FFFFFFF};
    for (std::size_t at = 0; at + 4 <= good.size(); at += 4) {
        Bytes b = good;
        const std::int32_t v = odd[rng() % std::size(odd)];
        std::memcpy(b.data() + at, &v, 4);
        variants.push_back(std::move(b));
    }
    for (int i = 0; i < 150; ++i) {
        Bytes b = good;
        for (int j = 0; j < 1 + i % 4; ++j) {
            b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
        }
        variants.push_back(std::move(b));
    }
    const std::string path = dir.File("fuzz.bin");
    for (std::size_t i = 0; i < variants.size(); ++i) {
        dir.Write("fuzz.bin", variants[i]);
        OpenBin(ws, path);
        ASSERT_EQ(Breach(m), "") << "open of variant " << i;
        MergeBin(ws, path);
        ASSERT_EQ(Breach(m), "") << "merge of variant " << i;
        ui.Messages.clear();
    }
}

} // namespace
} // namespace zv::formats
