#pragma once
// Hand-built M3D / C3D models and BFP / C3D tracks for the tests and the benchmark. Ignored
// fields hold a filler pattern, so a reader that takes one for a count or offset goes wrong.

#include "formats/ByteWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zv::test {

struct TocaVertex {
    std::int32_t X = 0, Y = 0, Z = 0, U = 0, V = 0; // 16 fractional bits
};

struct TocaFace {
    std::int16_t A = 0, B = 0, C = 0, Tex = 0;
};

struct TocaObject {
    std::string Name;
    std::vector<TocaVertex> Verts;
    std::vector<TocaFace> Faces;

    std::size_t Size() const { return 48 + 32 * Verts.size() + 24 * Faces.size(); }
};

// Type 80 records carry no placement; the others place Object (1-based) at X, Y, Z.
struct TocaPlacement {
    std::int16_t Type = 1;
    std::int16_t X = 0, Y = 0, Z = 0;
    std::int16_t Object = 0;
};

enum class TocaHeader { M3d, Cmpr, Plain };

inline constexpr std::int32_t kTocaFiller = 0x11223344;

inline void Filler32(formats::ByteWriter& w, int n) {
    for (int i = 0; i < n; ++i) {
        w.I32(kTocaFiller);
    }
}

inline void PutObject(formats::ByteWriter& w, const TocaObject& o, int nv = -1, int nf = -1) {
    std::string name = o.Name;
    name.resize(8, '\0');
    for (const char c : name) {
        w.U8(static_cast<std::uint8_t>(c));
    }
    Filler32(w, 2);
    w.I16(static_cast<std::int16_t>(nv < 0 ? static_cast<int>(o.Verts.size()) : nv));
    w.I16(static_cast<std::int16_t>(nf < 0 ? static_cast<int>(o.Faces.size()) : nf));
    Filler32(w, 6);
    for (const TocaVertex& v : o.Verts) {
        w.I32(kTocaFiller);
        w.I32(v.X), w.I32(v.Y), w.I32(v.Z), w.I32(v.U), w.I32(v.V);
        Filler32(w, 2);
    }
    w.I32(kTocaFiller);
    for (const TocaFace& f : o.Faces) {
        w.I16(0x1122);
        w.I16(f.A), w.I16(f.B), w.I16(f.C), w.I16(f.Tex);
        Filler32(w, 3);
        w.I16(0x1122);
    }
}

// A model whose objects start right after the header (28, 36 or 32 bytes).
inline std::vector<std::uint8_t> TocaModel(TocaHeader form, const std::vector<TocaObject>& objects) {
    formats::ByteWriter w;
    std::size_t size = 36;
    for (const TocaObject& o : objects) {
        size += o.Size();
    }
    w.Reserve(size);
    const auto count = static_cast<std::int16_t>(objects.size());
    if (form == TocaHeader::Cmpr) {
        w.U8('C'), w.U8('M'), w.U8('P'), w.U8('R');
        Filler32(w, 4);
        w.I16(0x1122), w.I16(count);
        Filler32(w, 2);
        w.I32(36 - 8);
    } else if (form == TocaHeader::M3d) {
        w.U8('M'), w.U8('3'), w.U8('D'), w.U8(0);
        Filler32(w, 2);
        w.I16(0x1122), w.I16(count);
        Filler32(w, 2);
        w.I32(28);
    } else {
        w.I32(kTocaFiller);
        Filler32(w, 3);
        w.I16(count), w.I16(0x1122), w.I16(0x1122), w.I16(0x1122);
        w.I32(kTocaFiller);
        w.I32(32 - 4);
    }
    for (const TocaObject& o : objects) {
        PutObject(w, o);
    }
    return w.Release();
}

inline void PutPlacement(formats::ByteWriter& w, const TocaPlacement& p) {
    w.I16(p.Type);
    const int words = p.Type == 80 ? 39 : 41; // after the type
    for (int n = 2; n <= words + 1; ++n) {
        const std::int16_t value = n == 30   ? p.X
                                   : n == 32 ? p.Y
                                   : n == 34 ? p.Z
                                   : n == 41 ? p.Object
                                             : 0x1122;
        w.I16(p.Type == 80 ? std::int16_t{0x1122} : value);
    }
}

inline std::size_t PlacementsSize(const std::vector<TocaPlacement>& ps) {
    std::size_t n = 0;
    for (const TocaPlacement& p : ps) {
        n += p.Type == 80 ? 80 : 84;
    }
    return n;
}

// One BFP section, size field included; texture names in 12-byte fields.
inline std::vector<std::uint8_t> BfpSection(const std::vector<TocaPlacement>& ps,
                                            const std::vector<TocaObject>& objects,
                                            const std::vector<std::string>& names) {
    formats::ByteWriter w;
    w.I32(0); // patched
    Filler32(w, 3);
    w.I16(static_cast<std::int16_t>(ps.size())), w.I16(static_cast<std::int16_t>(objects.size()));
    w.I32(static_cast<std::int32_t>(names.size()));
    w.I32(kTocaFiller);
    w.I32(static_cast<std::int32_t>(32 + PlacementsSize(ps)));
    w.I32(kTocaFiller);
    for (const TocaPlacement& p : ps) {
        PutPlacement(w, p);
    }
    for (const TocaObject& o : objects) {
        PutObject(w, o);
    }
    for (std::string name : names) {
        name.resize(12, '\0');
        for (const char c : name) {
            w.U8(static_cast<std::uint8_t>(c));
        }
    }
    w.PatchI32(0, static_cast<std::int32_t>(w.Size() - 4));
    return w.Release();
}

inline std::vector<std::uint8_t> C3dTrack(const std::vector<TocaPlacement>& ps,
                                          const std::vector<TocaObject>& objects, std::int16_t textures) {
    formats::ByteWriter w;
    Filler32(w, 5);
    w.I16(static_cast<std::int16_t>(ps.size())), w.I16(static_cast<std::int16_t>(objects.size()));
    w.I16(textures), w.I16(0x1122);
    w.I32(kTocaFiller);
    w.I32(static_cast<std::int32_t>(40 + PlacementsSize(ps) - 8));
    w.I32(kTocaFiller);
    for (const TocaPlacement& p : ps) {
        PutPlacement(w, p);
    }
    for (const TocaObject& o : objects) {
        PutObject(w, o);
    }
    return w.Release();
}

} // namespace zv::test
