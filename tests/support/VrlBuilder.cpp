#include "tests/support/VrlBuilder.h"

#include <cstring>
#include <stdexcept>

namespace zv::test {
namespace {

using formats::VrlHeaderLayout;
using formats::VrlVariant;

enum class Content {
    Zero,
    Vertices,
    CornerVertex,
    CornerU,
    CornerV,
    CornerCount,
    FirstCorner,
    Colour,
    SurfaceType,
    TextureIndex,
    Names
};
enum class Per { Vertex, Corner, Normal, Polygon, Name };

// One block: the header field that holds its offset, what it holds, its element size and
// what it has one element per.
struct Block {
    int Field;
    Content What;
    int ElementSize;
    Per Count;
};

std::vector<Block> ScgtBlocks() {
    const VrlHeaderLayout& l = formats::kScgtLayout;
    return {
        {l.VertexOffset, Content::Vertices, 16, Per::Vertex},
        {68, Content::Zero, 32, Per::Vertex},
        {72, Content::Zero, 4, Per::Vertex},
        {76, Content::Zero, 4, Per::Vertex},
        {80, Content::Zero, 4, Per::Vertex},
        {84, Content::Zero, 4, Per::Vertex},
        {88, Content::Zero, 4, Per::Vertex},
        {92, Content::Zero, 4, Per::Corner}, // one link per corner
        {l.CornerVertexOffset, Content::CornerVertex, 4, Per::Corner},
        {l.CornerUOffset, Content::CornerU, 4, Per::Corner},
        {l.CornerVOffset, Content::CornerV, 4, Per::Corner},
        {l.NormalOffset, Content::Zero, 16, Per::Normal},
        {l.CornerCountOffset, Content::CornerCount, 4, Per::Polygon},
        {l.FirstCornerOffset, Content::FirstCorner, 4, Per::Polygon},
        {l.NormalIndexOffset, Content::Zero, 4, Per::Polygon},
        {l.PlaneOffset, Content::Zero, 4, Per::Polygon},
        {140, Content::Zero, 4, Per::Polygon},
        {l.ColourOffset, Content::Colour, 4, Per::Polygon},
        {148, Content::Zero, 4, Per::Polygon},
        {l.SurfaceTypeOffset, Content::SurfaceType, 4, Per::Polygon},
        {l.TextureIndexOffset, Content::TextureIndex, 4, Per::Polygon},
        {l.TextureNameOffset, Content::Names, formats::kVrlNameSize, Per::Name},
    };
}

std::vector<Block> F1Blocks() {
    const VrlHeaderLayout& l = formats::kF1Layout;
    std::vector<Block> blocks{
        {l.VertexOffset, Content::Vertices, 16, Per::Vertex},
        {68, Content::Zero, 32, Per::Vertex},
        {72, Content::Zero, 16, Per::Vertex},
        {76, Content::Zero, 16, Per::Vertex},
        {80, Content::Zero, 4, Per::Vertex},
        {84, Content::Zero, 4, Per::Vertex},
        {88, Content::Zero, 4, Per::Vertex},
        {l.CornerVertexOffset, Content::CornerVertex, 4, Per::Corner},
        {l.CornerUOffset, Content::CornerU, 4, Per::Corner},
        {l.CornerVOffset, Content::CornerV, 4, Per::Corner},
        {108, Content::Zero, 4, Per::Corner},
        {112, Content::Zero, 4, Per::Corner},
        {l.NormalOffset, Content::Zero, 16, Per::Normal},
        {l.CornerCountOffset, Content::CornerCount, 4, Per::Polygon},
        {l.FirstCornerOffset, Content::FirstCorner, 4, Per::Polygon},
        {l.NormalIndexOffset, Content::Zero, 4, Per::Polygon},
        {l.PlaneOffset, Content::Zero, 4, Per::Polygon},
        {144, Content::Zero, 4, Per::Polygon},
        {l.ColourOffset, Content::Colour, 4, Per::Polygon},
        {152, Content::Zero, 4, Per::Polygon},
        {l.SurfaceTypeOffset, Content::SurfaceType, 4, Per::Polygon},
        {l.TextureIndexOffset, Content::TextureIndex, 4, Per::Polygon},
    };
    for (int field = 164; field <= 184; field += 4) {
        blocks.push_back({field, Content::Zero, 4, Per::Polygon});
    }
    blocks.push_back({l.TextureNameOffset, Content::Names, formats::kVrlNameSize, Per::Name});
    return blocks;
}

class Sink {
public:
    explicit Sink(std::size_t headerSize) : bytes_(headerSize, 0) {}
    std::size_t Size() const { return bytes_.size(); }
    void Byte(std::uint8_t b) { bytes_.push_back(b); }
    template <class T> void Put(T value) {
        std::uint8_t raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        bytes_.insert(bytes_.end(), raw, raw + sizeof(T));
    }
    void Zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    VrlImage& Bytes() { return bytes_; }

private:
    VrlImage bytes_;
};

int Count(const VrlFileModel& m, int corners, Per per) {
    switch (per) {
    case Per::Vertex:
        return static_cast<int>(m.Vertices.size());
    case Per::Corner:
        return corners;
    case Per::Normal:
        return m.NormalCount < 0 ? static_cast<int>(m.Polygons.size()) : m.NormalCount;
    case Per::Polygon:
        return static_cast<int>(m.Polygons.size());
    case Per::Name:
        break;
    }
    return static_cast<int>(m.TextureNames.size());
}

void PutCorners(Sink& out, const VrlFileModel& m, Content what) {
    for (const VrlPolygon& p : m.Polygons) {
        for (const VrlCorner& c : p.Corners) {
            if (what == Content::CornerVertex) {
                out.Put(c.Vertex);
            } else {
                out.Put(what == Content::CornerU ? c.U : c.V);
            }
        }
    }
}

void PutPolygons(Sink& out, const VrlFileModel& m, Content what) {
    std::int32_t first = 0;
    for (const VrlPolygon& p : m.Polygons) {
        const auto n = static_cast<std::int32_t>(p.Corners.size());
        switch (what) {
        case Content::CornerCount:
            out.Put(n);
            break;
        case Content::FirstCorner:
            out.Put(first);
            break;
        case Content::Colour:
            out.Byte(p.B);
            out.Byte(p.G);
            out.Byte(p.R);
            out.Byte(p.A);
            break;
        case Content::SurfaceType:
            out.Put(p.SurfaceType);
            break;
        default:
            out.Put(p.Texture);
            break;
        }
        first += n;
    }
}

void PutBlock(Sink& out, const VrlFileModel& m, const Block& b, int count) {
    switch (b.What) {
    case Content::Zero:
        out.Zeros(static_cast<std::size_t>(count) * static_cast<std::size_t>(b.ElementSize));
        break;
    case Content::Vertices:
        for (const auto& v : m.Vertices) {
            out.Put(v[0]);
            out.Put(v[1]);
            out.Put(v[2]);
            out.Put(std::int32_t{0});
        }
        break;
    case Content::CornerVertex:
    case Content::CornerU:
    case Content::CornerV:
        PutCorners(out, m, b.What);
        break;
    case Content::Names:
        for (const std::string& name : m.TextureNames) {
            for (char c : name) {
                out.Byte(static_cast<std::uint8_t>(c));
            }
            out.Zeros(static_cast<std::size_t>(formats::kVrlNameSize) - name.size());
        }
        break;
    default:
        PutPolygons(out, m, b.What);
        break;
    }
}

void CheckFits(const VrlImage& image, std::size_t offset) {
    if (offset > image.size() || image.size() - offset < 4) {
        throw std::out_of_range("int32 outside the image");
    }
}

} // namespace

VrlImage BuildVrl(const VrlFileModel& model, VrlVariant variant) {
    for (const std::string& name : model.TextureNames) {
        if (name.size() > static_cast<std::size_t>(formats::kVrlNameSize)) {
            throw std::invalid_argument("texture name longer than its field: " + name);
        }
    }
    const VrlHeaderLayout& l = formats::LayoutOf(variant);
    int corners = 0;
    for (const VrlPolygon& p : model.Polygons) {
        corners += static_cast<int>(p.Corners.size());
    }

    Sink out(static_cast<std::size_t>(l.HeaderSize));
    std::vector<std::pair<int, std::int32_t>> fields{
        {l.VertexCount, Count(model, corners, Per::Vertex)},
        {l.CornerCount, corners},
        {l.NormalCount, Count(model, corners, Per::Normal)},
        {l.PolygonCount, Count(model, corners, Per::Polygon)},
        {l.TextureCount, Count(model, corners, Per::Name)},
    };
    for (const Block& b : variant == VrlVariant::Scgt ? ScgtBlocks() : F1Blocks()) {
        fields.emplace_back(b.Field, static_cast<std::int32_t>(out.Size()));
        PutBlock(out, model, b, Count(model, corners, b.Count));
    }
    VrlImage& image = out.Bytes();
    for (const auto& [field, value] : fields) {
        SetInt32(image, static_cast<std::size_t>(field), value);
    }
    if (variant == VrlVariant::F1_2000) {
        const float far = 100000000.0f;
        std::memcpy(image.data() + 44, &far, 4);
        std::memcpy(image.data() + 48, &far, 4);
    }
    return image;
}

std::int32_t Int32At(const VrlImage& image, std::size_t offset) {
    CheckFits(image, offset);
    std::int32_t value;
    std::memcpy(&value, image.data() + offset, 4);
    return value;
}

void SetInt32(VrlImage& image, std::size_t offset, std::int32_t value) {
    CheckFits(image, offset);
    std::memcpy(image.data() + offset, &value, 4);
}

std::size_t ElementAt(const VrlImage& image, int headerField, int index, int elementSize) {
    return static_cast<std::size_t>(Int32At(image, static_cast<std::size_t>(headerField))) +
           static_cast<std::size_t>(index) * static_cast<std::size_t>(elementSize);
}

std::int32_t AppendInt32Block(VrlImage& image, const std::vector<std::int32_t>& values) {
    const auto offset = static_cast<std::int32_t>(image.size());
    image.resize(image.size() + 4 * values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        SetInt32(image, static_cast<std::size_t>(offset) + 4 * i, values[i]);
    }
    return offset;
}

void Truncate(VrlImage& image, std::size_t size) {
    if (size < image.size()) {
        image.resize(size);
    }
}

} // namespace zv::test
