// The lake's world: where the water lies, the shape of the land around it
// and the viewpoint (the sun and the air are in lighting.h). World units,
// z up, x east, y north.
//
// The water surface is laid into the lake by the scene at a fixed place: its
// 128 x 128 grid spans x -50..98 and y 116..264 at height -11 (a unit square
// from -1 to 1, scaled by 74 and moved to (24, 190, -11)). Everything here is
// built around that square: the shoreline lies well inside it and the land
// rises above the water all along its edges, so the square's straight sides
// are always under ground.
#pragma once

#include "tools/scenegen/lighting.h"
#include "tools/scenegen/picture.h"

namespace scenegen {

// A rectangle of the ground, x from X0 to X1 and y from Y0 to Y1.
struct TArea {
    float X0, Y0, X1, Y1;
};

// The water square.
constexpr float WaterLevel = -11.0f;
constexpr float WaterCentreX = 24.0f;
constexpr float WaterCentreY = 190.0f;
constexpr float WaterHalfSize = 74.0f;
constexpr float WaterHeightScale = 40.0f; // the grid's heights (-1..1) to world units

// The part of the square the water's strips cover (rows 1..127, columns
// 1..126 of the grid), and how far below the still water the ground must lie
// for the water to hide it whatever its waves do (their troughs stay within
// a unit or two of the still level).
constexpr TArea WaterDrawnArea{WaterCentreX - WaterHalfSize, WaterCentreY - WaterHalfSize * 125.0f / 127.0f,
                               WaterCentreX + WaterHalfSize * 125.0f / 127.0f,
                               WaterCentreY + WaterHalfSize * 125.0f / 127.0f};
constexpr float HiddenBedDepth = 3.0f;

// The lake: a rounded basin around this point; ShoreRadius gives its edge.
constexpr float LakeCentreX = 24.0f;
constexpr float LakeCentreY = 194.0f;
// Distance from the lake centre to the waterline in the direction `angle`
// (radians, counter-clockwise from east); between 43 and 61.
float ShoreRadius(float angle);

// The stream that feeds the falls, winding down from the hills to the notch
// in the rock face's lip: 1 in its water, falling to 0 on its banks.
float StreamWater(float x, float y);
// The stream's low banks of stone and wet earth: 1 at the water's edge
// (and under the water), falling to 0 a little way out from it. `fromLip`
// is set to how far upstream of the lip (x, y) lies.
float StreamBank(float x, float y, float& fromLip);

// Ground height at (x, y): below WaterLevel inside the lake, above it outside.
float TerrainHeight(float x, float y);
// How much of the ground at (x, y) is loose stone fallen from the
// escarpment, heaped in fans at its foot: 0 none, 1 all.
float ScarpTalus(float x, float y);
// How wooded the ground is at (x, y), where it lies at `height`: 0 open,
// 1 woods (before slope: rock faces carry no trees).
float WoodsDensity(float x, float y, float height);
// Unit normal of the ground at (x, y), from central differences `step` apart.
TVec3 TerrainNormal(float x, float y, float step);

// The land the terrain mesh covers, and the part of it around the lake that
// has the fine grid and its own detailed texture.
constexpr TArea TerrainArea{-560.0f, 100.0f, 610.0f, 760.0f};
constexpr TArea NearArea{-72.0f, 120.0f, 120.0f, 312.0f};
constexpr float NearGridStep = 4.8f; // 40 cells across NearArea

// The rock face and the waterfall coming down it into the lake.
constexpr float FallsAngle = 1.2f;   // direction from the lake centre, radians
constexpr float CliffDepth = 7.0f;   // horizontal run of the face, shore to top
constexpr float CliffHeight = 20.0f; // above the water

// Camera 1: on the south shore, above the water, looking north across the lake.
constexpr float CameraFieldOfView = 45.0f; // vertical, degrees
constexpr float CameraNear = 1.0f;
constexpr float CameraFar = 3000.0f;
TVec3 CameraEye();
TVec3 CameraTarget();

// Half the height of camera 1's view as the tangent of its angle (45 degrees
// from the bottom edge to the top).
constexpr float ViewHalfUp = 0.41421356f;
// The widest screen the scene is drawn on (32:9, two 16:9 monitors side by
// side): the same height of view, more to the sides; and half its width as
// a tangent.
constexpr float WidestAspect = 32.0f / 9.0f;
constexpr float WidestHalfAcross = ViewHalfUp * WidestAspect;
// Where `p` lies seen from camera 1: x to the right and y up as the tangents
// of its angle off the view's axis, z its distance along that axis.
TVec3 CameraView(TVec3 p);
// False when the whole triangle lies beyond one edge of camera 1's view at
// the widest screen (or behind its near plane): no screen shape shows it.
bool TriangleMayShow(TVec3 a, TVec3 b, TVec3 c);

} // namespace scenegen
