// How SelectBackend fills the table: each backend file assigns the slots it
// defines. Only device.cpp calls these.
#pragma once

#include <cstdint>

// Backend 0 (keeps FrameBuffer) or 1 (does nothing at all): 37 slots, the
// nine OpenGL-only matrix slots are left as they are.
void AssignNullBackend(std::uint8_t kind);
// Backend 2: all 46 slots.
void AssignGlBackend();
// Backend 2's state as at start, without a call to OpenGL (ResetDevice).
void ResetGlBackendState();
