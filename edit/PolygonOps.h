#pragma once
// The polygon commands: add and change a polygon from vertex numbers, go to one, delete the
// current or all selected polygons, flip, mirror and rotate texture coordinates, copy to the
// back side, split to triangles, merge triangles to quads, remove wrong polygons, add quads to
// the selected edges and set the surface of the selected polygons.
//
// Each takes the store and the recorder of the step it runs in, declares what it will change
// before changing it, and returns what changed (nothing when it was refused or found nothing to
// do). Only polygons 0 .. PolyCount - 1 take part. Polygon rows move through the column list, so
// every per-polygon column follows its polygon; part members are renumbered with them.
//
// Polygons are deleted one after another in a fixed order (the order of the menu commands),
// and a part drops a member by moving its last member into the gap, so that order decides the
// order of the members, which the BIN part list writes. The batch commands give exactly the
// member order of deleting one polygon at a time.
//
// The work marks of the store (PolyMark, PolyMark2) are not written: the commands keep their
// marks to themselves, so a command changes only the rows it declares.
//
// A command that adds polygons or vertices checks its whole growth against the capacity first
// and refuses with a message, changing nothing, when it does not fit.

#include "edit/Change.h"
#include "edit/History.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zv::edit {

// The most polygons a model can have; the table holds one slot more.
inline constexpr int kMaxPolygons = 80000;

// The surface type a polygon added from the panel gets ("Textured").
inline constexpr std::int32_t kTexturedType = 52;

// ---- The polygon panel --------------------------------------------------------------------

// The corners the entries of the polygon panel give, in box order: an entry counts when it is
// a number that rounds (half to even) to a vertex of the model. Empty, non-numeric, negative
// and too large entries are skipped; only the first 16 entries are read.
std::vector<std::int32_t> CountedCorners(const model::ModelStore& m, std::span<const std::string> entries);

// Appends a polygon with the counted corners: shown, not selected, texture 0, type 52, colour
// 0, texture coordinates (0, 0), (1, 0), (1, 1), (0, 1) by corner number modulo 4 in all
// sixteen corner slots, and its normal. Fewer than three counted entries change nothing (the
// panel stays open). At kMaxPolygons it shows "Can't add," CR "80000 polygons is the limit !"
// (title "Add Polygon") and changes nothing.
Change AddPolygon(model::ModelStore& m, Recorder& rec, model::UserInterface& ui,
                  std::span<const std::string> entries);

// Gives the current polygon the counted corners and recomputes its normal; texture coordinates
// and the other fields stay. A current corner, current edge or selected edge past the new
// corner count becomes none. Nothing without a current polygon or with fewer than three
// counted entries.
Change ChangePolygon(model::ModelStore& m, Recorder& rec, std::span<const std::string> entries);

// Makes polygon n (rounded half to even) the current polygon. A number that does not round to
// 0 .. PolyCount - 1 shows "Polygon " text " doesn't exist ! " (title "Goto Face ERROR"). A
// current corner or edge the polygon does not have becomes none. A cursor move, not a step.
Change GotoPolygon(model::ModelStore& m, model::UserInterface& ui, double n, std::string_view text);

// ---- Deleting -----------------------------------------------------------------------------

// Deletes polygon p: every part that lists it drops it, the polygons after it move down one
// slot and part members follow them. CurPoly keeps its value (the polygon that followed), or
// becomes none past the new count; a current corner or edge the current polygon does not have
// becomes none. Nothing when p is not a polygon.
Change DeletePolygon(model::ModelStore& m, Recorder& rec, std::int32_t p);

// Deletes every selected polygon, in the order of passes over the polygons that each delete
// the selected polygons they meet and step over the polygon that moved into the gap.
Change DeleteSelectedPolygons(model::ModelStore& m, Recorder& rec, model::UserInterface& ui);

// Deletes every wrong polygon in ascending order. Wrong: with four corners or more, three of
// corners 0 .. 3 on one vertex, or the four on two vertices in pairs (c0 = c1 and c2 = c3,
// c0 = c2 and c1 = c3, or c0 = c3 and c1 = c2); with three corners, two of them on one vertex;
// fewer than three corners.
Change RemoveWrongPolygons(model::ModelStore& m, Recorder& rec, model::UserInterface& ui);

// ---- Corners and texture coordinates of the selected polygons -----------------------------

// Reverses the order of corners 0 .. n - 2 (vertex and texture coordinates together); the last
// corner keeps its place: (a, b, c) becomes (b, a, c), (a, b, c, d) becomes (c, b, a, d).
Change FlipSelectedPolygons(model::ModelStore& m, Recorder& rec);

// A triangle swaps the texture coordinates of corners 0 and 1, a quad also those of 3 and 2;
// other polygons stay.
Change MirrorSelectedTextures(model::ModelStore& m, Recorder& rec);

// Corner k takes the texture coordinates of corner k + 1, the last corner those of corner 0.
Change RotateSelectedTextures(model::ModelStore& m, Recorder& rec);

// Appends, for every selected polygon in ascending order, a copy facing the other way: corners
// in reverse order with their texture coordinates, texture, type and colour copied, shown, not
// selected, in no part, its normal recomputed. Refused ("Copy to Backside") when the copies do
// not fit.
Change CopyToBackside(model::ModelStore& m, Recorder& rec, model::UserInterface& ui);

// ---- Splitting and merging ----------------------------------------------------------------

// Splits polygon p into two triangles A and B appended in that order, then deletes p. A quad
// is cut along the diagonal from corner 0 (e = 0 or 2; any e outside 0 .. 3 too) or from
// corner 1 (e = 1 or 3). A triangle gets a new vertex M in the middle of the edge opposite
// corner e (shown, not selected), with A = (c0, c1, M), B = (c0, M, c2) for e = 0,
// (c0, c1, M), (c1, c2, M) for e = 1 and (c2, c0, M), (M, c1, c2) for e = 2; another e leaves
// it as it is. Every corner keeps its texture coordinates, M gets those of the edge's middle.
// A and B copy texture, type and colour, are shown, not selected, with a fresh normal. When p
// belonged to a part, the first part that listed it gets A and B in its place.
// Other corner counts show "Only Polygons with 3 or 4 Vertices can be splitted atm." (title
// "Split to Triangles"). Refused with a message when the new polygon, the new vertex or the
// part's two new members do not fit. Nothing when p is not a polygon or a corner is no vertex.
Change SplitPolygon(model::ModelStore& m, Recorder& rec, model::UserInterface& ui, std::int32_t p,
                    std::int32_t e);

// Splits every selected triangle and quad as SplitPolygon with e = 0, in passes over the
// polygons as DeleteSelectedPolygons makes them, and makes corner 0 the current corner. A
// selected polygon of another corner count refuses the whole command with the message of
// SplitPolygon; one with a corner that is no vertex stays as it is. The whole growth is
// checked first; a refusal changes nothing.
Change SplitSelectedPolygons(model::ModelStore& m, Recorder& rec, model::UserInterface& ui);

// For i ascending, the selected triangle i that is not merged yet takes the lowest selected
// triangle j not merged yet with the same texture, normals within 0.0174 on each axis, three
// different vertices each, and exactly two vertices in common. Triangle i becomes a quad in
// place: its corners keep their order and corner 0, and the vertex of j it lacks comes in,
// with its texture coordinates, between the two shared corners; its normal is recomputed.
// The j triangles are deleted in ascending order.
Change MergeTrianglesToQuads(model::ModelStore& m, Recorder& rec, model::UserInterface& ui);

// ---- Edges --------------------------------------------------------------------------------

// For every polygon with a selected edge e (joining corner e = a and corner e + 1 = b), in
// ascending order: two vertices a' and b' appended at a and b, selected, and a quad appended
// with corners (a', b', b, a) turned so that a' is corner e mod 4, with the polygon's texture,
// type and colour, and the texture coordinates of its corners 0 .. 3 (a triangle repeats corner
// 0 as corner 3), shown, not selected, with its normal. Every other vertex is deselected
// first. Afterwards every selected edge becomes none and a pending mark v (-100 or below)
// becomes edge -100 - v; the status bar shows "Part added (vert:" 2k "  poly: " k ")". An edge
// the polygon does not have is skipped; with no edge to extend nothing changes. Refused ("Add
// Quads to Edges") when the new vertices or quads do not fit.
Change ExtrudeSelectedEdges(model::ModelStore& m, Recorder& rec, model::UserInterface& ui);

// ---- Surface ------------------------------------------------------------------------------

struct SurfacePreset {
    const char* Caption;
    std::int32_t Type;
};

// The entries of the surface type list, in list order.
std::span<const SurfacePreset> SurfacePresets();

// The captions of the sixteen surface type boxes, bit k = box k.
std::span<const char* const> SurfaceBitCaptions();

// The value of the sixteen surface type boxes (bit k = box k), bit 15 as the sign.
std::int32_t SurfaceTypeFromBits(std::uint16_t bits);

// What a colour box holds after an edit: a non-numeric text becomes "0", a value above 255
// "255", a negative one "0"; other texts stay.
std::string CorrectColourText(std::string_view text);

// What the surface panel writes into each selected polygon; an empty field is left alone.
struct SurfaceSettings {
    std::optional<std::int32_t> Type;
    std::optional<std::array<double, 4>> Colour; // R, G, B, A: rounded (half to even), 0 .. 255
    std::optional<std::int32_t> Texture;         // a list index; -1 (none chosen) or no texture: left
};

Change SetSurface(model::ModelStore& m, Recorder& rec, const SurfaceSettings& s);

// The same for the current polygon alone (the texture window); nothing without one.
Change SetCurrentSurface(model::ModelStore& m, Recorder& rec, const SurfaceSettings& s);

// The type, colour and texture of the current polygon, for filling the panel; nullopt without
// one.
struct Surface {
    std::int32_t Type = 0;
    std::array<std::uint8_t, 4> Colour{};
    std::int32_t Texture = 0;
};
std::optional<Surface> CurrentSurface(const model::ModelStore& m);

} // namespace zv::edit
