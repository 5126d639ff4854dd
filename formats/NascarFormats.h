#pragma once
// Nascar Revolution models (.obj) and tracks (.trk): a 16-byte header with the vertex and polygon
// counts and the offsets of their blocks, then fixed-size vertex and polygon records.

#include "formats/ModelFormat.h"

#include <string_view>

namespace zv::formats {

// Decodes a model: vertices (-a, c, -b) / 128, triangles and quads with their texture
// coordinates, texture "B" (code 66) as texture 0 of the names Tex001 .. Tex003. A negative
// count, a block outside the file, a corner that names no vertex of the file or a record cut
// short throws ReadError at the field or record; the job then holds the vertices and the
// polygons complete before it.
void DecodeNascarObj(DecodeJob& job);

// Decodes a track: vertices of three int32 in tenths, triangles and quads with the corners of
// the unit square as texture coordinates, all on texture 1 of the names Tex001 .. Tex003. Faults
// as for a model.
void DecodeNascarTrk(DecodeJob& job);

// The format a path chosen in the one dialog of both is opened as: "nrtrk" when its last three
// characters are "trk" in any letter case, otherwise "nrobj".
std::string_view NascarFormatFor(std::string_view path);

} // namespace zv::formats
