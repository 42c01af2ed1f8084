// Offscreen OpenGL for tests: an OSMesa surface of RGBA pixels with a 32-bit
// depth buffer (as the device asks a window for), on Mesa's llvmpipe.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gl_binding.h"
#include "platform/offscreen/offscreen.h"

class OffscreenGlTest : public ::testing::Test {
  protected:
    // Size of the surface; a test may change these before SetUp runs.
    int width = 128;
    int height = 128;

    platform::WindowHandle surface = 0;
    platform::GlContext context = nullptr;

    void SetUp() override;
    void TearDown() override;

    // Makes the test's own context current (for tests that call OpenGL directly).
    void MakeCurrent();
    void Release();

    // The pixel at (x, y), y counted from the bottom row, read with glReadPixels
    // from the current context.
    std::array<int, 4> ReadPixel(int x, int y) const;
    // The whole surface as RGBA rows, row 0 at the bottom, read from the current context.
    std::vector<std::uint8_t> ReadFrame() const;
};

// Writes RGBA rows (row 0 at the bottom) to a PNG file, top row first.
void WritePngRgba(const std::string& path, int width, int height, const std::vector<std::uint8_t>& bottomUpRgba);

// Share of pixels whose channels differ by more than `tolerance` levels.
double DifferingShare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int tolerance);
