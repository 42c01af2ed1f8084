// Drawing loaded models on the OpenGL backend (the DrawModel and
// DrawReflectiveModel slots), and the culling helpers they share.
//
// Both draw in two passes: an opaque pass with depth writes and no blending,
// then a blended pass without depth writes. Every object is drawn with
// modelview = ViewMatrix x the object's frame matrix, and culled first by its
// mesh's box against the view frustum. An object that breaks the drawing's
// assumptions at the frame drawn (IsObjectDrawable is false, DrawModel finds
// no alpha value for the frame, or its texture run is not in the texture
// table) is skipped there as if culled.
#pragma once

#include <cstdint>

#include "engine/models/umf.h"

// Lights GL_LIGHT0.. that DrawModel may switch on for one object.
constexpr int MaxObjectLights = 8;

// The mesh's Box and Centre through the current modelview into EyeBox and EyeCentre.
void TransformMeshBox(TMesh& mesh);

// The six planes (a, b, c, d) of the frustum of `clip` (projection x
// modelview, OpenGL order): right, left, bottom, top, far, near, each scaled
// to a unit normal. A far plane of zero length is left unscaled.
void FrustumPlanes(const float clip[16], float planes[6][4]);
// False when all eight corners lie behind one plane (a.x + b.y + c.z + d < 0).
bool IsBoxVisible(const TVector box[BoxCornerCount], const float planes[6][4]);
// The mesh's Box (mesh coordinates) against the frustum of the current
// projection and modelview matrices.
bool IsMeshVisible(const TMesh& mesh);

// The model's EyeBox from the EyeBox of each object's mesh at `frame`.
void UpdateModelEyeBox(std::uint32_t model, std::uint32_t frame);

// The engine texture index an animation value picks from a run:
// first + value mod (last - first + 1), in unsigned 32-bit arithmetic.
std::uint32_t AnimatedTextureIndex(std::uint16_t first, std::uint16_t last, std::uint32_t animation);

// The light-list entries DrawModel would enable for a mesh whose eye-space
// centre is `centre`: indices into LightList, nearest first, at most
// MaxObjectLights. Returns how many were chosen.
int SelectLightEntries(const TVector& centre, std::uint32_t chosen[MaxObjectLights]);
