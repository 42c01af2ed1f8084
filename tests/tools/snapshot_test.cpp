// The snapshot tool as a program: a PNG of the first frame, or of a frame of
// the running lake, from the data in the folder it runs in, and plain errors
// without data or with a bad size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/support/files.h"

namespace fs = std::filesystem;

namespace {

int RunSnapshot(const fs::path& folder, const std::string& arguments, const fs::path& log) {
    const std::string command = "cd '" + folder.string() + "' && '" + std::string(TARNWICK_DIST_DIR) +
                                "/snapshot' " + arguments + " >'" + log.string() + "' 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uint32_t BigEndian32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 |
           b[at + 3];
}

class Snapshot : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("snapshot_test_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

} // namespace

TEST_F(Snapshot, WritesAPngOfTheRequestedSize) {
    const fs::path png = dir / "frame.png";
    ASSERT_EQ(RunSnapshot(TARNWICK_DIST_DIR, "'" + png.string() + "' 320 180", dir / "log"), 0);
    const std::vector<std::uint8_t> bytes = ReadWholeFile(png.string());
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndian32(bytes, 16), 320u);
    EXPECT_EQ(BigEndian32(bytes, 20), 180u);
    EXPECT_GT(bytes.size(), 20000u) << "a frame of the lake does not compress to almost nothing";
}

TEST_F(Snapshot, ReportsMissingDataAndBadSizes) {
    const fs::path png = dir / "frame.png", log = dir / "log";
    EXPECT_EQ(RunSnapshot(dir, "'" + png.string() + "'", log), 1);
    const std::vector<std::uint8_t> text = ReadWholeFile(log.string());
    EXPECT_NE(std::string(text.begin(), text.end()).find("File not found"), std::string::npos);
    EXPECT_FALSE(fs::exists(png));
    EXPECT_EQ(RunSnapshot(dir, "'" + png.string() + "' 0 720", log), 2);
    EXPECT_EQ(RunSnapshot(dir, "'" + png.string() + "' 1280", log), 2);
}

TEST_F(Snapshot, RunsTheLakeOnItsOwnClock) {
    // The same frame of the same run twice gives the same picture; the frame
    // after it shows the water moved on.
    const fs::path a = dir / "a.png", b = dir / "b.png", c = dir / "c.png";
    ASSERT_EQ(RunSnapshot(TARNWICK_DIST_DIR, "'" + a.string() + "' 320 180 --frames 120", dir / "log"), 0);
    ASSERT_EQ(RunSnapshot(TARNWICK_DIST_DIR, "'" + b.string() + "' 320 180 --frames 120", dir / "log"), 0);
    ASSERT_EQ(RunSnapshot(TARNWICK_DIST_DIR, "'" + c.string() + "' 320 180 --frames 121", dir / "log"), 0);
    EXPECT_EQ(ReadWholeFile(a.string()), ReadWholeFile(b.string()));
    EXPECT_NE(ReadWholeFile(a.string()), ReadWholeFile(c.string()));
}
