// Sectors of a disc that paranoia could not correct become the row's reason,
// "input damaged at … of …", with where the damage began.

#include "convert/InputDamage.h"
#include "disc/CdTrackChannel.h"
#include "engine/ChannelRegistry.h"
#include "filelist/RowWords.h"
#include "support/DiscImage.h"
#include "support/FailingSectors.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CdTrackDamage, UncorrectedSectorsBecomeTheReasonWithTheirPosition)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    testsupport::DiscImage image;
    const QString bin = dir.filePath(QStringLiteral("disc.bin"));
    ASSERT_TRUE(image.make(bin, {{75, 0}, {375, 0}}));

    disc::DiscTrackSpan span;
    span.source = disc::DiscTrackSpan::Source::ImageSectors;
    span.file = bin;
    span.first = 75;
    span.end = 450;
    int error = 0;
    auto channel = disc::CdTrackChannel::open(span, error);
    ASSERT_TRUE(channel);
    disc::CdAudioReader* reader = channel->reader();
    ASSERT_TRUE(reader);
    // Two seconds into the track, a scratch no retry gets past.
    reader->setSectorRead(testsupport::failingSectors(reader, 225, 240));
    const DWORD handle =
        engine::ChannelRegistry::global().add(engine::ChannelKind::Stream, BASS_STREAM_DECODE, channel);
    const QWORD stated = BASS_ChannelGetLength(handle, BASS_POS_BYTE);
    QByteArray buffer(20000, '\0');
    while (BASS_ChannelGetData(handle, buffer.data(), DWORD(buffer.size())) != DWORD(-1)) {
    }
    const QWORD end = BASS_ChannelGetPosition(handle, BASS_POS_BYTE);
    EXPECT_EQ(end, stated);
    EXPECT_EQ(filelist::words::englishReason(convert::InputDamageReason(handle, stated, end)),
              QStringLiteral("input damaged at 00:02 of 00:05"));
    BASS_StreamFree(handle);
}

} // namespace
