#include "tools/umtool/umtool_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string JsonBool(bool value) {
    return value ? "true" : "false";
}

std::string JsonColour(const float (&colour)[4]) {
    return "[" + JsonNumber(colour[0]) + ", " + JsonNumber(colour[1]) + ", " + JsonNumber(colour[2]) + ", " +
           JsonNumber(colour[3]) + "]";
}

// Joins the texts of a list into a JSON array.
template <typename T, typename F> std::string JsonArray(const std::vector<T>& items, F text) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? ", " : "") + text(items[i]);
    return out + "]";
}

std::string MaterialJson(const TMaterial& m) {
    return "{\"colour\": " + JsonColour(m.Colour) + ", \"texture\": " + JsonString(MaterialTextureName(m)) +
           "}";
}

std::string MeshJson(const TMesh& mesh) {
    return "{\"triangles\": " + std::to_string(mesh.TriangleCount) +
           ", \"tex_coords\": " + std::to_string(mesh.TexCoordCount) + "}";
}

std::string ObjectJson(const TModelObject& o) {
    return "{\"material_index\": " + std::to_string(o.MaterialIndex) +
           ", \"spare\": " + std::to_string(o.Spare) + ", \"meshes\": " + JsonArray(o.Meshes, MeshJson) +
           ", \"transform_track\": " + JsonBool(!o.Frames.empty()) +
           ", \"alpha_track\": " + JsonBool(!o.Alpha.empty()) +
           ", \"drawable\": " + JsonBool(o.Drawable != 0) + "}";
}

std::string LightJson(const TModelLight& l) {
    if (l.Values.empty()) return "{\"colour\": null, \"attenuation\": null, \"reach\": null}";
    const TLightParams& v = l.Values[0];
    return "{\"colour\": " + JsonColour(v.Colour) + ", \"attenuation\": " + JsonNumber(v.Attenuation) +
           ", \"reach\": " + JsonNumber(v.Reach) + "}";
}

std::string CameraJson(const TModelCamera& c) {
    if (c.Values.empty()) return "{\"near\": null, \"far\": null, \"field_of_view\": null}";
    const TCameraParams& v = c.Values[0];
    return "{\"near\": " + JsonNumber(v.Near) + ", \"far\": " + JsonNumber(v.Far) +
           ", \"field_of_view\": " + JsonNumber(v.FieldOfView) + "}";
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string JsonNumber(float value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string UmfInfoJson(const TModel& model) {
    return "{\"kind\": \"umf\", \"header_word\": " + std::to_string(model.HeaderWord) +
           ", \"frame_count\": " + std::to_string(model.FrameCount) +
           ", \"materials\": " + JsonArray(model.Materials, MaterialJson) +
           ", \"objects\": " + JsonArray(model.Objects, ObjectJson) +
           ", \"lights\": " + JsonArray(model.ModelLights, LightJson) +
           ", \"cameras\": " + JsonArray(model.Cameras, CameraJson) + "}";
}

std::string UmtInfoJson(const TUmtImage& image) {
    return "{\"kind\": \"umt\", \"width\": " + std::to_string(image.Width) +
           ", \"height\": " + std::to_string(image.Height) +
           ", \"bits_per_pixel\": " + std::to_string(image.BitsPerPixel) +
           ", \"encoding\": " + std::to_string(image.Encoding) +
           ", \"frames\": " + std::to_string(image.FrameTotal()) + "}";
}
