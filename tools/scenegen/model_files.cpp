#include "tools/scenegen/model_files.h"

#include <cstring>
#include <stdexcept>

#include "engine/models/umf_writer.h"
#include "engine/textures/umt_writer.h"

namespace scenegen {

TModel ToUmfModel(const TGenModel& model) {
    TModel out;
    out.FrameCount = 1;
    for (const TGenMaterial& m : model.Materials) {
        TMaterial material;
        material.Colour[0] = m.Colour.r;
        material.Colour[1] = m.Colour.g;
        material.Colour[2] = m.Colour.b;
        material.Colour[3] = m.Colour.a;
        if (m.Texture.size() > UmfTextureNameSize)
            throw std::invalid_argument("texture name too long: " + m.Texture);
        std::memcpy(material.Name, m.Texture.data(), m.Texture.size());
        out.Materials.push_back(material);
    }
    out.MaterialCount = std::uint32_t(out.Materials.size());

    for (const TGenObject& o : model.Objects) {
        TModelObject object;
        object.MaterialIndex = o.Material;
        TMesh mesh;
        for (const auto& t : o.Triangles) {
            TTriangle triangle;
            for (int v = 0; v < 3; ++v) {
                triangle.Vertices[v][0] = t[v].x;
                triangle.Vertices[v][1] = t[v].y;
                triangle.Vertices[v][2] = t[v].z;
            }
            mesh.Triangles.push_back(triangle);
        }
        mesh.TriangleCount = std::uint32_t(mesh.Triangles.size());
        for (const auto& t : o.TexCoords)
            for (int v = 0; v < 3; ++v)
                mesh.TexCoords.push_back(TTexCoord{t[v].x, t[v].y, t[v].z});
        mesh.TexCoordCount = std::uint32_t(mesh.TexCoords.size());
        object.Meshes.push_back(std::move(mesh));
        object.MeshCount = 1;
        TObjectFrame frame{};
        const TMatrix identity = IdentityMatrix();
        std::memcpy(frame.Matrix.data(), identity.data(), sizeof frame.Matrix);
        frame.MeshIndex = 0;
        object.Frames.push_back(frame);
        object.Alpha.push_back(o.Alpha);
        out.Objects.push_back(std::move(object));
    }
    out.ObjectCount = std::uint32_t(out.Objects.size());

    for (const TGenCamera& c : model.Cameras) {
        TModelCamera camera;
        camera.Values.push_back(TCameraParams{c.Near, c.Far, c.FieldOfView});
        TModelMatrix m;
        std::memcpy(m.data(), c.Matrix.data(), sizeof m);
        camera.Matrices.push_back(m);
        out.Cameras.push_back(std::move(camera));
    }
    out.CameraCount = std::uint32_t(out.Cameras.size());
    return out;
}

TUmtImage ToUmtImage(const TPicture& picture) {
    TUmtImage image;
    image.Width = std::uint16_t(picture.Width);
    image.Height = std::uint16_t(picture.Height);
    image.BitsPerPixel = std::uint8_t(picture.Channels * 8);
    image.Encoding = picture.BlockCoded ? UmtBlockCoded : 0;
    image.LastFrame = std::uint32_t(picture.Frames - 1);
    image.Pixels = picture.Bytes;
    return image;
}

void SaveModel(const std::string& path, const TGenModel& model) {
    SaveUmf(path, ToUmfModel(model));
}

void SaveTexture(const std::string& path, const TPicture& picture) {
    SaveUmt(path, ToUmtImage(picture), picture.BlockCoded);
}

} // namespace scenegen
