#pragma once
// Capacities of the model store. Index ranges are inclusive of 0 .. capacity - 1.

namespace zv::model {

inline constexpr int kVertexCapacity = 80001;  // vertices 0 .. 80000
inline constexpr int kPolygonCapacity = 80001; // polygons 0 .. 80000
inline constexpr int kMaxCorners = 16;         // corners 0 .. 15 of one polygon
inline constexpr int kTextureCapacity = 501;   // texture names 0 .. 500
inline constexpr int kPartSlots = 801;         // part slots 0 .. 800, slot 0 holds no part
inline constexpr int kMaxParts = 800;
inline constexpr int kMemberSlots = 1281; // members are stored in slots 1 .. 1280
inline constexpr int kMaxPartMembers = 1280;

// The limits shown to the user.
inline constexpr int kUserMaxVertices = 80000;
inline constexpr int kUserMaxPolygons = 80000;
inline constexpr int kUserMaxTextures = 500;

inline constexpr const char* kVersion = "0.681";

} // namespace zv::model
