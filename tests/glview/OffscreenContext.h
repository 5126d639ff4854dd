#pragma once
// One offscreen OpenGL compatibility context for the whole test program (Mesa's surfaceless
// EGL platform), rendering into a small framebuffer object that tests read back.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

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
