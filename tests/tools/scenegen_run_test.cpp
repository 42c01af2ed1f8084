// The generator as a program: the same bytes on every run, however many
// threads share the work, and plain errors for bad arguments or a folder it
// cannot write.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

#include "tests/tools/scenegen_data.h"

using namespace scenedata;
namespace fs = std::filesystem;

namespace {

int RunGenerator(const std::string& arguments, const std::string& output, int threads = 0) {
    const std::string environment = threads > 0 ? "SCENEGEN_THREADS=" + std::to_string(threads) + " " : "";
    const std::string command = environment + BinDir() + "/scenegen " + arguments + " >'" + output + "' 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const std::string& path) {
    std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// Every file below `dir`, by its path relative to `dir`.
std::vector<std::string> Files(const fs::path& dir) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), dir).string());
    std::sort(files.begin(), files.end());
    return files;
}

class SceneGenerator : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("scenegen_test_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

} // namespace

TEST_F(SceneGenerator, WritesTheSameBytesOnEveryRunWhateverItsThreads) {
    // The build made its copy with five threads; this run has one.
    ASSERT_EQ(RunGenerator((dir / "a").string(), (dir / "a.log").string(), 1), 0)
        << ReadText((dir / "a.log").string());
    const std::vector<std::string> files = Files(dir / "a");
    for (const std::string& name : files)
        EXPECT_TRUE(ReadWholeFile((dir / "a" / name).string()) == ReadWholeFile(DataDir() + "/" + name))
            << name
            << " differs between one thread and the build's five, or the distribution folder is stale";
    // Everything the program and the engine load is there, every texture a
    // model names included.
    for (const char* name :
         {"models/tarnwick.umf", "models/0.umf", "models/9.umf", "models/dd.umf", "models/am.umf",
          "models/pm.umf", "sounds/smallwaterfall.wav", "pictures/logo.bmp"})
        EXPECT_TRUE(std::count(files.begin(), files.end(), name)) << name;
    for (const std::string& file : files) {
        if (file.size() < 4 || file.substr(file.size() - 4) != ".umf") continue;
        ReadUmf((dir / "a" / file).string());
        for (const TMaterial& m : Models.back().Materials) {
            const std::string texture = MaterialTextureName(m);
            if (!texture.empty()) {
                EXPECT_TRUE(fs::exists(dir / "a" / "models" / (texture + ".umt")))
                    << file << " names " << texture;
            }
        }
    }
}

TEST_F(SceneGenerator, RefusesBadArgumentsWithItsUsage) {
    const std::string log = (dir / "log").string();
    EXPECT_EQ(RunGenerator("", log), 2);
    EXPECT_NE(ReadText(log).find("usage: scenegen DIR"), std::string::npos);
    EXPECT_EQ(RunGenerator((dir / "x").string() + " --view " + (dir / "v.bmp").string() + " 0 99999", log),
              2);
    EXPECT_FALSE(fs::exists(dir / "x"));
}

TEST_F(SceneGenerator, ReportsAFolderItCannotWrite) {
    // A plain file where the data folder should be.
    const fs::path blocked = dir / "file";
    {
        std::FILE* f = std::fopen(blocked.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    const std::string log = (dir / "log").string();
    EXPECT_EQ(RunGenerator(blocked.string(), log), 1);
    EXPECT_NE(ReadText(log).find("scenegen: "), std::string::npos);
}
