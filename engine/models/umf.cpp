#include "engine/models/umf.h"

#include <cstring>

#include "engine/support/files.h"

std::vector<TModel> Models;
std::uint32_t ModelCount = 0;

namespace {

// Chunk identifiers after 0xFF at top level and in the objects trailer.
constexpr std::uint8_t ChunkTag = 0xFF;
constexpr std::uint8_t HeaderChunk = 0x00;
constexpr std::uint8_t ObjectsChunk = 0x01;
constexpr std::uint8_t LightsChunk = 0x03;
constexpr std::uint8_t CamerasChunk = 0x04;
constexpr std::uint8_t MaterialsChunk = 0x05;
// Object chunk tags.
constexpr std::uint8_t TransformTrack = 0x05;
constexpr std::uint8_t AlphaTrack = 0x09;
// Mesh chunk tags.
constexpr std::uint8_t TrianglesChunk = 0x00;
constexpr std::uint8_t MeshChunk1 = 0x01;
constexpr std::uint8_t MeshChunk2 = 0x02;
constexpr std::uint8_t MeshChunk3 = 0x03;
constexpr std::uint8_t TexCoordsChunk = 0x04;

// Smallest number of file bytes one item of a list can take, for checking a
// count against what is left: tag bytes plus fixed fields.
constexpr std::uint64_t MinMaterialItem = 1 + UmfMaterialSize;
constexpr std::uint64_t MinObjectItem = 2 + 2 + 1 + 4;
constexpr std::uint64_t MinMeshItem = 1; // a mesh may have no chunks at all
constexpr std::uint64_t LightValueSize = sizeof(TLightParams);
constexpr std::uint64_t CameraValueSize = sizeof(TCameraParams);
constexpr std::uint64_t MatrixSize = sizeof(TModelMatrix);

class TUmfParser {
  public:
    TUmfParser(const std::uint8_t* data, std::size_t size, TModel& model, const std::string& name)
        : in_(data, size, name), model_(model), name_(name) {}

    void Parse() {
        while (!in_.AtEnd()) {
            if (Byte() != ChunkTag) return;
            switch (Byte()) {
            case HeaderChunk:
                ReadHeader();
                break;
            case ObjectsChunk:
                ReadObjects();
                break;
            case MaterialsChunk:
                ReadMaterials();
                break;
            default:
                return; // an unknown chunk ends the reading; the rest is ignored
            }
        }
    }

  private:
    TByteReader in_;
    TModel& model_;
    const std::string& name_;
    std::uint64_t allocated_ = 0; // bytes of records allocated so far
    bool tracksRead_ = false;     // whether anything was sized by FrameCount yet

    std::uint8_t Byte() { return in_.Get<std::uint8_t>(); }

    [[noreturn]] void Refuse(const std::string& what) const {
        throw TIoError(IoInvalidData, MessagePath(name_) + ": " + what);
    }

    // Checks a count read from the file before anything is allocated for it:
    // its items must fit in the bytes left, and the model in its memory limit.
    void Admit(std::uint64_t count, std::uint64_t minFileBytes, std::uint64_t recordBytes) {
        in_.RequireItems(count, minFileBytes);
        std::uint64_t bytes = count * recordBytes; // count < 2^32, record < 2^16: no overflow
        if (bytes > MaxUmfModelBytes - allocated_) Refuse("model too large");
        allocated_ += bytes;
    }

    // A list of `count` items read straight from the file into fresh, zeroed storage.
    template <typename T> void ReadArray(std::uint32_t count, std::vector<T>& out) {
        Admit(count, sizeof(T), sizeof(T));
        out.assign(count, T{});
        in_.Read(out.data(), std::size_t(count) * sizeof(T));
    }

    // A track of FrameCount entries.
    template <typename T> void ReadTrack(std::vector<T>& out) {
        tracksRead_ = true;
        ReadArray(model_.FrameCount, out);
    }

    void ReadHeader() {
        model_.HeaderWord = in_.Get<std::uint16_t>();
        std::uint32_t frames = in_.Get<std::uint32_t>();
        // Tracks already read were sized by the old count: they would no longer match.
        if (tracksRead_ && frames != model_.FrameCount) Refuse("frame count changes after tracks were read");
        model_.FrameCount = frames;
    }

    void ReadMaterials() {
        std::uint32_t count = in_.Get<std::uint32_t>();
        Admit(count, MinMaterialItem, sizeof(TMaterial));
        model_.MaterialCount = count;
        model_.Materials.assign(count, TMaterial{});
        for (TMaterial& material : model_.Materials) {
            in_.Skip(1);
            in_.Read(material.Colour, sizeof material.Colour);
            in_.Read(material.Name, sizeof material.Name);
        }
    }

    void ReadObjects() {
        std::uint32_t count = in_.Get<std::uint32_t>();
        Admit(count, MinObjectItem, sizeof(TModelObject));
        model_.ObjectCount = count;
        model_.Objects.assign(count, TModelObject{});
        for (TModelObject& object : model_.Objects) {
            in_.Skip(2);
            ReadObject(object);
        }
        // Trailer: lights and cameras chunks; anything else goes back to the top level.
        while (!in_.AtEnd()) {
            std::uint8_t tag[2];
            in_.Read(tag, 2);
            if (tag[0] == ChunkTag && tag[1] == LightsChunk) {
                ReadLights();
            } else if (tag[0] == ChunkTag && tag[1] == CamerasChunk) {
                ReadCameras();
            } else {
                in_.PutBack(2);
                return;
            }
        }
    }

    void ReadObject(TModelObject& object) {
        object.MaterialIndex = in_.Get<std::uint16_t>();
        object.Spare = Byte();
        std::uint32_t meshes = in_.Get<std::uint32_t>();
        Admit(meshes, MinMeshItem, sizeof(TMesh));
        object.MeshCount = meshes;
        object.Meshes.assign(meshes, TMesh{});
        for (TMesh& mesh : object.Meshes) {
            in_.Skip(1);
            ReadMesh(mesh);
        }
        while (!in_.AtEnd()) {
            switch (Byte()) {
            case TransformTrack:
                ReadTrack(object.Frames);
                break;
            case AlphaTrack:
                ReadTrack(object.Alpha);
                break;
            default:
                in_.PutBack(1);
                return;
            }
        }
    }

    // Reads one mesh chunk's count and items; the count is set with its array.
    template <typename T> void ReadMeshChunk(std::uint32_t& count, std::vector<T>& items) {
        std::uint32_t n = in_.Get<std::uint32_t>();
        ReadArray(n, items);
        count = n;
    }

    void ReadMesh(TMesh& mesh) {
        while (!in_.AtEnd()) {
            switch (Byte()) {
            case TrianglesChunk:
                ReadMeshChunk(mesh.TriangleCount, mesh.Triangles);
                break;
            case MeshChunk1:
                ReadMeshChunk(mesh.Chunk1Count, mesh.Chunk1);
                break;
            case MeshChunk2:
                ReadMeshChunk(mesh.Chunk2Count, mesh.Chunk2);
                break;
            case MeshChunk3:
                ReadMeshChunk(mesh.Chunk3Count, mesh.Chunk3);
                break;
            case TexCoordsChunk:
                ReadMeshChunk(mesh.TexCoordCount, mesh.TexCoords);
                break;
            default:
                in_.PutBack(1);
                return;
            }
        }
    }

    void ReadLights() {
        std::uint32_t count = in_.Get<std::uint32_t>();
        const std::uint64_t frames = model_.FrameCount;
        Admit(count, 3 + frames * (LightValueSize + MatrixSize), sizeof(TModelLight));
        model_.ModelLightCount = count;
        model_.ModelLights.assign(count, TModelLight{});
        for (TModelLight& light : model_.ModelLights) {
            in_.Skip(1);
            in_.Read(light.Spare, sizeof light.Spare);
            ReadTrack(light.Values);
            ReadTrack(light.Matrices);
        }
    }

    void ReadCameras() {
        std::uint32_t count = in_.Get<std::uint32_t>();
        const std::uint64_t frames = model_.FrameCount;
        Admit(count, 1 + frames * (CameraValueSize + MatrixSize), sizeof(TModelCamera));
        model_.CameraCount = count;
        model_.Cameras.assign(count, TModelCamera{});
        for (TModelCamera& camera : model_.Cameras) {
            in_.Skip(1);
            ReadTrack(camera.Values);
            ReadTrack(camera.Matrices);
        }
    }
};

bool ObjectIsDrawable(const TModel& model, const TModelObject& object) {
    const std::uint32_t frames = model.FrameCount;
    if (frames == 0 || object.Alpha.size() != frames) return false;
    for (std::uint32_t frame = 0; frame < frames; ++frame)
        if (!IsObjectDrawable(model, object, frame)) return false;
    return true;
}

} // namespace

bool IsObjectDrawable(const TModel& model, const TModelObject& object, std::uint32_t frame) {
    if (frame >= model.FrameCount || frame >= object.Frames.size()) return false;
    if (object.MaterialIndex >= model.Materials.size()) return false;
    const std::uint32_t meshIndex = object.Frames[frame].MeshIndex;
    if (meshIndex >= object.Meshes.size()) return false;
    const TMesh& mesh = object.Meshes[meshIndex];
    if (mesh.Triangles.size() != mesh.TriangleCount || mesh.TexCoords.size() != mesh.TexCoordCount)
        return false;
    const bool textured = model.Materials[object.MaterialIndex].Name[0] != 0;
    return !textured || std::uint64_t(mesh.TexCoordCount) >= 3 * std::uint64_t(mesh.TriangleCount);
}

std::string MaterialTextureName(const TMaterial& material) {
    const char* name = reinterpret_cast<const char*>(material.Name);
    const void* end = std::memchr(name, 0, sizeof material.Name);
    return std::string(name, end ? static_cast<const char*>(end) - name : sizeof material.Name);
}

void UpdateDrawableFlags(TModel& model) {
    for (TModelObject& object : model.Objects)
        object.Drawable = ObjectIsDrawable(model, object) ? 1 : 0;
}

void ParseUmf(const std::uint8_t* data, std::size_t size, TModel& model, const std::string& name) {
    TUmfParser parser(data, size, model, name);
    try {
        parser.Parse();
    } catch (...) {
        UpdateDrawableFlags(model);
        throw;
    }
    UpdateDrawableFlags(model);
}

void ReadUmf(const std::string& path) {
    // Read first: a file that cannot be opened leaves the store unchanged.
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    Models.emplace_back();
    ModelCount = static_cast<std::uint32_t>(Models.size());
    TModel& model = Models.back();
    try {
        ParseUmf(bytes.data(), bytes.size(), model, path);
    } catch (...) {
        // The slot stays, counted, with what was read; with no frames nothing
        // of it is ever drawn, projected or lit.
        model.FrameCount = 0;
        UpdateDrawableFlags(model);
        throw;
    }
}
