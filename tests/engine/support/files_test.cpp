// File errors: the runtime's bare texts by default, and the file's full path
// in them once the program asks for it (the Linux program does).
#include "engine/support/files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "tests/support/temp_files.h"

namespace {
class FileErrors : public ::testing::Test {
  protected:
    std::string folder;
    std::string before;

    void SetUp() override {
        IoErrorsNameFiles = false;
        before = platform::GetCurrentDirectory();
        folder = TempPath("folder");
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
        ASSERT_TRUE(platform::SetCurrentDirectory(folder));
    }
    void TearDown() override {
        IoErrorsNameFiles = false;
        platform::SetCurrentDirectory(before);
        rmdir((folder + "/models").c_str());
        rmdir(folder.c_str());
    }
    static std::string ReadError(const std::string& path) {
        try {
            ReadWholeFile(path);
        } catch (const TIoError& e) {
            EXPECT_EQ(e.Code(), IoFileNotFound);
            return e.what();
        }
        return "no error";
    }
};

TEST_F(FileErrors, AreTheRuntimeTextsUnlessAskedToNameTheFile) {
    EXPECT_EQ(ReadError("models\\tarnwick.umf"), "File not found");
    IoErrorsNameFiles = true;
    // A path relative to the current folder is given in full, in the
    // platform's separators; an absolute one as it is.
    EXPECT_EQ(ReadError("models\\tarnwick.umf"), "File not found: " + folder + "/models/tarnwick.umf");
    EXPECT_EQ(ReadError("/nowhere/lake.umt"), "File not found: /nowhere/lake.umt");
}

TEST_F(FileErrors, WritingNamesTheFileToo) {
    IoErrorsNameFiles = true;
    ASSERT_EQ(mkdir((folder + "/models").c_str(), 0755), 0);
    try {
        WriteWholeFile("models", "x", 1); // a folder takes the name
        FAIL() << "no error";
    } catch (const TIoError& e) {
        EXPECT_EQ(e.Code(), IoInvalidFilename);
        EXPECT_EQ(std::string(e.what()), "Invalid filename: " + folder + "/models");
    }
}
} // namespace
