#pragma once

#include "support/SinkRecorder.h"

#include <gtest/gtest.h>

namespace testsupport {

//! A fixture for tests that listen to what the engine plays: the recorded
//! null sink is made once per test program and is the engine's default
//! output; without a sound server the tests are skipped. A derived SetUp
//! calls this one first and returns when IsSkipped() or HasFatalFailure().
class SinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static SinkRecorder& recorder() { return *s_recorder; }

    //! What is heard once the output has settled: the frequency of a tone
    //! louder than `toneRms`, 0 for silence, -1 for anything else.
    static double heard(double toneRms);

private:
    static inline SinkRecorder* s_recorder = nullptr;
    static inline bool s_started = false;
};

} // namespace testsupport
