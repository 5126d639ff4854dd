#pragma once
// What a command changed. Operations return it instead of refreshing anything; the shell turns
// it into exactly one rebuild and redraw (and the caption, the parts tree or the texture lists
// when those changed).

namespace zv::edit {

struct Change {
    enum Bit : unsigned {
        Geometry = 1u << 0,  // vertex positions
        Polygons = 1u << 1,  // corners, textures, types, colours of polygons
        Selection = 1u << 2, // selection flags and cursors
        Parts = 1u << 3,     // the parts and their tree
        Textures = 1u << 4,  // texture names and the texture table
        Counts = 1u << 5,    // vertex, polygon or texture counts (the caption shows them)
        Waypoints = 1u << 6, // the waypoint and slot tables, their selection and current waypoint
        Path = 1u << 7,      // the path and the Bezier control points
        Dummies = 1u << 8,   // the dummy objects, their names and selection
        Cameras = 1u << 9,   // the scene cameras
    };
    unsigned Bits = 0;

    constexpr Change() = default;
    constexpr Change(unsigned bits) : Bits(bits) {} // NOLINT: a bit set reads naturally
    constexpr bool Any() const { return Bits != 0; }
    constexpr bool Has(unsigned bit) const { return (Bits & bit) != 0; }
    constexpr Change& operator|=(const Change& other) {
        Bits |= other.Bits;
        return *this;
    }
    friend constexpr Change operator|(Change a, const Change& b) { return a |= b; }
    friend constexpr bool operator==(const Change&, const Change&) = default;
};

// Nothing changed: the command was refused or found nothing to do.
inline constexpr Change kNoChange{};

} // namespace zv::edit
