#include "formats/NascarFormats.h"

#include "config/Settings.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace zv::formats {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Index = std::array<std::int16_t, 4>;

template <class T> void Put(Bytes& b, T v) {
    const auto at = b.size();
    b.resize(at + sizeof v);
    std::memcpy(b.data() + at, &v, sizeof v);
}

// A model (int16 vertices, 24-byte polygons) or track (int32 vertices, 44-byte polygons) file:
// header, vertex block, polygon block.
class NascarImage {
public:
    explicit NascarImage(bool track) : track_(track) {}
    NascarImage& Vertex(std::int32_t a, std::int32_t b, std::int32_t c) {
        for (const std::int32_t v : {a, b, c}) {
            track_ ? Put(verts_, v) : Put(verts_, static_cast<std::int16_t>(v));
        }
        ++nv_;
        return *this;
    }
    NascarImage& Polygon(Index idx, std::uint8_t code = 'B', std::array<std::uint8_t, 8> uv = {}) {
        const std::size_t start = polys_.size();
        polys_.resize(start + (track_ ? 6 : 2), 0xEE);
        polys_[start] = code;
        for (const std::int16_t i : idx) {
            Put(polys_, i);
        }
        if (track_) {
            polys_.resize(polys_.size() + 30, 0xEE);
        } else {
            Put(polys_, std::int16_t{0});
            polys_.insert(polys_.end(), uv.begin(), uv.end());
            Put(polys_, std::int32_t{0});
        }
        ++np_;
        return *this;
    }
    // The counts in the header are the records' unless given.
    Bytes Data(std::optional<std::int16_t> nv = {}, std::optional<std::int16_t> np = {}) const {
        Bytes out;
        Put(out, nv.value_or(nv_));
        Put(out, np.value_or(np_));
        Put(out, std::int32_t{0});
        Put(out, std::int32_t{16});
        Put(out, static_cast<std::int32_t>(16 + verts_.size()));
        out.insert(out.end(), verts_.begin(), verts_.end());
        out.insert(out.end(), polys_.begin(), polys_.end());
        return out;
    }
    // 1-based position of polygon p.
    std::uint64_t PolygonAt(int p) const {
        return 17 + verts_.size() + static_cast<std::size_t>(p) * (track_ ? 44 : 24);
    }

private:
    bool track_;
    std::int16_t nv_ = 0;
    std::int16_t np_ = 0;
    Bytes verts_;
    Bytes polys_;
};

class NascarFormatsTest : public ::testing::Test {
protected:
    // Decodes bytes; the 1-based fault position, or 0 when the file was read whole.
    std::uint64_t Decode(const Bytes& bytes, bool track) {
        job = std::make_unique<DecodeJob>(
            DecodeJob{bytes, "x", m, 0, 0, ui, settings, std::nullopt, 0, 0, {}, {}, false, std::nullopt});
        try {
            track ? DecodeNascarTrk(*job) : DecodeNascarObj(*job);
        } catch (const ReadError& e) {
            return e.Position();
        }
        return 0;
    }

    model::ModelStore m;
    test::RecordingUi ui;
    config::Settings settings;
    std::unique_ptr<DecodeJob> job;
};

// Ten vertices; the last is (128, 256, -384).
NascarImage ObjModel() {
    NascarImage f(false);
    for (std::int16_t i = 0; i < 9; ++i) {
        f.Vertex(i * 128, 0, 0);
    }
    f.Vertex(128, 256, -384);
    return f;
}

TEST_F(NascarFormatsTest, ModelVerticesPolygonsAndTextures) {
    NascarImage f = ObjModel();
    f.Polygon({5, 6, 7, 5}, 'B', {0, 1, 2, 3, 4, 5, 6, 7})
        .Polygon({5, 6, 7, 8}, 'D', {10, 20, 30, 40, 50, 60, 255, 128})
        .Polygon({0, 1, 2, 3}, 'A');
    ASSERT_EQ(Decode(f.Data(), false), 0u);
    EXPECT_EQ(job->Vertices, 10);
    EXPECT_EQ(job->Polygons, 3);
    EXPECT_EQ(job->TextureNames, (std::vector<std::string>{"Tex001", "Tex002", "Tex003"}));
    EXPECT_EQ(m.Vert[9].X, -1);
    EXPECT_EQ(m.Vert[9].Y, -3);
    EXPECT_EQ(m.Vert[9].Z, -2);

    ASSERT_EQ(m.PolyVCount[0], 3);
    EXPECT_EQ(m.PolyVert(0, 2), 7);
    EXPECT_EQ(m.PolyTU(0, 2), 4 / 256.0f);
    EXPECT_EQ(m.PolyTV(0, 2), 5 / 256.0f);
    ASSERT_EQ(m.PolyVCount[1], 4);
    EXPECT_EQ(m.PolyVert(1, 3), 8);
    EXPECT_EQ(m.PolyTU(1, 3), 255 / 256.0f);
    EXPECT_EQ(m.PolyTV(1, 3), 0.5f);
    EXPECT_EQ(m.PolyTex[0], 0);
    EXPECT_EQ(m.PolyTex[1], 2);
    EXPECT_EQ(m.PolyTex[2], 0); // below "B"
}

TEST_F(NascarFormatsTest, TrackVerticesAndPolygons) {
    NascarImage f(true);
    f.Vertex(10, -20, 35).Vertex(0, 0, 0).Vertex(1, 1, 1).Vertex(2, 2, 2);
    f.Polygon({0, 1, 2, 0}).Polygon({3, 2, 1, 0});
    ASSERT_EQ(Decode(f.Data(), true), 0u);
    EXPECT_EQ(job->Polygons, 2);
    EXPECT_FLOAT_EQ(m.Vert[0].X, 1);
    EXPECT_FLOAT_EQ(m.Vert[0].Y, -2);
    EXPECT_FLOAT_EQ(m.Vert[0].Z, 3.5f);
    EXPECT_EQ(m.PolyVCount[0], 3);
    ASSERT_EQ(m.PolyVCount[1], 4);
    EXPECT_EQ(m.PolyVert(1, 0), 3);
    EXPECT_EQ(m.PolyTV(1, 3), 1);
    EXPECT_LT(m.PolyTex[1], static_cast<int>(job->TextureNames.size()));
}

TEST_F(NascarFormatsTest, BadCountsOffsetsAndCornersAreFaults) {
    NascarImage f = ObjModel();
    f.Polygon({0, 1, 2, 0}).Polygon({0, 1, 10, 0});
    EXPECT_EQ(Decode(f.Data(std::int16_t{-2}), false), 1u);
    EXPECT_EQ(Decode(f.Data(std::int16_t{10}, std::int16_t{-0x8000}), false), 3u);
    Bytes offset = f.Data();
    offset[11] = 0x80; // vertex block at a negative offset
    EXPECT_EQ(Decode(offset, false), 9u);
    offset = f.Data();
    offset[14] = 0x01; // polygon block beyond the end
    EXPECT_EQ(Decode(offset, false), 13u);

    // A corner beyond the vertices: the complete polygon before it stays.
    EXPECT_EQ(Decode(f.Data(), false), f.PolygonAt(1));
    EXPECT_EQ(job->Vertices, 10);
    EXPECT_EQ(job->Polygons, 1);

    NascarImage t(true);
    t.Vertex(0, 0, 0).Vertex(1, 1, 1).Vertex(2, 2, 2).Polygon({0, 1, 2, -1});
    EXPECT_EQ(Decode(t.Data(), true), t.PolygonAt(0));
}

TEST_F(NascarFormatsTest, EveryTruncationIsAFault) {
    NascarImage obj = ObjModel();
    obj.Polygon({0, 1, 2, 3}).Polygon({4, 5, 6, 4});
    NascarImage trk(true);
    trk.Vertex(1, 2, 3).Vertex(4, 5, 6).Vertex(7, 8, 9).Polygon({0, 1, 2, 0}).Polygon({2, 1, 0, 1});
    for (const bool track : {false, true}) {
        const Bytes whole = (track ? trk : obj).Data();
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            const std::uint64_t at = Decode(cut, track);
            ASSERT_GT(at, 0u) << n;
            EXPECT_LE(at, n + 1) << n;
        }
        EXPECT_EQ(Decode(whole, track), 0u);
    }
}

TEST_F(NascarFormatsTest, OpenThroughTheTableKeepsTheCompletePolygons) {
    EXPECT_EQ(NascarFormatFor("/a/B.TRK"), "nrtrk");
    EXPECT_EQ(NascarFormatFor("/a.trk/b.obj"), "nrobj");
    const ModelFormat* f = FindFormat("nrobj");
    if (f == nullptr) {
        GTEST_SKIP() << "nrobj is not in the table yet";
    }
    NascarImage img = ObjModel();
    img.Polygon({0, 1, 2, 3}).Polygon({4, 5, 6, 4});
    Bytes cut = img.Data();
    cut.pop_back();
    test::TempDir dir;
    auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false;
    EXPECT_FALSE(OpenModelFile(*ws, *f, dir.Write("car.obj", cut)));
    EXPECT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ws->Model.VertCount, 10);
    EXPECT_EQ(ws->Model.PolyCount, 1);
    EXPECT_EQ(ws->Model.TexCount, 3);
}

} // namespace
} // namespace zv::formats
