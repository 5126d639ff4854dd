#pragma once
// The waypoint table (the AI driving line of a track, a ring of linked waypoints) and the slot
// table (grid start positions with their pit positions), as read from and written to AIW files.
//
// Coordinates: waypoint positions are model coordinates (the OpenGL view mirrors them in X like
// the model); slot vectors are stored mirrored, as the negated model position.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zv::waypoints {

inline constexpr int kWaypointCapacity = 3001;
inline constexpr int kSlotCapacity = 33;

// Link 4 of a waypoint without a pit slot.
inline constexpr std::int16_t kNoPitSlot = -2;

struct WaypointRec {
    std::array<float, 3> pos{};    // "X", "Y", "Z"
    std::array<float, 2> ori{};    // "Camber", "Elevation"
    std::array<float, 2> spare{};  // kept with the record, never in a file
    std::array<float, 4> width{};  // "Paving" (1, 2), "Left", "Right"
    std::array<float, 4> score{};  // "Checkpoint", "Distance/m", unused, unused
    std::array<float, 3> opt{};    // "Grip", "Lateral step", "Corridor width"
    std::string depth;             // hexadecimal byte pairs, kept as read
    std::string ins;               // "Trackpart" (SCGT files only)
    std::array<std::int16_t, 4> ptrs{}; // previous, next, branch (-1: none), pit slot (-2: none)
    std::int16_t key = 0;          // F1CS files only
    std::int16_t marks = 0;
    std::int16_t events = 0;

    friend bool operator==(const WaypointRec&, const WaypointRec&) = default;
};

struct SlotRec {
    std::array<float, 3> AVPos{};
    std::array<float, 3> AVOrient{};
    std::array<float, 3> AVPitPos{};
    std::array<float, 3> AVPitOri{};

    friend bool operator==(const SlotRec&, const SlotRec&) = default;
};

// The two AIW dialects: Sports Car GT (wp_ins) and F1 Championship Season (wp_key, wp_marks,
// wp_events).
enum class Dialect { Scgt, F1cs };

// The waypoint part of the document. Records past the counts keep stale contents and are not in
// use. Selection flags are bytes (0 or 1).
struct WaypointTables {
    std::vector<WaypointRec> Wp = std::vector<WaypointRec>(kWaypointCapacity);
    std::vector<std::uint8_t> WpSel = std::vector<std::uint8_t>(kWaypointCapacity);
    std::int16_t WpCount = 0;
    float LapLength = 0;
    std::int16_t CurWp = 0;

    std::array<SlotRec, kSlotCapacity> Slots{};
    std::array<std::uint8_t, kSlotCapacity> SlotSel{}; // start position selected
    std::array<std::uint8_t, kSlotCapacity> PitSel{};  // pit position selected
    int SlotCount = 0;

    // The dialect of the last file read (the default of a conversion).
    Dialect LoadedDialect = Dialect::Scgt;

    friend bool operator==(const WaypointTables&, const WaypointTables&) = default;
};

// The display switches of the Waypoint menu and the last measured distance; view state, not
// part of the document.
struct WaypointDisplay {
    bool ShowWaypoints = true;       // "Display Waypoints"
    bool ShowSlots = true;           // "Display Slots"
    bool FollowWaypoints = false;    // "Follow Waypoints (OpenGL)"
    bool CenterOnWaypoint = false;   // "Center View on curr. WP (Wireframe)"
    float WpDist = 0;                // distance from the current waypoint to the mouse
};

// True when i is a waypoint in use.
inline bool IsWaypoint(const WaypointTables& t, int i) {
    return i >= 0 && i < t.WpCount && i < kWaypointCapacity;
}

} // namespace zv::waypoints
