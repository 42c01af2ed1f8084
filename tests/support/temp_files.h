// Scratch files for tests that read files: named for the running test case and
// its process (ctest runs cases in parallel processes), removed when the
// process ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A path of this test case's own for `name`; nothing is created.
std::string TempPath(const std::string& name);
// Writes the bytes to TempPath(name) and returns that path.
std::string WriteTemp(const std::string& name, const std::vector<std::uint8_t>& bytes);
