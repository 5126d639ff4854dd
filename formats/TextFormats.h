#pragma once
// Decoders of the text model formats: the NFS text export and the 3D Studio ASCII export. Both
// read triangles only, turn their corner order round (the model winds the other way), and throw
// ReadError with the byte position of the faulty line; the shared open then keeps nothing.

#include "formats/ModelFormat.h"

namespace zv::formats {

// The PolyType of every triangle the text formats give.
inline constexpr int kTextPolyType = 52;

// NFS text: counts after "Number of vertices:" / "Number of triangles:", then fixed-height
// records after "Table of vertices" (X, Y, Z and one unread line) and "Table of triangles" (I1 to
// I3, U1 to U3, V1 to V3). One texture, named after the file; one part named after the file.
void DecodeNfsText(DecodeJob& job);
// True when the first bytes hold the vertex count's key line: ".txt" alone says nothing.
bool SniffNfsText(std::span<const std::uint8_t> head);

// 3D Studio ASCII: "Vertex n: X: Y: Z:" and "Face n: A: B: C: AB:" lines, numbered from 0 in
// each "Named object:"; every named object with faces becomes a part. The file's Y and Z swap
// places. No texture names and no texture coordinates.
void DecodeAsc(DecodeJob& job);

} // namespace zv::formats
