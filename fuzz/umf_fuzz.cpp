// libFuzzer target: the UMF reader on arbitrary bytes.
//
// Besides surviving every input (no crash, leak or undefined behaviour under
// the sanitizers), a model that reads without error must write back and
// read back to the same bytes, and every object it flags Drawable must be
// drawable at every frame without an index leaving its array (checked with
// at(), which throws and so aborts the run on a bad index).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/models/umf.h"
#include "engine/models/umf_writer.h"
#include "engine/support/errors.h"

namespace {

// Walks every index the drawing code takes for an object at every frame.
void TouchAsDrawingWould(const TModel& model, const TModelObject& object) {
    const TMaterial& material = model.Materials.at(object.MaterialIndex);
    for (std::uint32_t f = 0; f < model.FrameCount; ++f) {
        const TObjectFrame& frame = object.Frames.at(f);
        (void)object.Alpha.at(f);
        const TMesh& mesh = object.Meshes.at(frame.MeshIndex);
        if (material.Name[0] != 0 && mesh.TriangleCount > 0)
            (void)mesh.TexCoords.at(3 * std::size_t(mesh.TriangleCount) - 1);
        if (mesh.TriangleCount > 0) (void)mesh.Triangles.at(mesh.TriangleCount - 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TModel model;
    try {
        ParseUmf(data, size, model, "fuzz.umf");
    } catch (const TIoError&) {
        return 0;
    }
    for (const TModelObject& object : model.Objects)
        if (object.Drawable) TouchAsDrawingWould(model, object);
    for (const TModelLight& light : model.ModelLights)
        if (light.Values.size() != model.FrameCount || light.Matrices.size() != model.FrameCount)
            __builtin_trap();
    for (const TModelCamera& camera : model.Cameras)
        if (camera.Values.size() != model.FrameCount || camera.Matrices.size() != model.FrameCount)
            __builtin_trap();

    const std::vector<std::uint8_t> once = WriteUmf(model);
    TModel again;
    ParseUmf(once.data(), once.size(), again, "again.umf");
    if (WriteUmf(again) != once) __builtin_trap();
    return 0;
}
