#include "render/Trig.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace zv::render {
namespace {

constexpr int kEntries = kTrigLastDegree - kTrigFirstDegree + 1;
// Radians per degree to nine places, as the tables have always been filled.
constexpr double kRadPerDegree = 0.017453292;

struct Tables {
    std::array<float, kEntries> Cos{};
    std::array<float, kEntries> Sin{};
    Tables() {
        for (int d = kTrigFirstDegree; d <= kTrigLastDegree; ++d) {
            const auto i = static_cast<std::size_t>(d - kTrigFirstDegree);
            Cos[i] = static_cast<float>(std::cos(d * kRadPerDegree));
            Sin[i] = static_cast<float>(std::sin(d * kRadPerDegree));
        }
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

std::size_t Slot(int d) {
    return static_cast<std::size_t>(std::clamp(d, kTrigFirstDegree, kTrigLastDegree) - kTrigFirstDegree);
}

} // namespace

int DegreeIndex(double degrees) {
    if (std::isnan(degrees)) {
        return 0;
    }
    // Clamp before converting so that huge angles cannot overflow the integer conversion.
    const double whole =
        std::nearbyint(std::clamp(degrees, double{kTrigFirstDegree}, double{kTrigLastDegree}));
    return static_cast<int>(whole);
}

float CosTab(int d) {
    return TheTables().Cos[Slot(d)];
}

float SinTab(int d) {
    return TheTables().Sin[Slot(d)];
}

} // namespace zv::render
