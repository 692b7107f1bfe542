#include "support/SinkTest.h"

namespace testsupport {

void SinkTest::SetUpTestSuite()
{
    s_recorder = new SinkRecorder;
    s_started = s_recorder->start();
}

void SinkTest::TearDownTestSuite()
{
    delete s_recorder;
    s_recorder = nullptr;
}

void SinkTest::SetUp()
{
    if (s_recorder->sink().isEmpty())
        GTEST_SKIP() << SinkRecorder::skipHint();
    ASSERT_TRUE(s_started) << s_recorder->error().toStdString();
}

double SinkTest::heard(double toneRms)
{
    s_recorder->wait(300);
    const ToneAnalysis sound = analyseTone(s_recorder->capture(500));
    if (sound.rms < kSilenceRms)
        return 0;
    return sound.rms > toneRms ? sound.frequency : -1;
}

} // namespace testsupport
