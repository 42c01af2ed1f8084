// The gallery's water plane and lamps (see gallery_models.h).
#include "tools/gallery/gallery_models.h"

#include <cstring>

#include "engine/models/umf_writer.h"
#include "engine/textures/umt_writer.h"

namespace gallery {

namespace {

TModelMatrix Translation(float x, float y, float z) {
    return TModelMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

} // namespace

TModel WaterPlaneModel(const std::string& texture) {
    TModel model;
    model.FrameCount = 1;
    TMaterial material{};
    material.Colour[0] = material.Colour[1] = material.Colour[2] = material.Colour[3] = 1.0f;
    std::memcpy(material.Name, texture.data(), texture.size() < sizeof material.Name ? texture.size() : 0);
    model.Materials.push_back(material);
    model.MaterialCount = 1;

    TMesh mesh;
    const float z = MirrorHeight, x0 = WaterLeft, x1 = WaterRight, y0 = WaterNear, y1 = WaterFar;
    mesh.Triangles = {TTriangle{{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}}},
                      TTriangle{{{x0, y0, z}, {x1, y1, z}, {x0, y1, z}}}};
    mesh.TriangleCount = 2;
    mesh.TexCoords = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh.TexCoordCount = 6;
    TModelObject object;
    object.MaterialIndex = 0;
    object.Meshes.push_back(std::move(mesh));
    object.MeshCount = 1;
    object.Frames.assign(1, TObjectFrame{Translation(0, 0, 0), 0});
    object.Alpha.assign(1, 0.0f);
    model.Objects.push_back(std::move(object));
    model.ObjectCount = 1;
    return model;
}

TModel LampModel() {
    TModel model;
    model.FrameCount = 1;
    const float places[][3] = {{-20, 235, 12}, {30, 255, 18}, {80, 240, 10}, {5, 205, 4}};
    for (const auto& p : places) {
        TModelLight light;
        light.Values.push_back(TLightParams{{1.0f, 0.9f, 0.7f, 1.0f}, 0.0f, 60.0f, 200.0f});
        light.Matrices.push_back(Translation(p[0], p[1], p[2]));
        model.ModelLights.push_back(light);
    }
    model.ModelLightCount = static_cast<std::uint32_t>(model.ModelLights.size());
    return model;
}

void SaveSolidTexture(const std::string& path, unsigned char r, unsigned char g, unsigned char b) {
    TUmtImage image;
    image.Width = image.Height = 8;
    image.BitsPerPixel = 24;
    for (int i = 0; i < 64; ++i)
        image.Pixels.insert(image.Pixels.end(), {r, g, b});
    SaveUmt(path, image, false);
}

void SaveModelFile(const std::string& path, const TModel& model) {
    SaveUmf(path, model);
}

} // namespace gallery
