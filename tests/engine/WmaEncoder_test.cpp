#include "engine/Bass.h"
#include "engine/ChannelRegistry.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Interleaved 16-bit PCM: a 440 Hz tone with a little noise on every channel.
std::vector<std::int16_t> tone(int rate, int channels, double seconds)
{
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<std::int16_t> pcm(frames * static_cast<std::size_t>(channels));
    std::uint32_t seed = 1;
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            seed = seed * 1664525u + 1013904223u;
            const double v = 12000 * std::sin(2 * M_PI * 440 * double(i) / rate) + double(int(seed >> 22) - 512);
            pcm[i * channels + c] = static_cast<std::int16_t>(v);
        }
    }
    return pcm;
}

QJsonObject probe(const QString& path)
{
    QByteArray out;
    testsupport::runProgram(QStringLiteral("ffprobe"),
                            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_format"),
                             QStringLiteral("-show_streams"), QStringLiteral("-of"), QStringLiteral("json"), path},
                            &out);
    return QJsonDocument::fromJson(out).object();
}

// Tag value by name, ignoring the case of the name as ffprobe reports it.
QString tagValue(const QJsonObject& tags, const QString& name)
{
    for (auto it = tags.begin(); it != tags.end(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value().toString();
    }
    return QStringLiteral("<missing>");
}

std::vector<DWORD> rateList(DWORD freq, DWORD chans)
{
    std::vector<DWORD> rates;
    const DWORD* list = BASS_WMA_EncodeGetRates(freq, chans, BASS_WMA_ENCODE_STANDARD);
    for (; list && *list; ++list)
        rates.push_back(*list);
    return rates;
}

bool encodeFile(const QString& path, int rate, int channels, DWORD bitrate, double seconds)
{
    const HWMENCODE h =
        BASS_WMA_EncodeOpenFile(rate, channels, BASS_WMA_ENCODE_STANDARD, bitrate, QFile::encodeName(path).constData());
    if (!h)
        return false;
    const auto pcm = tone(rate, channels, seconds);
    const bool written = BASS_WMA_EncodeWrite(h, pcm.data(), DWORD(pcm.size() * 2));
    return BASS_WMA_EncodeClose(h) && written;
}

class WmaEncoder : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

} // namespace

TEST_F(WmaEncoder, RateListsAreDescendingZeroEndedAndEveryRateEncodes)
{
    struct Format {
        int rate;
        int channels;
    };
    for (const Format f : {Format{44100, 2}, Format{22050, 1}, Format{8000, 1}}) {
        SCOPED_TRACE(testing::Message() << f.rate << " Hz, " << f.channels << " ch");
        const std::vector<DWORD> rates = rateList(f.rate, f.channels);
        ASSERT_FALSE(rates.empty());
        EXPECT_EQ(engine::lastError(), BASS_OK);
        for (std::size_t i = 1; i < rates.size(); ++i)
            EXPECT_GT(rates[i - 1], rates[i]);
        EXPECT_LE(rates.front(), DWORD(f.rate * f.channels * 16)); // never above plain PCM
        for (const DWORD bitrate : rates) {
            const QString path = dir.filePath(QStringLiteral("r%1_%2_%3.wma").arg(f.rate).arg(f.channels).arg(bitrate));
            ASSERT_TRUE(encodeFile(path, f.rate, f.channels, bitrate, 0.5)) << bitrate;
            const QJsonObject stream = probe(path)[QStringLiteral("streams")].toArray().at(0).toObject();
            EXPECT_EQ(stream[QStringLiteral("codec_name")].toString(), QStringLiteral("wmav2")) << bitrate;
            EXPECT_EQ(stream[QStringLiteral("bit_rate")].toString().toUInt(), bitrate);
        }
    }
    // The same pointer comes back: the list lives as long as the process.
    EXPECT_EQ(BASS_WMA_EncodeGetRates(44100, 2, BASS_WMA_ENCODE_STANDARD),
              BASS_WMA_EncodeGetRates(44100, 2, BASS_WMA_ENCODE_STANDARD));
    EXPECT_EQ(rateList(44100, 2).front(), 320000u);
    EXPECT_EQ(rateList(8000, 1).back(), 24000u);
}

TEST_F(WmaEncoder, FormatsTheEncoderCannotTakeAreRefused)
{
    for (const auto& [rate, channels] :
         {std::pair{96000, 2}, std::pair{44100, 6}, std::pair{0, 2}, std::pair{44100, 0}}) {
        EXPECT_EQ(BASS_WMA_EncodeGetRates(rate, channels, BASS_WMA_ENCODE_STANDARD), nullptr)
            << rate << "/" << channels;
        EXPECT_EQ(engine::lastError(), BASS_ERROR_FORMAT);
        const QString path = dir.filePath(QStringLiteral("refused.wma"));
        EXPECT_EQ(BASS_WMA_EncodeOpenFile(rate, channels, 0, 128000, QFile::encodeName(path).constData()), 0u);
        EXPECT_EQ(engine::lastError(), BASS_ERROR_FORMAT);
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(BASS_WMA_EncodeGetRates(44100, 2, 0x1), nullptr);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ILLPARAM);

    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("rate.wma")));
    EXPECT_EQ(BASS_WMA_EncodeOpenFile(44100, 2, 0x2000, 640000, path.constData()), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_WMA_EncodeOpenFile(44100, 2, 0x2000, 8000, path.constData()), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_WMA_EncodeOpenFile(44100, 2, 0x2000, DWORD(-1), path.constData()), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ILLPARAM);
}

TEST_F(WmaEncoder, UncreatableFileIsReported)
{
    const QByteArray missingFolder = QFile::encodeName(dir.filePath(QStringLiteral("no such folder/x.wma")));
    EXPECT_EQ(BASS_WMA_EncodeOpenFile(44100, 2, 0x2000, 128000, missingFolder.constData()), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_CREATE);
    EXPECT_EQ(BASS_WMA_EncodeOpenFile(44100, 2, 0x2000, 128000, ""), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_CREATE);
    EXPECT_EQ(BASS_WMA_EncodeOpenFile(44100, 2, 0x2000, 128000, QFile::encodeName(dir.path()).constData()), 0u);
    EXPECT_EQ(engine::lastError(), BASS_ERROR_CREATE);

    EXPECT_FALSE(BASS_WMA_EncodeWrite(0x7FFFFFF0, "ab", 2));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_WMA_EncodeSetTag(0x7FFFFFF0, "Title", "x", 0));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_WMA_EncodeClose(0x7FFFFFF0));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_HANDLE);
}

TEST_F(WmaEncoder, FileWithTagsReadsBackCompleteWithItsTags)
{
    // A name with blanks, a colon (not a protocol!) and non-Latin letters.
    const QString path = dir.filePath(QStringLiteral("my: tëst Песня.wma"));
    const HWMENCODE h =
        BASS_WMA_EncodeOpenFile(44100, 2, BASS_WMA_ENCODE_STANDARD, 128000, QFile::encodeName(path).constData());
    ASSERT_NE(h, 0u) << engine::lastError();

    const char* names[] = {"Title",  "Author",    "WM/AlbumTitle", "Description",
                           "Rating", "Copyright", "WM/Genre",      "WM/Year"};
    const char* values[] = {"Ünïcode Title", "Some Artist", "An Album", "A description, with commas", "5",
                            "(c) 2024 Us",   "Ambient",     "2024"};
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(BASS_WMA_EncodeSetTag(h, names[i], values[i], 0)) << names[i];
    EXPECT_FALSE(BASS_WMA_EncodeSetTag(h, "", "value without a name", 0));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_WMA_EncodeSetTag(h, "Title", "x", 1)); // only 8-bit / UTF-8 text
    EXPECT_EQ(engine::lastError(), BASS_ERROR_ILLPARAM);
    EXPECT_TRUE(BASS_WMA_EncodeSetTag(h, "", "", 0));
    EXPECT_FALSE(BASS_WMA_EncodeSetTag(h, "WM/Composer", "late", 0));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_NOTAVAIL);

    // 3 s in awkward pieces: odd byte counts split samples between calls.
    const auto pcm = tone(44100, 2, 3.0);
    const char* bytes = reinterpret_cast<const char*>(pcm.data());
    const std::size_t total = pcm.size() * 2;
    const std::size_t pieces[] = {1, 3, 20000, 7777, 1, 65536, 4095};
    std::size_t at = 0;
    for (std::size_t i = 0; at < total; ++i) {
        const std::size_t n = std::min(pieces[i % std::size(pieces)], total - at);
        ASSERT_TRUE(BASS_WMA_EncodeWrite(h, bytes + at, DWORD(n)));
        at += n;
    }
    ASSERT_TRUE(BASS_WMA_EncodeClose(h));
    EXPECT_FALSE(BASS_WMA_EncodeClose(h));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_HANDLE);

    const QJsonObject info = probe(path);
    const QJsonObject stream = info[QStringLiteral("streams")].toArray().at(0).toObject();
    EXPECT_EQ(stream[QStringLiteral("codec_name")].toString(), QStringLiteral("wmav2"));
    EXPECT_EQ(stream[QStringLiteral("sample_rate")].toString(), QStringLiteral("44100"));
    EXPECT_EQ(stream[QStringLiteral("channels")].toInt(), 2);
    const QJsonObject format = info[QStringLiteral("format")].toObject();
    EXPECT_NEAR(format[QStringLiteral("duration")].toString().toDouble(), 3.0, 0.1);
    const QByteArray decoded = testsupport::decodeWithFfmpeg(path);
    EXPECT_NEAR(double(decoded.size()) / (4 * 44100), 3.0, 0.1);
    // Samples split between writes were put together right: the tone comes
    // back at its pitch and level (a byte slip would turn it into loud noise).
    const auto* out = reinterpret_cast<const std::int16_t*>(decoded.constData());
    const qsizetype frames = decoded.size() / 4;
    double energy = 0;
    int rising = 0;
    bool positive = false;
    for (qsizetype i = 0; i < frames; ++i) {
        const int v = out[2 * i];
        energy += double(v) * v;
        if (!positive && v > 2000) {
            positive = true;
            ++rising;
        } else if (positive && v < -2000) {
            positive = false;
        }
    }
    EXPECT_NEAR(std::sqrt(energy / double(frames)), 12000 / std::sqrt(2.0), 800);
    EXPECT_NEAR(rising / (double(frames) / 44100), 440, 10);

    const QJsonObject tags = format[QStringLiteral("tags")].toObject();
    // ffprobe's names for the ASF attributes.
    const char* shown[] = {"title", "artist", "album", "comment", "rating", "copyright", "genre", "WM/Year"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(tagValue(tags, QString::fromLatin1(shown[i])), QString::fromUtf8(values[i])) << shown[i];
}

TEST_F(WmaEncoder, MonoFileWithoutTagsAndTagsRefusedAfterAudio)
{
    const QString path = dir.filePath(QStringLiteral("mono.wma"));
    const HWMENCODE h = BASS_WMA_EncodeOpenFile(22050, 1, 0x2000, 32000, QFile::encodeName(path).constData());
    ASSERT_NE(h, 0u);
    const auto pcm = tone(22050, 1, 1.5);
    ASSERT_TRUE(BASS_WMA_EncodeWrite(h, pcm.data(), DWORD(pcm.size() * 2)));
    EXPECT_FALSE(BASS_WMA_EncodeSetTag(h, "Title", "too late", 0));
    EXPECT_EQ(engine::lastError(), BASS_ERROR_NOTAVAIL);
    EXPECT_TRUE(BASS_WMA_EncodeWrite(h, nullptr, 0));
    ASSERT_TRUE(BASS_WMA_EncodeClose(h));

    const QJsonObject info = probe(path);
    const QJsonObject stream = info[QStringLiteral("streams")].toArray().at(0).toObject();
    EXPECT_EQ(stream[QStringLiteral("sample_rate")].toString(), QStringLiteral("22050"));
    EXPECT_EQ(stream[QStringLiteral("channels")].toInt(), 1);
    EXPECT_NEAR(info[QStringLiteral("format")].toObject()[QStringLiteral("duration")].toString().toDouble(), 1.5, 0.15);
    EXPECT_FALSE(
        info[QStringLiteral("format")].toObject()[QStringLiteral("tags")].toObject().contains(QStringLiteral("title")));
}

TEST_F(WmaEncoder, FileWithNoAudioIsStillComplete)
{
    const QString path = dir.filePath(QStringLiteral("empty.wma"));
    const HWMENCODE h = BASS_WMA_EncodeOpenFile(44100, 2, 0x2000, 64000, QFile::encodeName(path).constData());
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_WMA_EncodeClose(h));
    EXPECT_EQ(testsupport::runProgram(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), path}),
              0);
}
