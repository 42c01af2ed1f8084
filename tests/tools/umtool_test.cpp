// umtool as a user runs it: the installed program from the distribution
// folder, its output, the files it writes and its exit status.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/models/umf_writer.h"
#include "engine/support/files.h"
#include "engine/textures/umt.h"
#include "engine/textures/umt_writer.h"

namespace {

class Umtool : public ::testing::Test {
  protected:
    std::string dir;

    void SetUp() override {
        char pattern[] = "/tmp/umtool-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::string Path(const std::string& name) const { return dir + "/" + name; }

    struct TRun {
        int Status;
        std::string Out, Err;
    };
    TRun Run(const std::string& arguments) const {
        const std::string command = std::string(TARNWICK_DIST_DIR) + "/umtool " + arguments + " >'" +
                                    Path("out") + "' 2>'" + Path("err") + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(Path("out")), Slurp(Path("err"))};
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void Save(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        WriteWholeFile(Path(name), bytes.data(), bytes.size());
    }
};

// A PNG's pixels, top row first, as 8-bit RGB or RGBA.
std::vector<std::uint8_t> ReadPng(const std::string& path, bool alpha, unsigned& width, unsigned& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    EXPECT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    width = image.width;
    height = image.height;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    EXPECT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
    return pixels;
}

void WritePng(const std::string& path, unsigned width, unsigned height, bool alpha,
              const std::vector<std::uint8_t>& topDown) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, topDown.data(), 0, nullptr))
        << image.message;
}

// Rows of `bytes` bytes in reverse order.
std::vector<std::uint8_t> FlipRows(const std::vector<std::uint8_t>& pixels, std::size_t rowBytes) {
    std::vector<std::uint8_t> out;
    for (std::size_t row = pixels.size() / rowBytes; row-- > 0;)
        out.insert(out.end(), pixels.begin() + row * rowBytes, pixels.begin() + (row + 1) * rowBytes);
    return out;
}

TModel SampleModel() {
    TModel m;
    m.HeaderWord = 3;
    m.FrameCount = 2;
    m.MaterialCount = 2;
    m.Materials.resize(2);
    m.Materials[0].Colour[0] = 0.5f;
    m.Materials[0].Colour[3] = 1.0f;
    std::memcpy(m.Materials[1].Name, "wa\"ter\xE9", 7);
    m.ObjectCount = 1;
    m.Objects.resize(1);
    TModelObject& o = m.Objects[0];
    o.MaterialIndex = 1;
    o.Spare = 9;
    o.MeshCount = 2;
    o.Meshes.resize(2);
    o.Meshes[0].TriangleCount = 1;
    o.Meshes[0].Triangles.resize(1);
    o.Meshes[0].TexCoordCount = 3;
    o.Meshes[0].TexCoords.resize(3);
    o.Frames.resize(2);
    m.ModelLightCount = 1;
    m.ModelLights.resize(1);
    m.ModelLights[0].Values = {{{1, 0.25f, 0, 1}, 0, 2.5f, 100}, {{0, 0, 0, 0}, 0, 9, 9}};
    m.ModelLights[0].Matrices.resize(2);
    m.CameraCount = 1;
    m.Cameras.resize(1);
    m.Cameras[0].Values = {{0.1f, 500, 45}, {1, 2, 3}};
    m.Cameras[0].Matrices.resize(2);
    return m;
}

} // namespace

TEST_F(Umtool, InfoDescribesAModel) {
    Save("scene.umf", WriteUmf(SampleModel()));
    TRun run = Run("info '" + Path("scene.umf") + "'");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "{\"kind\": \"umf\", \"header_word\": 3, \"frame_count\": 2, \"materials\": ["
                       "{\"colour\": [0.5, 0, 0, 1], \"texture\": \"\"}, "
                       "{\"colour\": [0, 0, 0, 0], \"texture\": \"wa\\\"ter\\u00e9\"}], "
                       "\"objects\": [{\"material_index\": 1, \"spare\": 9, \"meshes\": ["
                       "{\"triangles\": 1, \"tex_coords\": 3}, {\"triangles\": 0, \"tex_coords\": 0}], "
                       "\"transform_track\": true, \"alpha_track\": false, \"drawable\": false}], "
                       "\"lights\": [{\"colour\": [1, 0.25, 0, 1], \"attenuation\": 2.5, \"reach\": 100}], "
                       "\"cameras\": [{\"near\": 0.1, \"far\": 500, \"field_of_view\": 45}]}\n");
}

TEST_F(Umtool, InfoDescribesATexture) {
    TUmtImage image;
    image.Width = 16;
    image.Height = 8;
    image.BitsPerPixel = 32;
    image.LastFrame = 2;
    image.Pixels.assign(image.FrameSize() * 3, 7);
    Save("a.UMT", WriteUmt(image, true));
    TRun run = Run("info '" + Path("a.UMT") + "'");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "{\"kind\": \"umt\", \"width\": 16, \"height\": 8, \"bits_per_pixel\": 32, "
                       "\"encoding\": 1, \"frames\": 3}\n");
}

TEST_F(Umtool, PngShowsTheFrameWithItsBottomRowLast) {
    // 3 x 2, 24 bits, two frames; row 0 (the bottom) is red in frame 1.
    TUmtImage image;
    image.Width = 3;
    image.Height = 2;
    image.BitsPerPixel = 24;
    image.LastFrame = 1;
    for (int i = 0; i < 18; ++i)
        image.Pixels.push_back(static_cast<std::uint8_t>(i * 10));
    for (int i = 0; i < 3; ++i)
        image.Pixels.insert(image.Pixels.end(), {255, 0, 0});
    image.Pixels.resize(36, 40);
    Save("t.umt", WriteUmt(image, false));

    TRun run = Run("png '" + Path("t.umt") + "' '" + Path("t.png") + "' 1");
    ASSERT_EQ(run.Status, 0) << run.Err;
    unsigned w = 0, h = 0;
    std::vector<std::uint8_t> png = ReadPng(Path("t.png"), false, w, h);
    EXPECT_EQ(w, 3u);
    EXPECT_EQ(h, 2u);
    const std::vector<std::uint8_t> frame1(image.Pixels.begin() + 18, image.Pixels.end());
    EXPECT_EQ(png, FlipRows(frame1, 9));
    EXPECT_EQ(png[9], 255); // the PNG's second (bottom) row is row 0: red

    ASSERT_EQ(Run("png '" + Path("t.umt") + "' '" + Path("t0.png") + "'").Status, 0);
    EXPECT_EQ(ReadPng(Path("t0.png"), false, w, h),
              FlipRows({image.Pixels.begin(), image.Pixels.begin() + 18}, 9));
}

TEST_F(Umtool, UmtFromPngRawAndBlockCoded) {
    // 16 x 8 RGBA with varied colour and alpha: the raw UMT keeps every byte.
    std::vector<std::uint8_t> topDown;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            topDown.insert(topDown.end(), {std::uint8_t(x * 16), std::uint8_t(y * 30), std::uint8_t(x ^ y),
                                           std::uint8_t(255 - x - y)});
    WritePng(Path("in.png"), 16, 8, true, topDown);
    ASSERT_EQ(Run("umt '" + Path("in.png") + "' '" + Path("raw.umt") + "'").Status, 0);
    std::vector<std::uint8_t> bytes = ReadWholeFile(Path("raw.umt"));
    TUmtImage raw = DecodeUmt(bytes.data(), bytes.size(), "raw.umt");
    EXPECT_EQ(raw.BitsPerPixel, 32);
    EXPECT_EQ(raw.Encoding, 0);
    EXPECT_EQ(raw.Pixels, FlipRows(topDown, 16 * 4));

    // Grey RGB survives block coding exactly (Y carries it, chroma is neutral).
    std::vector<std::uint8_t> grey;
    for (int i = 0; i < 16 * 8; ++i)
        grey.insert(grey.end(), 3, std::uint8_t(i * 2));
    WritePng(Path("grey.png"), 16, 8, false, grey);
    ASSERT_EQ(Run("umt '" + Path("grey.png") + "' '" + Path("grey.umt") + "' --ycbcr").Status, 0);
    bytes = ReadWholeFile(Path("grey.umt"));
    EXPECT_EQ(bytes.size(), 10u + 2 * 66u);
    TUmtImage coded = DecodeUmt(bytes.data(), bytes.size(), "grey.umt");
    EXPECT_EQ(coded.Encoding, 1);
    EXPECT_EQ(coded.BitsPerPixel, 24);
    EXPECT_EQ(coded.Pixels, FlipRows(grey, 16 * 3));

    // Sides that are not multiples of 8 cannot be block-coded.
    WritePng(Path("odd.png"), 3, 1, false, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    TRun odd = Run("umt '" + Path("odd.png") + "' '" + Path("odd.umt") + "' --ycbcr");
    EXPECT_EQ(odd.Status, 1);
    EXPECT_NE(odd.Err.find("multiples of 8"), std::string::npos) << odd.Err;
    EXPECT_NE(access(Path("odd.umt").c_str(), F_OK), 0); // nothing written
}

TEST_F(Umtool, BrokenFilesExitWithTheReadersMessage) {
    std::vector<std::uint8_t> model = WriteUmf(SampleModel());
    model.resize(model.size() - 1);
    Save("short.umf", model);
    TRun run = Run("info '" + Path("short.umf") + "'");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "umtool: " + Path("short.umf") + ": Read beyond end of file\n");
    EXPECT_EQ(run.Out, "");

    Save("bad.umt", {4, 0, 4, 0, 24, 1, 0, 0, 0, 0});
    run = Run("png '" + Path("bad.umt") + "' '" + Path("bad.png") + "'");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "umtool: " + Path("bad.umt") + ": block-coded image smaller than 8 x 8\n");

    run = Run("info '" + Path("missing.umt") + "'");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "umtool: " + Path("missing.umt") + ": File not found\n");

    Save("junk.png", {1, 2, 3});
    EXPECT_EQ(Run("umt '" + Path("junk.png") + "' '" + Path("junk.umt") + "'").Status, 1);
}

TEST_F(Umtool, BadCommandLinesPrintUsage) {
    TUmtImage image;
    image.Width = image.Height = 1;
    image.BitsPerPixel = 24;
    image.Pixels = {1, 2, 3};
    Save("one.umt", WriteUmt(image, false));
    for (const std::string& args : std::vector<std::string>{
             "", "info", "frobnicate x", "info '" + Path("one.umt") + "' extra",
             "info '" + Path("one.txt") + "'", "png '" + Path("one.umt") + "' '" + Path("o.png") + "' 1",
             "png '" + Path("one.umt") + "' '" + Path("o.png") + "' -1",
             "png '" + Path("one.umt") + "' '" + Path("o.png") + "' 99999999999", "umt a.png b.umt --rgb"}) {
        SCOPED_TRACE(args);
        TRun run = Run(args);
        EXPECT_EQ(run.Status, 2);
        EXPECT_NE(run.Err.find("usage: umtool"), std::string::npos);
        EXPECT_EQ(run.Out, "");
    }
}
