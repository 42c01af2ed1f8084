// The render device on an offscreen OSMesa surface, and small models and
// textures written to a scratch folder, for the device and model tests.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <unistd.h>

#include <cmath>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/features/features.h"
#include "engine/models/model_load.h"
#include "engine/models/umf.h"
#include "engine/models/umf_writer.h"
#include "engine/render/device.h"
#include "engine/render/device_gl.h"
#include "engine/support/errors.h"
#include "engine/textures/umt.h"
#include "engine/textures/umt_writer.h"
#include "platform/offscreen/offscreen.h"

// Backend 2 on a fresh surface, resized to the surface; a scratch folder set
// as TextureDirectory. Each test runs in its own process, so the engine's
// globals start as at program start.
class DeviceGlTest : public ::testing::Test {
  protected:
    int width = 64;
    int height = 64;
    platform::WindowHandle surface = 0;
    std::filesystem::path folder;

    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tarnwick-device-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        const std::string directory = folder.string();
        SetParameter(1, directory.c_str());
        surface = platform::CreateOffscreenSurface(width, height);
        SetDeviceWindow(surface);
        SelectBackend(2);
        DeviceInit();
        ASSERT_NE(RenderContext, nullptr) << "OSMesa made no context";
        DeviceResize(width, height);
    }
    void TearDown() override {
        if (FrameOpen) EndFrame();
        DeviceDone();
        platform::DestroyOffscreenSurface(surface);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    // RGBA at (x, y), y from the bottom; needs an open frame.
    static std::array<int, 4> Pixel(int x, int y) {
        std::uint8_t p[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2], p[3]};
    }
    static float Depth(int x, int y) {
        float d = -1.0f;
        glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &d);
        return d;
    }
    static std::array<float, 4> Floats(GLenum what) {
        std::array<float, 4> v{};
        glGetFloatv(what, v.data());
        return v;
    }
    static int Integer(GLenum what) {
        GLint v = 0;
        glGetIntegerv(what, &v);
        return v;
    }
};

// Frames of one solid colour each, width x height pixels of 24 or 32 bits.
inline TUmtImage SolidImage(const std::vector<std::array<std::uint8_t, 4>>& frames, int bits = 24,
                            int side = 4) {
    TUmtImage image;
    image.Width = static_cast<std::uint16_t>(side);
    image.Height = static_cast<std::uint16_t>(side);
    image.BitsPerPixel = static_cast<std::uint8_t>(bits);
    image.LastFrame = static_cast<std::uint32_t>(frames.size() - 1);
    for (const auto& colour : frames)
        for (int i = 0; i < side * side; ++i)
            image.Pixels.insert(image.Pixels.end(), colour.begin(), colour.begin() + bits / 8);
    return image;
}

inline TModelMatrix Translation(float x, float y, float z) {
    return TModelMatrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

// An axis-aligned square facing +z (counter-clockwise seen from +z), with
// texture coordinates over the whole texture.
inline TMesh Square(float x0, float y0, float x1, float y1, float z) {
    TMesh mesh;
    mesh.Triangles = {TTriangle{{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}}},
                      TTriangle{{{x0, y0, z}, {x1, y1, z}, {x0, y1, z}}}};
    mesh.TriangleCount = 2;
    mesh.TexCoords = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh.TexCoordCount = 6;
    return mesh;
}

inline TMaterial Material(float r, float g, float b, float a, const std::string& texture = "") {
    TMaterial material;
    material.Colour[0] = r;
    material.Colour[1] = g;
    material.Colour[2] = b;
    material.Colour[3] = a;
    for (std::size_t i = 0; i < texture.size() && i < sizeof material.Name; ++i)
        material.Name[i] = static_cast<std::uint8_t>(texture[i]);
    return material;
}

// Appends an object showing `mesh` at every frame with the given alpha and placement.
inline void AddObject(TModel& model, std::uint16_t material, TMesh mesh, float alpha = 0.0f,
                      TModelMatrix placement = Translation(0, 0, 0)) {
    TModelObject object;
    object.MaterialIndex = material;
    object.Meshes.push_back(std::move(mesh));
    object.MeshCount = 1;
    object.Frames.assign(model.FrameCount, TObjectFrame{placement, 0});
    object.Alpha.assign(model.FrameCount, alpha);
    model.Objects.push_back(std::move(object));
    model.ObjectCount = static_cast<std::uint32_t>(model.Objects.size());
}

inline void AddMaterial(TModel& model, const TMaterial& material) {
    model.Materials.push_back(material);
    model.MaterialCount = static_cast<std::uint32_t>(model.Materials.size());
}

inline TModel EmptyModel(std::uint32_t frames = 1) {
    TModel model;
    model.FrameCount = frames;
    return model;
}
