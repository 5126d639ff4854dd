#pragma once
// The track generator: the path turned into a closed track model, a band of eleven textured
// strips (road, dirt, grass, a raised wall and two more grass strips on each side), with parts
// "Trak", "Sidr" and "Sidl" per stretch between split points and the eleven texture names.

#include "edit/Change.h"
#include "edit/History.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "track/Path.h"

#include <array>
#include <string>

namespace zv::track {

inline constexpr int kStrips = 11;
inline constexpr int kSectionVertices = 16; // per path point
inline constexpr int kSectionPolygons = 15; // per segment

// The inputs of the track-builder panel (Txt_Piece 0 .. 10, Txt_PTex 0 .. 10, Txt_Splitdist).
struct TrackSection {
    std::array<float, kStrips> Widths{4, 4, 0.5f, 10, 1, 16, 1, 10, 0.5f, 4, 4};
    std::array<std::string, kStrips> Textures{"Grasc", "Grasb", "Conca", "Grasa", "Dirtl", "Roada",
                                              "Dirtr", "Grasa", "Conca", "Grasb", "Grasc"};
    float SplitDistance = 40;
};

// "Create": replaces the model with the track along the path (headings and segment lengths of
// the path are recomputed and stored), as one history step that undo reverts whole (model rows,
// counts, parts, texture names; the path's columns). Nothing for a path of fewer than 2 points.
// Refused with a message, before anything changes, when the track would pass the model store's
// capacities (16 vertices and 15 polygons per point) or a part would pass its member limit or
// the part table; widths or a split distance that are not finite are refused the same way.
edit::Change GenerateTrack(model::UserInterface& ui, model::ModelStore& m, PathTable& p, const TrackSection& s,
                           edit::Recorder& rec);

} // namespace zv::track
