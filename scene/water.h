// The lake's water: a 128 x 128 height field following a damped wave
// equation, dented by random drops, drawn sphere-mapped into the lake.
//
// Grid coordinates: row r lies at x = 1 - 2r/127 and column c at
// y = 1 - 2c/127, so the grid spans -1..1 in x and y (row 0 at x = 1,
// column 0 at y = 1). DrawWater places it in the lake model's space with
// translate (24, 190, -11) and scale (74, 74, 40): x -50..98, y 116..264,
// height -11 + 40 h. Rows and columns 0 and 127 are a fixed rim of height 0.
#pragma once

#include <cstdint>

// Cells per side of the height fields and of the vertex grid.
constexpr int WaterSize = 128;
constexpr int WaterCells = WaterSize * WaterSize;

// One vertex of the drawn surface: position, then normal. Its layout is what
// the vertex-array drawing hands to OpenGL (stride 24 bytes).
struct TWaterVertex {
    float X, Y, Z;
    float NormalX, NormalY, NormalZ;
};
static_assert(sizeof(TWaterVertex) == 24, "a water vertex is six packed floats");

// The two height fields, row-major (cell [r][c] at r * 128 + c), heights in
// grid units (the drawing scales them by 40); WaterCurrent and WaterPrevious
// point into them and trade places after every step.
extern float WaterHeights[2][WaterCells];
extern float* WaterCurrent;  // the heights now
extern float* WaterPrevious; // one step ago; the next step writes here
// The drawn surface, row-major like the heights. x, y and the normal's z are
// fixed by InitWater; z and the normal's x and y follow each step.
extern TWaterVertex WaterGrid[WaterCells];

// Tick counts (milliseconds) of the last drop and the last simulation step.
extern std::uint32_t LastDropTime;
extern std::uint32_t LastStepTime;

// Shortest time between two throttled steps, milliseconds.
constexpr std::uint32_t WaterStepInterval = 15;
// A drop follows the previous one after DropInterval + 0..DropJitter-1 ms.
constexpr std::uint32_t DropInterval = 1500;
constexpr std::uint32_t DropJitter = 500;
// Drop centres lie in rows and columns DropMargin .. DropMargin + DropPositions - 1.
constexpr int DropPositions = 110;
constexpr int DropMargin = 3;

// Prepares the water grid; once, during the full-screen set-up.
void InitWater();
// A drop when due (or forced), at most one simulation step per 15 ms when
// throttled, then the 126 triangle strips into the open frame.
void DrawWater(bool forceDrop, bool throttle);
// DrawWater without the drawing, for the warm-up before any frame is open:
// the same random draws, drop, step and swap. True when it made a step.
bool AdvanceWater(bool forceDrop, bool throttle);
// The drawing of DrawWater alone: the water as it stands, into the open
// frame. After AdvanceWater it shows what DrawWater would have drawn; one
// frame on several monitors steps once and draws it once a monitor.
void DrawWaterSurface();

// How the strips reach OpenGL. Both send the same vertices in the same order
// and give the same picture. Vertex arrays are the default: 126 calls instead
// of 64 000, and on the software renderer a little faster (bench/water_bench.cpp
// measures both).
enum TWaterStripMode : std::uint8_t { WaterStripsImmediate, WaterStripsArrays };
extern TWaterStripMode WaterStripMode;
