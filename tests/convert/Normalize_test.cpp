#include "Mp3OggWmaTestSession.h"
#include "convert/ConvertToFLAC_OPUS_AAC.h"
#include "convert/ConvertToMP3_OGG.h"
#include "convert/ConvertToWAV.h"
#include "convert/ConvertToWMA.h"
#include "support/ReferenceLoudness.h"

#include <QDir>
#include <QFile>
#include <cmath>

using options::FormatOptions;

namespace {

class NormalizeTest : public encodertest::EncoderSession {
protected:
    void SetUp() override
    {
        EncoderSession::SetUp();
        if (HasFatalFailure())
            return;
        options.chkNormalize.setValue(true);
        options.sliderNormalizeTarget.setValue(-18);
        // What the row shows at each yield: its reason and progress.
        desktop.onProcessEvents = [this] {
            const QString reason = list->statusReason(0);
            bool number = false;
            const double percent = status().toDouble(&number);
            if (!number)
                return;
            if (reason == QLatin1String("Pass 1 of 2: measuring the loudness"))
                firstPass.push_back(percent);
            else if (reason == QLatin1String("Pass 2 of 2: converting"))
                secondPass.push_back(percent);
            else
                onePass.push_back(percent);
            if (stopInFirstPass && !firstPass.empty())
                state.bCancelConversion = true;
        };
    }

    //! `expression` (an aevalsrc one) as a stereo FLAC file.
    QString input(const QString& name, const QString& expression, double seconds = 5)
    {
        const QString file = path(name);
        EXPECT_TRUE(testsupport::makeFromLavfi(
            file, QStringLiteral("aevalsrc=%1:s=44100:d=%2:c=stereo").arg(expression).arg(seconds)));
        return file;
    }
    void clearPasses()
    {
        firstPass.clear();
        secondPass.clear();
        onePass.clear();
    }
    static testsupport::ReferenceLoudness measured(const QString& file)
    {
        return testsupport::libebur128Loudness(file).value_or(testsupport::ReferenceLoudness{});
    }

    std::vector<double> firstPass, secondPass, onePass;
    bool stopInFirstPass = false;
};

TEST_F(NormalizeTest, AFileIsMeasuredInAFirstPassThenBroughtToTheTarget)
{
    const QString quiet = input(QStringLiteral("quiet.flac"), QStringLiteral("0.02*sin(2*PI*1000*t)"));
    convert::ConvertToWAV(session, quiet, path(QStringLiteral("out.wav")));
    expectComplete();
    // The bar fills to the middle while measuring, then to the end.
    ASSERT_FALSE(firstPass.empty());
    ASSERT_FALSE(secondPass.empty());
    EXPECT_TRUE(onePass.empty());
    EXPECT_LE(*std::max_element(firstPass.begin(), firstPass.end()), 50.0);
    EXPECT_GE(*std::min_element(secondPass.begin(), secondPass.end()), 50.0);
    EXPECT_TRUE(list->statusReason(0).isEmpty());

    EXPECT_NEAR(measured(path(QStringLiteral("out.wav"))).integrated, -18.0, 0.05);
    ASSERT_TRUE(list->loudness(0));
    EXPECT_NEAR(list->loudness(0)->integrated, -18.0, 0.05);

    // The same file again: its analysis is stored, so one pass does.
    clearPasses();
    options.sliderNormalizeTarget.setValue(-23);
    options.optFileFormat(FormatOptions::OGG).click();
    convert::ConvertToMP3_OGG(session, quiet, path(QStringLiteral("out.ogg")));
    expectComplete();
    EXPECT_TRUE(firstPass.empty());
    EXPECT_TRUE(secondPass.empty());
    ASSERT_FALSE(onePass.empty());
    EXPECT_LT(*std::min_element(onePass.begin(), onePass.end()), 50.0); // the bar is the one pass's
    EXPECT_NEAR(measured(path(QStringLiteral("out.ogg"))).integrated, -23.0, 0.1);

    // A changed file is measured again.
    ASSERT_TRUE(
        testsupport::makeFromLavfi(quiet, QStringLiteral("aevalsrc=0.04*sin(2*PI*1000*t):s=44100:d=6:c=stereo")));
    clearPasses();
    convert::ConvertToWAV(session, quiet, path(QStringLiteral("changed.wav")));
    expectComplete();
    EXPECT_FALSE(firstPass.empty());
    EXPECT_NEAR(measured(path(QStringLiteral("changed.wav"))).integrated, -23.0, 0.05);
}

TEST_F(NormalizeTest, APlainConversionLeavesTheAnalysisALaterNormalisingUses)
{
    const QString in = input(QStringLiteral("plain.flac"), QStringLiteral("0.3*sin(2*PI*440*t)"));
    options.chkNormalize.setValue(false);
    convert::ConvertToWAV(session, in, path(QStringLiteral("plain.wav")));
    expectComplete();
    options.chkNormalize.setValue(true);
    clearPasses();
    convert::ConvertToWAV(session, in, path(QStringLiteral("normal.wav")));
    expectComplete();
    EXPECT_TRUE(firstPass.empty());
    EXPECT_NEAR(measured(path(QStringLiteral("normal.wav"))).integrated, -18.0, 0.05);

    // MP3 is mixed down to two channels at most: that decoding is measured
    // on its own.
    clearPasses();
    options.optFileFormat(FormatOptions::MP3).click();
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("normal.mp3")));
    expectComplete();
    EXPECT_FALSE(firstPass.empty());
    ASSERT_TRUE(list->loudness(0));
    EXPECT_NEAR(list->loudness(0)->integrated, -18.0, 0.05); // what lame was given
    // lame plays about 0.45 dB quieter than it was given.
    EXPECT_NEAR(measured(path(QStringLiteral("normal.mp3"))).integrated, -18.0, 0.5);
}

TEST_F(NormalizeTest, AClippedInputMadeLouderKeepsItsTruePeakAtMinusOneDbtp)
{
    // A square wave clipped at full scale: its oversampled peaks lie well above it.
    const QString loud = input(QStringLiteral("clipped.flac"), QStringLiteral("0.999*sgn(sin(2*PI*997*t))"));
    options.sliderNormalizeTarget.setValue(-5);
    convert::ConvertToWAV(session, loud, path(QStringLiteral("limited.wav")));
    expectComplete();
    options.optFileFormat(FormatOptions::FLAC).click();
    convert::ConvertToFLAC_OPUS_AAC(session, loud, path(QStringLiteral("limited.flac")));
    expectComplete();
    for (const char* name : {"limited.wav", "limited.flac"}) {
        SCOPED_TRACE(name);
        const testsupport::ReferenceLoudness out = measured(path(QString::fromLatin1(name)));
        EXPECT_LE(20 * std::log10(out.truePeak), -1.0);
        EXPECT_LT(out.integrated, -5.0 + 0.01); // the limiter took what would have clipped
        EXPECT_GT(out.integrated, -12.0);
    }
    ASSERT_TRUE(list->loudness(0));
    EXPECT_LE(list->loudness(0)->truePeak, -1.0);
}

TEST_F(NormalizeTest, LoudOutputsDecodeAtOrBelowTheCeilingInEveryFormat)
{
    // Dense audio made loud: lossy codecs raise its peaks as they decode, by
    // as much as the headroom each is given.
    const QString in = path(QStringLiteral("pink.flac"));
    ASSERT_TRUE(testsupport::makeFromLavfi(in, QStringLiteral("anoisesrc=d=8:c=pink:a=0.3:seed=1"),
                                           {QStringLiteral("-ac"), QStringLiteral("2")}));
    options.sliderNormalizeTarget.setValue(-8);
    const struct {
        int format;
        const char* name;
        void (*convert)(convert::ConversionSession&, const QString&, const QString&);
    } formats[] = {
        {FormatOptions::WAV, "loud.wav", convert::ConvertToWAV},
        {FormatOptions::MP3, "loud.mp3", convert::ConvertToMP3_OGG},
        {FormatOptions::OGG, "loud.ogg", convert::ConvertToMP3_OGG},
        {FormatOptions::OPUS, "loud.opus", convert::ConvertToFLAC_OPUS_AAC},
        {FormatOptions::AAC, "loud.m4a", convert::ConvertToFLAC_OPUS_AAC},
        {FormatOptions::WMA, "loud.wma", convert::ConvertToWMA},
    };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.name);
        options.optFileFormat(f.format).click();
        const QString out = path(QLatin1String(f.name));
        f.convert(session, in, out);
        expectComplete();
        EXPECT_LE(20 * std::log10(measured(out).truePeak), -1.0); // libebur128, 4x
        EXPECT_LE(testsupport::ffmpegTruePeakDb(out), -1.0);      // 192 kHz
    }
}

TEST_F(NormalizeTest, StopDuringTheFirstPassEndsCancelledWithoutAnOutput)
{
    const QString in = input(QStringLiteral("long.flac"), QStringLiteral("0.1*sin(2*PI*440*t)"), 30);
    stopInFirstPass = true;
    session.setYieldInterval(0);
    convert::ConvertToWAV(session, in, path(QStringLiteral("stopped.wav")));
    EXPECT_EQ(status(), QStringLiteral("Cancelled"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("stopped.wav"))));
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral(".tonemill-*")}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(list->loudness(0));
}

} // namespace
