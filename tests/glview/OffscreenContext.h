#pragma once
// One offscreen OpenGL compatibility context for the whole program (Mesa's surfaceless EGL
// platform), rendering into a framebuffer object that tests read back. The benchmarks use it
// too, so it needs nothing of the test framework (ZV_REQUIRE_GL does, where it is used).

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace zv::tests {

inline constexpr int kGlSize = 64;

using Pixel = std::array<std::uint8_t, 4>;

class OffscreenContext {
public:
    // The context, current and bound to its kGlSize × kGlSize framebuffer; null when none
    // could be made (Why() says why).
    static OffscreenContext* Get();
    static const std::string& Why();

    // Colour at (x, y), y counted from the bottom row.
    Pixel At(int x, int y) const;

    // Makes a width × height framebuffer (made on first use of that size) the target of the
    // following drawing; false when it cannot be made. Get() leaves the kGlSize one bound.
    bool Bind(int width, int height);
    // Every pixel of the bound width × height framebuffer as RGBA, bottom row first.
    std::vector<std::uint8_t> ReadAll(int width, int height) const;

private:
    OffscreenContext() = default;
};

} // namespace zv::tests

// Skips the test when no OpenGL context exists; fails instead when the CI variable is set.
#define ZV_REQUIRE_GL()                                                                                      \
    do {                                                                                                     \
        if (::zv::tests::OffscreenContext::Get() == nullptr) {                                               \
            if (std::getenv("CI") != nullptr)                                                                \
                FAIL() << "no OpenGL context: " << ::zv::tests::OffscreenContext::Why();                     \
            GTEST_SKIP() << "no OpenGL context: " << ::zv::tests::OffscreenContext::Why();                   \
        }                                                                                                    \
    } while (false)
