#pragma once
// Object models and tracks of the two touring-car and rally games: M3D and C3D models (one
// reader, the header told apart by the first four bytes), BFP tracks (one section of a chain)
// and C3D tracks (one section). Decoders of the shared open (see ModelFormat.h).

#include "formats/ModelFormat.h"

namespace zv::formats {

// An M3D or C3D model: each object record becomes one part named after the object, every face
// a triangle of type 24. The files name no textures, so the model gets one texture "Tex0"; a
// face without texture (-1) takes texture 1 and the corner coordinates (0,0), (0,1), (1,0).
// A fault throws ReadError; Vertices, Polygons and Parts then hold the complete objects.
void DecodeTocaModel(DecodeJob& job);

// The step of a BFP open before the model is emptied: takes job.Section, or asks the user for
// the number (its numeric value, 0 .. 255) and sets job.Section; Cancel sets job.Cancelled.
// Walks the chain of sections: a size that runs past the file is a fault at its field, a
// section past the last one throws ReadError("section N not found (K sections)") at the end.
void CheckBfpTrack(DecodeJob& job);

// One section of a BFP track, chosen as CheckBfpTrack does when job.Section is not set. Objects
// are moved to the position of the first placement that names them; texture names are the
// section's, in upper case.
void DecodeBfpTrack(DecodeJob& job);

// A C3D track: one section with placements and objects as a BFP section; its textures are
// named "Tex0", "Tex1", ... as the file names none.
void DecodeC3dTrack(DecodeJob& job);

} // namespace zv::formats
