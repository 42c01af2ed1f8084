// Mist and spray drifting up from the foot of the falls: sprite pool 0 of
// the engine, filled and moved by the scene on the tick count and drawn
// after the water.
//
// The mist rises from the lake model's foam (the object drawn with the
// texture MistSourceTexture): each sprite starts somewhere over it, grows
// from clear to its own thickness, drifts up and away, and fades out; then
// it starts again. A lake model without foam has no mist and needs no mist
// texture.
//
// The pool's texture never steps (its rate is 0), so the engine's drawing
// moves no sprite: AdvanceMist moves them one step every MistStepTicks of
// the clock, whatever the frame rate, once a frame however many views show
// them. The random values are the mist's own (a hash of the sprite's start
// count), so the lake's random sequence is left as it was.
#pragma once

#include <cstdint>

constexpr const char* MistTexturePath = "models\\lake_mist.umt";
constexpr const char* MistSourceTexture = "lake_foam";
constexpr std::uint32_t MistSpriteCount = 12;
constexpr std::uint32_t MistStepTicks = 33; // about 30 steps a second
// Steps caught up in one frame at most; a longer pause is skipped.
constexpr std::uint32_t MistMostSteps = 30;

// True when the lake has mist (set by SetUpMist).
extern bool MistOn;
// Tick count of the mist's last step.
extern std::uint32_t MistLastStep;

// After the lake model is loaded, outside a frame: the sprite pool and its
// texture, every sprite started at a different age. Raises TIoError (the
// texture file's) when the lake has foam and the file is missing.
void SetUpMist();
// Moves the mist to the tick count now; once a frame, before its views.
void AdvanceMist();
// The mist into the open frame, after the water: blended, depth-tested
// against the scene without writing depth, each sprite fading by its colour.
void DrawMist();
