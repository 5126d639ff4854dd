#pragma once
// Byte layout of the two VRL variants: header size and the header offsets of every count and
// block offset. The reader uses the marked fields; the writer fills them all.

#include <cstdint>

namespace zv::formats {

enum class VrlVariant { Scgt, F1_2000 };

struct VrlHeaderLayout {
    int HeaderSize;
    // Fields the reader uses.
    int VertexCount;        // Nv
    int VertexOffset;
    int CornerCount;        // Nc
    int CornerVertexOffset; // int32 per corner
    int CornerUOffset;      // float32 per corner
    int CornerVOffset;      // float32 per corner
    int NormalCount;        // Nn
    int NormalOffset;
    int PolygonCount;       // Np
    int CornerCountOffset;  // int32 per polygon
    int FirstCornerOffset;  // int32 per polygon
    int NormalIndexOffset;
    int PlaneOffset;
    int ColourOffset;       // 4 bytes per polygon: blue, green, red, fourth
    int SurfaceTypeOffset;  // int32 per polygon
    int TextureIndexOffset; // int32 per polygon
    int TextureCount;       // Nt
    int TextureNameOffset;  // 12 bytes per name
};

inline constexpr VrlHeaderLayout kScgtLayout{
    172, 60, 64, 96, 100, 104, 108, 112, 116, 120, 124, 128, 132, 136, 144, 152, 156, 160, 164,
};

inline constexpr VrlHeaderLayout kF1Layout{
    200, 60, 64, 92, 96, 100, 104, 116, 120, 124, 128, 132, 136, 140, 148, 156, 160, 188, 192,
};

inline constexpr const VrlHeaderLayout& LayoutOf(VrlVariant v) {
    return v == VrlVariant::Scgt ? kScgtLayout : kF1Layout;
}

inline constexpr int kVrlVertexSize = 16;  // X, Y, Z, one unused field
inline constexpr int kVrlNameSize = 12;    // zero-padded; a 12-character name has no terminator
inline constexpr int kVrlMaxCorners = 80001;
inline constexpr int kVrlMaxNames = 501;

} // namespace zv::formats
