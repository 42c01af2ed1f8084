// The main of every test binary: GoogleTest's, with the engine's globals
// reset before each case, so that a binary run whole passes as its cases do
// one by one.
#include <gtest/gtest.h>

#include "tests/support/engine_state.h"

namespace {
class TResetBeforeEachCase : public ::testing::EmptyTestEventListener {
    // Before the case's fixture is made, so that its SetUp starts from a clean engine.
    void OnTestStart(const ::testing::TestInfo&) override { ResetEngineState(); }
};
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TResetBeforeEachCase);
    return RUN_ALL_TESTS();
}
