#include "engine/models/umf_writer.h"

#include <stdexcept>

#include "engine/support/files.h"

namespace {

class TUmfWriter {
  public:
    explicit TUmfWriter(const TModel& model) : model_(model) {}

    std::vector<std::uint8_t> Write() {
        Bytes({0xFF, 0x00});
        Put(model_.HeaderWord);
        Put(model_.FrameCount);
        if (Counted(model_.MaterialCount, model_.Materials, "materials") > 0) {
            Bytes({0xFF, 0x05});
            Put(model_.MaterialCount);
            for (const TMaterial& material : model_.Materials) {
                Bytes({UmfWriterTag});
                Raw(material.Colour, sizeof material.Colour);
                Raw(material.Name, sizeof material.Name);
            }
        }
        Counted(model_.ObjectCount, model_.Objects, "objects");
        Counted(model_.ModelLightCount, model_.ModelLights, "lights");
        Counted(model_.CameraCount, model_.Cameras, "cameras");
        if (model_.ObjectCount == 0 && model_.ModelLightCount == 0 && model_.CameraCount == 0) return out_;
        // Lights and cameras are read only as trailers of an objects chunk.
        Bytes({0xFF, 0x01});
        Put(model_.ObjectCount);
        for (const TModelObject& object : model_.Objects)
            WriteObject(object);
        if (model_.ModelLightCount > 0) {
            Bytes({0xFF, 0x03});
            Put(model_.ModelLightCount);
            for (const TModelLight& light : model_.ModelLights) {
                Bytes({UmfWriterTag, light.Spare[0], light.Spare[1]});
                Track(light.Values, "light values", false);
                Track(light.Matrices, "light matrices", false);
            }
        }
        if (model_.CameraCount > 0) {
            Bytes({0xFF, 0x04});
            Put(model_.CameraCount);
            for (const TModelCamera& camera : model_.Cameras) {
                Bytes({UmfWriterTag});
                Track(camera.Values, "camera values", false);
                Track(camera.Matrices, "camera matrices", false);
            }
        }
        return out_;
    }

  private:
    const TModel& model_;
    std::vector<std::uint8_t> out_;

    void Raw(const void* data, std::size_t size) {
        const std::uint8_t* bytes = static_cast<const std::uint8_t*>(data);
        out_.insert(out_.end(), bytes, bytes + size);
    }
    void Bytes(std::initializer_list<std::uint8_t> bytes) { out_.insert(out_.end(), bytes); }
    template <typename T> void Put(T value) { Raw(&value, sizeof value); }

    template <typename T>
    static std::uint32_t Counted(std::uint32_t count, const std::vector<T>& items, const char* what) {
        if (count != items.size())
            throw std::invalid_argument(std::string("UMF writer: count of ") + what +
                                        " differs from its array");
        return count;
    }

    // A track holds FrameCount entries; object tracks may also be absent (empty).
    template <typename T> void Track(const std::vector<T>& track, const char* what, bool optional) {
        if (track.size() == model_.FrameCount || (optional && track.empty())) {
            Raw(track.data(), track.size() * sizeof(T));
            return;
        }
        throw std::invalid_argument(std::string("UMF writer: ") + what + " do not hold the frame count");
    }

    template <typename T> void MeshChunk(std::uint8_t tag, std::uint32_t count, const std::vector<T>& items) {
        if (Counted(count, items, "mesh items") == 0) return;
        Bytes({tag});
        Put(count);
        Raw(items.data(), items.size() * sizeof(T));
    }

    void WriteObject(const TModelObject& object) {
        Bytes({UmfWriterTag, UmfWriterTag});
        Put(object.MaterialIndex);
        Put(object.Spare);
        Put(Counted(object.MeshCount, object.Meshes, "meshes"));
        for (const TMesh& mesh : object.Meshes) {
            Bytes({UmfWriterTag});
            MeshChunk(0x00, mesh.TriangleCount, mesh.Triangles);
            MeshChunk(0x01, mesh.Chunk1Count, mesh.Chunk1);
            MeshChunk(0x02, mesh.Chunk2Count, mesh.Chunk2);
            MeshChunk(0x03, mesh.Chunk3Count, mesh.Chunk3);
            MeshChunk(0x04, mesh.TexCoordCount, mesh.TexCoords);
        }
        if (!object.Frames.empty()) {
            Bytes({0x05});
            Track(object.Frames, "transform track", true);
        }
        if (!object.Alpha.empty()) {
            Bytes({0x09});
            Track(object.Alpha, "alpha track", true);
        }
    }
};

} // namespace

std::vector<std::uint8_t> WriteUmf(const TModel& model) {
    return TUmfWriter(model).Write();
}

void SaveUmf(const std::string& path, const TModel& model) {
    const std::vector<std::uint8_t> bytes = WriteUmf(model);
    WriteWholeFile(path, bytes.data(), bytes.size());
}
