#include "scene/overlay.h"

#include <string>

#include "engine/models/model_load.h"
#include "engine/render/device.h"
#include "platform/platform.h"

std::uint32_t FpsStartTime = 0;
std::uint32_t FpsFrameCount = 0;

namespace {

// Overlay coordinates run from -1 (left, bottom) to 1 (right, top); the
// digit models are in units of 1/OverlayScale of that.
constexpr float OverlayScale = 0.0022f;
constexpr float FpsAnchorX = 0.94f, FpsAnchorY = 0.92f;      // the ones digit, top right
constexpr float ClockAnchorX = -0.95f, ClockAnchorY = 0.94f; // the hours' tens digit, top left

// Advances in model units: after a tens digit, after a ones digit, after a
// separator, and between the seconds and the am/pm sign. The counter steps
// leftwards by a tens digit's advance per digit.
constexpr float TensAdvance = 32, OnesAdvance = 24, SeparatorAdvance = 24, SignAdvance = 64;

// The counter's value when no time has passed yet.
constexpr std::uint64_t FpsAtStart = 999;

constexpr std::uint32_t SeparatorModel = 11;
constexpr std::uint32_t AmModel = 12; // PmModel is the next one

void DrawOverlayModel(std::uint32_t model) {
    DrawModel(model, 0, 0, 0);
}
void DrawDigit(std::uint32_t digit) {
    DrawOverlayModel(digit + 1);
}

// Moves the saved view matrix `units` along the overlay's x axis.
void Advance(float units) {
    LoadViewMatrix();
    Translate(units, 0, 0);
    SaveViewMatrix();
}

// The flat projection, and the saved view matrix placed at (x, y) with the
// models' z axis turned to the screen's up direction.
void Anchor(float x, float y) {
    SetCamera(0, 0, 0);
    LoadViewMatrix();
    LoadIdentity();
    Translate(x, y, 0);
    Rotate(-90, 1, 0, 0);
    Scale(OverlayScale, OverlayScale, OverlayScale);
    SaveViewMatrix();
}

// Leaves the saved view matrix as the identity for whatever is drawn next.
void ResetViewMatrix() {
    LoadViewMatrix();
    LoadIdentity();
    SaveViewMatrix();
}

// Two digits, tens first, each followed by its advance.
void DrawPair(std::uint32_t value, bool advanceAfter) {
    DrawDigit(value / 10 % 10);
    Advance(TensAdvance);
    DrawDigit(value % 10);
    if (advanceAfter) Advance(OnesAdvance);
}

} // namespace

void LoadClockModels() {
    for (char digit = '0'; digit <= '9'; ++digit)
        LoadModel(std::string("models\\") + digit + ".umf");
    LoadModel("models\\dd.umf");
    LoadModel("models\\am.umf");
    LoadModel("models\\pm.umf");
}

void DrawFps() {
    ++FpsFrameCount;
    DrawFpsCounter(FpsValue());
}

std::uint64_t FpsValue() {
    const std::uint32_t elapsed = platform::GetTickCount() - FpsStartTime;
    // Frames times 1000 in 64 bits: in 32 bits the product would wrap after
    // 4.3 million frames, about a day at 50 frames per second.
    return elapsed == 0 ? FpsAtStart : std::uint64_t(FpsFrameCount) * 1000u / elapsed;
}

void DrawFpsCounter(std::uint64_t value) {
    Anchor(FpsAnchorX, FpsAnchorY);
    // From the ones digit leftwards; a value of 0 draws nothing.
    while (value != 0) {
        DrawDigit(std::uint32_t(value % 10));
        value /= 10;
        Advance(-TensAdvance);
    }
    ResetViewMatrix();
}

void DrawClock(bool twelveHour) {
    const platform::TLocalTime now = platform::GetLocalTime();
    // The system gives 0..23, 0..59, 0..59; taken as unsigned, anything else
    // still draws digits 0..9 and never a model outside the clock's.
    const std::uint32_t hour = std::uint32_t(now.Hour), minute = std::uint32_t(now.Minute),
                        second = std::uint32_t(now.Second);
    Anchor(ClockAnchorX, ClockAnchorY);
    std::uint32_t shownHour = hour;
    if (twelveHour) {
        shownHour = hour % 12;
        if (shownHour == 0) shownHour = 12;
    }
    DrawPair(shownHour, true);
    DrawOverlayModel(SeparatorModel);
    Advance(SeparatorAdvance);
    DrawPair(minute, true);
    DrawOverlayModel(SeparatorModel);
    Advance(SeparatorAdvance);
    DrawPair(second, false);
    if (twelveHour) {
        Advance(SignAdvance);
        DrawOverlayModel(AmModel + (hour >= 12 ? 1 : 0));
    }
    ResetViewMatrix();
}
