// scenegen: writes the screensaver's whole data directory.
//
//   scenegen DIR                        models/, sounds/ and pictures/ under DIR,
//                                       and the Windows program's icon DIR/tarnwick.ico
//   scenegen DIR --view FILE W H        also camera 1's view as a W x H BMP
//
// The output depends on nothing but this program: the same bytes every run,
// whatever the number of threads (SCENEGEN_THREADS, 1 to 64, sets it; one a
// core by default) and on every processor.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "engine/support/files.h"
#include "sound/wave.h"
#include "tools/scenegen/engine_textures.h"
#include "tools/scenegen/falls.h"
#include "tools/scenegen/glyphs.h"
#include "tools/scenegen/icon.h"
#include "tools/scenegen/installer_picture.h"
#include "tools/scenegen/lake_model.h"
#include "tools/scenegen/logo.h"
#include "tools/scenegen/model_files.h"
#include "tools/scenegen/raster.h"
#include "tools/scenegen/waterfall_sound.h"

using namespace scenegen;

namespace {

void WriteBmp(const std::string& path, const TPicture& picture) {
    const std::vector<std::uint8_t> bytes = BmpBytes(picture);
    WriteWholeFile(path, bytes.data(), bytes.size());
}

void Generate(const std::string& dir, const std::string& viewPath, int viewWidth, int viewHeight) {
    namespace fs = std::filesystem;
    for (const char* sub : {"models", "sounds", "pictures"})
        fs::create_directories(fs::path(dir) / sub);
    const std::string models = dir + "/models/";

    const TLakeData lake = BuildLake();
    SaveModel(models + "tarnwick.umf", lake.Model);
    for (const TNamedPicture& texture : lake.Textures)
        SaveTexture(models + texture.Name + ".umt", texture.Picture);
    SaveEngineTextures(models);
    SaveTexture(models + MistTextureName + ".umt", MistTexture());

    for (char digit = '0'; digit <= '9'; ++digit)
        SaveModel(models + digit + ".umf", GlyphModel(std::string(1, digit)));
    SaveModel(models + "dd.umf", GlyphModel(":"));
    SaveModel(models + "am.umf", GlyphModel("AM"));
    SaveModel(models + "pm.umf", GlyphModel("PM"));

    SaveWave(dir + "/sounds/smallwaterfall.wav", WaterfallChannels, WaterfallSampleRate, WaterfallSamples());
    WriteBmp(dir + "/pictures/logo.bmp", MakeLogo(lake));
    SaveIcon(dir + "/tarnwick.ico", lake); // compiled into the Windows program, not loaded at run time
    WriteBmp(dir + "/tarnwick-setup.bmp", MakeInstallerPicture(lake)); // built into the setup program

    if (!viewPath.empty()) WriteBmp(viewPath, RenderLakeView(lake, viewWidth, viewHeight, 2, true));
}

} // namespace

int main(int argc, char** argv) {
    std::string viewPath;
    int viewWidth = 0, viewHeight = 0;
    if (argc == 6 && std::string(argv[2]) == "--view") {
        viewPath = argv[3];
        viewWidth = std::atoi(argv[4]);
        viewHeight = std::atoi(argv[5]);
    }
    if ((argc != 2 && viewPath.empty()) ||
        (!viewPath.empty() && (viewWidth < 16 || viewHeight < 16 || viewWidth > 8192 || viewHeight > 8192))) {
        std::fprintf(stderr, "usage: scenegen DIR [--view FILE.bmp WIDTH HEIGHT]\n");
        return 2;
    }
    try {
        Generate(argv[1], viewPath, viewWidth, viewHeight);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scenegen: %s\n", e.what());
        return 1;
    }
    return 0;
}
