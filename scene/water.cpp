#include "scene/water.h"

#include <GL/gl.h>

#include <cstring>

#include "engine/render/textures.h"
#include "platform/platform.h"
#include "scene/random.h"
#include "scene/water_step.h"

alignas(64) float WaterHeights[2][WaterCells];
float* WaterCurrent = WaterHeights[1];
float* WaterPrevious = WaterHeights[0];
alignas(64) TWaterVertex WaterGrid[WaterCells];

std::uint32_t LastDropTime = 0;
std::uint32_t LastStepTime = 0;

TWaterStripMode WaterStripMode = WaterStripsArrays;

namespace {

constexpr int N = WaterSize;
constexpr int Last = WaterSize - 1; // index of the last row and column (127)

// The normal's z of every vertex: the grid's spacing 2/127 over the two
// cells a central difference spans, negated (bit pattern 0xBD010204).
constexpr float NormalZ = -4.0f / 127.0f;

// Depth of a drop's dent per unit of weight; the weight is 6 - i^2 - j^2 for
// the cell i rows and j columns from the centre, so the centre sinks by 0.024
// and its four neighbours by 0.02.
constexpr double DentStep = 0.004;
constexpr int DentRadius = 3;

// Where the water sits in the lake model's space.
constexpr float PlaceX = 24, PlaceY = 190, PlaceZ = -11;
constexpr float SpreadXY = 74, SpreadZ = 40;

// The vertex order of a strip for glDrawElements, relative to the first
// vertex of its upper row r: for c = 1..126, vertex [r][c] then [r + 1][c].
// Each strip points the arrays at its own row, so one index list serves all
// and the renderer fetches only the two rows a strip uses.
constexpr int StripCount = WaterSize - 2;
constexpr int StripVertices = 2 * (WaterSize - 2);

struct TStripIndices {
    GLubyte Index[StripVertices];
};

constexpr TStripIndices MakeStripIndices() {
    TStripIndices s{};
    for (int c = 1; c <= WaterSize - 2; ++c) {
        s.Index[2 * (c - 1)] = GLubyte(c);
        s.Index[2 * (c - 1) + 1] = GLubyte(WaterSize + c);
    }
    return s;
}

constexpr TStripIndices StripIndices = MakeStripIndices();
static_assert(2 * WaterSize - 1 <= 0xFF, "strip indices are 8-bit");

void Dent(int centreRow, int centreColumn) {
    for (int i = -DentRadius; i <= DentRadius; ++i) {
        for (int j = -DentRadius; j <= DentRadius; ++j) {
            const int weight = 6 - i * i - j * j;
            if (weight <= 0) continue;
            float& h = WaterCurrent[(centreRow + i) * N + centreColumn + j];
            h = float(double(h) - DentStep * weight);
        }
    }
}

// The random draws, the drop and the step of one call: everything DrawWater
// does before it draws. True when a step was made (into WaterPrevious; the
// caller swaps the fields).
bool DropAndStep(bool forceDrop, bool throttle) {
    // Three draws on every call, whatever follows, so that the sequence of
    // drops depends only on the number of calls.
    const std::uint32_t r1 = RandomBelow(DropPositions);
    const std::uint32_t r2 = RandomBelow(DropPositions);
    const std::uint32_t r3 = RandomBelow(DropJitter);

    const std::uint32_t dropNow = platform::GetTickCount();
    // Unsigned 32-bit differences: the tick count's wrap-around after 49.7
    // days neither stalls nor hurries the drops.
    if (forceDrop || std::uint32_t(dropNow - LastDropTime) >= DropInterval + r3) {
        LastDropTime = dropNow;
        Dent(int(r1) + DropMargin, int(r2) + DropMargin);
    }

    if (throttle && std::uint32_t(platform::GetTickCount() - LastStepTime) < WaterStepInterval) return false;
    StepWater(WaterCurrent, WaterPrevious, WaterGrid);
    return true;
}

void FinishStep() {
    float* const newer = WaterPrevious;
    WaterPrevious = WaterCurrent;
    WaterCurrent = newer;
    LastStepTime = platform::GetTickCount();
}

void SendStripsImmediate() {
    for (int r = 1; r <= StripCount; ++r) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int c = 1; c <= WaterSize - 2; ++c) {
            const TWaterVertex& inner = WaterGrid[r * N + c];
            glNormal3fv(&inner.NormalX);
            glVertex3fv(&inner.X);
            const TWaterVertex& outer = WaterGrid[(r + 1) * N + c];
            glNormal3fv(&outer.NormalX);
            glVertex3fv(&outer.X);
        }
        glEnd();
    }
}

void SendStripsArrays() {
    // The client arrays are this function's own business: whatever the
    // caller had set up is back as it was afterwards.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    for (int r = 1; r <= StripCount; ++r) {
        const TWaterVertex* row = &WaterGrid[r * N];
        glVertexPointer(3, GL_FLOAT, sizeof(TWaterVertex), &row->X);
        glNormalPointer(GL_FLOAT, sizeof(TWaterVertex), &row->NormalX);
        glDrawElements(GL_TRIANGLE_STRIP, StripVertices, GL_UNSIGNED_BYTE, StripIndices.Index);
    }
    glPopClientAttrib();
    // After immediate mode the current normal is the last one sent; arrays
    // leave it undefined, so set it the same way.
    glNormal3fv(&WaterGrid[Last * N + WaterSize - 2].NormalX);
}

void DrawSurface() {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    // The lake model's second texture in upload order is the water's picture
    // (the texture object that gets the name 2 when names are handed out in
    // order); while fewer than two were uploaded the entry is 0, OpenGL's
    // default texture.
    glBindTexture(GL_TEXTURE_2D, TextureNames[1]);
    glDepthMask(GL_TRUE);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_NORMALIZE);
    glColor3f(1, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(PlaceX, PlaceY, PlaceZ);
    glScalef(SpreadXY, SpreadXY, SpreadZ);
    glEnable(GL_COLOR_MATERIAL);
    if (WaterStripMode == WaterStripsArrays)
        SendStripsArrays();
    else
        SendStripsImmediate();
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}

} // namespace

void InitWater() {
    WaterPrevious = WaterHeights[0];
    WaterCurrent = WaterHeights[1];
    std::memset(WaterHeights, 0, sizeof WaterHeights);
    std::memset(WaterGrid, 0, sizeof WaterGrid);
    for (int r = 0; r < WaterSize; ++r) {
        for (int c = 0; c < WaterSize; ++c) {
            TWaterVertex& v = WaterGrid[r * N + c];
            // Worked out in double precision and rounded once.
            v.X = float(1.0 - 2.0 * r / Last);
            v.Y = float(1.0 - 2.0 * c / Last);
            v.NormalZ = NormalZ;
        }
    }
}

void DrawWater(bool forceDrop, bool throttle) {
    const bool stepped = DropAndStep(forceDrop, throttle);
    DrawSurface();
    if (stepped) FinishStep();
}

bool AdvanceWater(bool forceDrop, bool throttle) {
    const bool stepped = DropAndStep(forceDrop, throttle);
    if (stepped) FinishStep();
    return stepped;
}

void DrawWaterSurface() {
    DrawSurface();
}
