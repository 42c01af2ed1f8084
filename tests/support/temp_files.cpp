#include "tests/support/temp_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "engine/support/files.h"

namespace {
struct TTempFiles {
    std::vector<std::string> Paths;
    ~TTempFiles() {
        for (const std::string& path : Paths)
            std::remove(path.c_str());
    }
} TempFiles;
} // namespace

std::string TempPath(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() +
           (test ? test->test_suite_name() + std::string("_") + test->name() : "test") + "_" +
           std::to_string(getpid()) + "_" + name;
}

std::string WriteTemp(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::string path = TempPath(name);
    WriteWholeFile(path, bytes.data(), bytes.size());
    if (std::find(TempFiles.Paths.begin(), TempFiles.Paths.end(), path) == TempFiles.Paths.end())
        TempFiles.Paths.push_back(path);
    return path;
}
