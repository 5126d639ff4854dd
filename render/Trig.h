#pragma once
// Whole-degree sine and cosine tables for every view rotation, so the per-vertex loops never
// call a trigonometric function.

namespace zv::render {

inline constexpr int kTrigFirstDegree = -1;
inline constexpr int kTrigLastDegree = 361;

// The table index of an angle in degrees: the nearest whole degree, halves to even, clamped to
// -1 .. 361 so no angle can index outside the tables. NaN gives 0.
int DegreeIndex(double degrees);

// Cosine and sine of d * 0.017453292 for the whole degree d; d outside -1 .. 361 is clamped.
float CosTab(int d);
float SinTab(int d);

// The table entries of an angle in degrees (rounded by DegreeIndex).
inline float CosDeg(double degrees) {
    return CosTab(DegreeIndex(degrees));
}
inline float SinDeg(double degrees) {
    return SinTab(DegreeIndex(degrees));
}

} // namespace zv::render
