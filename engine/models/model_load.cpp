// LoadModel: a UMF file into the model store, with its textures uploaded,
// its lights converted for drawing and a bounding box for every mesh.
#include "engine/models/model_load.h"

#include <vector>

#include "engine/features/switches.h"
#include "engine/models/umf.h"
#include "engine/render/device.h"
#include "engine/textures/umt.h"

namespace {

// Every light value registered by LoadModel, by reference; entry 0 is unused.
std::vector<const TLightParams*> LightParamsTable(1, nullptr);
// First reference of each light, by model index and light index (frames follow on).
std::vector<std::vector<std::uint32_t>> FirstLightReference;

// Box limits before any vertex is seen: the largest single-precision magnitudes.
constexpr float BoxStartMin = 3.4e38f;
constexpr float BoxStartMax = -3.4e38f;

void LoadMaterialTextures(TMaterial& material) {
    const std::string name = MaterialTextureName(material);
    if (name.empty()) {
        material.Textured = 0;
        return;
    }
    material.Textured = 1;
    LoadUmt(TextureDirectory + "\\" + name + ".umt");
    std::int16_t first = static_cast<std::int16_t>(material.FirstTexture);
    std::int16_t last = static_cast<std::int16_t>(material.LastTexture);
    try {
        if (UploadTextures) UploadTextures(first, last);
    } catch (...) {
        FreeUmtImages(); // the staging table is left empty whatever happens
        throw;
    }
    material.FirstTexture = static_cast<std::uint16_t>(first);
    material.LastTexture = static_cast<std::uint16_t>(last);
    material.BitsPerPixel = UmtImages.front().BitsPerPixel;
    FreeUmtImages();
}

// Attenuation distance d becomes the quadratic factor 1 / d^2 and reach r
// becomes r^2, so that drawing compares squared distances. Each light value
// gets a reference for the light list.
void ConvertLights(std::uint32_t modelIndex, TModel& model) {
    if (FirstLightReference.size() <= modelIndex) FirstLightReference.resize(modelIndex + 1);
    std::vector<std::uint32_t>& firsts = FirstLightReference[modelIndex];
    firsts.clear();
    for (TModelLight& light : model.ModelLights) {
        firsts.push_back(static_cast<std::uint32_t>(LightParamsTable.size()));
        for (TLightParams& value : light.Values) {
            const double distance = value.Attenuation;
            const double reach = value.Reach;
            value.Attenuation = static_cast<float>(1.0 / (distance * distance));
            value.Reach = static_cast<float>(reach * reach);
            LightParamsTable.push_back(&value);
        }
    }
}

void ComputeMeshBox(TMesh& mesh) {
    float low[3] = {BoxStartMin, BoxStartMin, BoxStartMin};
    float high[3] = {BoxStartMax, BoxStartMax, BoxStartMax};
    for (const TTriangle& triangle : mesh.Triangles) {
        for (const auto& vertex : triangle.Vertices) {
            for (int axis = 0; axis < 3; ++axis) {
                if (vertex[axis] < low[axis]) low[axis] = vertex[axis];
                if (vertex[axis] > high[axis]) high[axis] = vertex[axis];
            }
        }
    }
    const float x[2] = {low[0], high[0]}, y[2] = {low[1], high[1]}, z[2] = {low[2], high[2]};
    // Corner order: x varies as 0 1 1 0, y as 0 0 1 1, z low for 0..3, high for 4..7.
    static const int cornerX[4] = {0, 1, 1, 0};
    static const int cornerY[4] = {0, 0, 1, 1};
    for (int corner = 0; corner < BoxCornerCount; ++corner)
        mesh.Box[corner] = TVector{x[cornerX[corner % 4]], y[cornerY[corner % 4]], z[corner / 4]};
    // In double: for an empty mesh max - min would overflow a float, and the centre is 0.
    mesh.Centre = TVector{static_cast<float>(double(low[0]) + (double(high[0]) - double(low[0])) / 2),
                          static_cast<float>(double(low[1]) + (double(high[1]) - double(low[1])) / 2),
                          static_cast<float>(double(low[2]) + (double(high[2]) - double(low[2])) / 2)};
}

} // namespace

void ResetModelStore() {
    std::vector<TModel>().swap(Models);
    ModelCount = 0;
    LightParamsTable.assign(1, nullptr);
    std::vector<std::vector<std::uint32_t>>().swap(FirstLightReference);
}

void LoadModel(const std::string& path) {
    ReadUmf(path);
    const std::uint32_t index = ModelCount - 1;
    TModel& model = Models[index];
    for (TMaterial& material : model.Materials)
        LoadMaterialTextures(material);
    ConvertLights(index, model);
    for (TModelObject& object : model.Objects)
        for (TMesh& mesh : object.Meshes)
            ComputeMeshBox(mesh);
}

std::uint32_t LightReference(std::uint32_t model, std::uint32_t light, std::uint32_t frame) {
    if (model >= FirstLightReference.size() || model >= ModelCount) return 0;
    const std::vector<std::uint32_t>& firsts = FirstLightReference[model];
    if (light >= firsts.size() || light >= Models[model].ModelLights.size()) return 0;
    if (frame >= Models[model].ModelLights[light].Values.size()) return 0;
    return firsts[light] + frame;
}

const TLightParams* LightParamsOf(std::uint32_t reference) {
    return reference < LightParamsTable.size() ? LightParamsTable[reference] : nullptr;
}
