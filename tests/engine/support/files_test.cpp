// File errors: the runtime's text, then the file's full path; the bare texts
// only for a tool that names files itself.
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
        before = platform::GetCurrentDirectory();
        folder = TempPath("folder");
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
        ASSERT_TRUE(platform::SetCurrentDirectory(folder));
    }
    void TearDown() override {
        IoErrorsNameFiles = true;
        platform::SetCurrentDirectory(before);
        rmdir((folder + "/models").c_str());
        rmdir(folder.c_str());
    }
    static std::string ReadError(const std::string& path, int code = IoFileNotFound) {
        try {
            ReadWholeFile(path);
        } catch (const TIoError& e) {
            EXPECT_EQ(e.Code(), code);
            return e.what();
        }
        return "no error";
    }
};

TEST_F(FileErrors, NameTheFileUnlessAToolNamesItItself) {
    // A path relative to the current folder is given in full, in the
    // platform's separators; an absolute one as it is.
    EXPECT_EQ(ReadError("models\\tarnwick.umf"), "File not found: " + folder + "/models/tarnwick.umf");
    EXPECT_EQ(ReadError("/nowhere/lake.umt"), "File not found: /nowhere/lake.umt");
    // Bytes no text shows (a texture name comes from a model file) are '?'.
    EXPECT_EQ(ReadError("models\\a\x01\tb\x7f\xff.umt"), "File not found: " + folder + "/models/a??b??.umt");
    EXPECT_EQ(ReadError("models\\\xc3\xa9t\xc3.umt"), "File not found: " + folder + "/models/\xc3\xa9t?.umt");
    IoErrorsNameFiles = false;
    EXPECT_EQ(ReadError("models\\tarnwick.umf"), "File not found");
}

TEST_F(FileErrors, AFolderWhereAFileShouldBeIsCalledAFolder) {
    ASSERT_EQ(mkdir((folder + "/models").c_str(), 0755), 0);
    const std::string text = "Is a folder, not a file: " + folder + "/models";
    EXPECT_EQ(ReadError("models", IoAccessDenied), text);
    EXPECT_EQ(ReadError(folder + "/models/", IoAccessDenied), text + "/"); // not "File too large"
    try {
        WriteWholeFile("models", "x", 1);
        FAIL() << "no error";
    } catch (const TIoError& e) {
        EXPECT_EQ(std::string(e.what()), text);
    }
}
} // namespace
