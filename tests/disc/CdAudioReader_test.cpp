// The reading of audio sectors shared by drives and BIN images, run against
// libcdio's image driver: exact data, sectors that cannot be read, a stop
// while a sector is retried, and one reader per drive.

#include "disc/CdAudioReader.h"
#include "disc/CdTrackChannel.h"
#include "disc/DriveLock.h"
#include "engine/ChannelHealth.h"
#include "engine/ChannelRegistry.h"
#include "support/DiscImage.h"
#include "support/FailingSectors.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using disc::CdAudioReader;
using testsupport::DiscImage;

class CdAudioReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_bin = m_dir.filePath(QStringLiteral("disc.bin"));
        ASSERT_TRUE(m_image.make(m_bin, {{120, 0}, {80, 0}}));
    }

    std::unique_ptr<CdAudioReader> openReader()
    {
        auto reader = std::make_unique<CdAudioReader>(disc::CdDisc::openImage(m_bin));
        EXPECT_TRUE(reader->open());
        return reader;
    }

    QTemporaryDir m_dir;
    QString m_bin;
    DiscImage m_image;
};

TEST_F(CdAudioReaderTest, ReadsEverySectorOfAnImageExactly)
{
    auto reader = openReader();
    reader->seek(0);
    QByteArray all;
    char sector[DiscImage::kSectorBytes];
    for (int s = 0; s < 200; ++s) {
        ASSERT_EQ(reader->read(sector), CdAudioReader::Result::Sector) << s;
        all.append(sector, sizeof sector);
    }
    EXPECT_TRUE(all == m_image.bytes());
    EXPECT_EQ(reader->firstDamagedSector(), -1);
}

TEST_F(CdAudioReaderTest, SectorsThatCannotBeReadAreTheTracksDamage)
{
    // Sectors 150 to 159 of the image fail every read, as a scratch would.
    disc::DiscTrackSpan span;
    span.source = disc::DiscTrackSpan::Source::ImageSectors;
    span.file = m_bin;
    span.first = 120;
    span.end = 200;
    int error = 0;
    auto channel = disc::CdTrackChannel::open(span, error);
    ASSERT_TRUE(channel);
    CdAudioReader* reader = channel->reader();
    ASSERT_TRUE(reader);
    reader->setSectorRead(testsupport::failingSectors(reader, 150, 160));
    const DWORD handle =
        engine::ChannelRegistry::global().add(engine::ChannelKind::Stream, BASS_STREAM_DECODE, channel);
    QByteArray all;
    QByteArray buffer(20000, '\0');
    for (DWORD got; (got = BASS_ChannelGetData(handle, buffer.data(), DWORD(buffer.size()))) != DWORD(-1);)
        all.append(buffer.constData(), got);
    ASSERT_EQ(all.size(), 80 * DiscImage::kSectorBytes);
    // Everything outside the damage is the image's; the damage is where it began.
    const QByteArray expected = m_image.track(2);
    EXPECT_TRUE(all.left(30 * DiscImage::kSectorBytes) == expected.left(30 * DiscImage::kSectorBytes));
    EXPECT_TRUE(all.mid(40 * DiscImage::kSectorBytes) == expected.mid(40 * DiscImage::kSectorBytes));
    EXPECT_EQ(engine::channelDamagedAt(handle), QWORD(30 * DiscImage::kSectorBytes));
    BASS_StreamFree(handle);
}

TEST_F(CdAudioReaderTest, AStopEndsASectorThatIsRetriedWithinHalfASecond)
{
    auto reader = openReader();
    // A drive that takes 200 ms to fail each read of a bad sector.
    reader->setSectorRead([](void*, std::int32_t, long) -> long {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return -1;
    });
    std::atomic<bool> stop = false;
    reader->setCancelFlag(&stop);
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop = true;
    });
    QElapsedTimer timer;
    timer.start();
    char sector[DiscImage::kSectorBytes];
    EXPECT_EQ(reader->read(sector), CdAudioReader::Result::Cancelled);
    stopper.join();
    // Within a retry or two of the stop (about half a second unloaded), long
    // before the retries would run out; generous, for a loaded machine.
    EXPECT_LT(timer.elapsed(), 300 + 2500);
}

TEST(DriveLock, OneReaderPerDriveAndAStopWhileWaiting)
{
    const QString drive = QStringLiteral("/dev/no-such-drive-for-test");
    disc::DriveLock first;
    ASSERT_TRUE(first.acquire(drive, nullptr));
    std::atomic<bool> stop = false;
    std::atomic<bool> secondGot = false;
    std::thread second([&] {
        disc::DriveLock lock;
        secondGot = lock.acquire(drive, &stop);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(secondGot);
    stop = true;
    second.join();
    EXPECT_FALSE(secondGot);

    stop = false;
    std::thread third([&] {
        disc::DriveLock lock;
        secondGot = lock.acquire(drive, &stop);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    first.release();
    third.join();
    EXPECT_TRUE(secondGot);
    // Another drive is never held up by this one.
    disc::DriveLock other;
    EXPECT_TRUE(other.acquire(QStringLiteral("/dev/another-drive-for-test"), &stop));
}

} // namespace
