#include "filelist/FileList.h"
#include "filelist/RowWords.h"
#include "platform/FileName.h"

#include <QColor>
#include <QSignalSpy>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

filelist::FileListRow row(const QString& path)
{
    filelist::FileListRow r;
    r.path = path;
    r.Duration = QStringLiteral("00:01");
    r.FileSize = QStringLiteral("1 KB");
    return r;
}

} // namespace

TEST(FileList, ColumnsAreNamedInGridOrderAndFoundWithoutRegardToCase)
{
    filelist::FileList list;
    EXPECT_EQ(list.columnCount(), 6);
    const QStringList names{"ID", "CheckBox", "FilePath", "Status", "Duration", "FileSize"};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(filelist::FileList::columnName(c), names[c]);
        EXPECT_EQ(filelist::FileList::columnIndex(names[c].toUpper()), c);
    }
    EXPECT_EQ(filelist::FileList::columnIndex(QStringLiteral("Checkbox")), filelist::FileList::CheckBox);
    EXPECT_EQ(filelist::FileList::columnIndex(QStringLiteral("Path")), -1);
}

TEST(FileList, CursorWalksAndAppendMakesTheNewRowCurrent)
{
    filelist::FileList list;
    EXPECT_TRUE(list.atEnd());
    EXPECT_FALSE(list.field(QStringLiteral("FilePath")).isValid());

    ASSERT_TRUE(list.append(row(QStringLiteral("/a.wav"))));
    ASSERT_TRUE(list.append(row(QStringLiteral("/b.wav"))));
    EXPECT_EQ(list.cursor(), 1);
    EXPECT_EQ(list.field(QStringLiteral("filepath")).toString(), QStringLiteral("/b.wav"));

    QStringList walked;
    for (list.moveFirst(); !list.atEnd(); list.moveNext())
        walked << list.field(QStringLiteral("FilePath")).toString();
    EXPECT_EQ(walked, (QStringList{"/a.wav", "/b.wav"}));
    list.moveNext(); // past the end stays at the end
    EXPECT_TRUE(list.atEnd());

    list.moveLast();
    list.movePrevious();
    list.movePrevious();
    EXPECT_TRUE(list.atStart());
    EXPECT_FALSE(list.setField(QStringLiteral("Status"), QStringLiteral("x")));

    list.moveFirst();
    EXPECT_TRUE(list.setField(QStringLiteral("CHECKBOX"), -5));
    EXPECT_EQ(list.at(0).CheckBox, -5);
    EXPECT_FALSE(list.setField(QStringLiteral("CheckBox"), QStringLiteral("ticked")));
    EXPECT_FALSE(list.setField(QStringLiteral("NoSuchColumn"), 1));
}

TEST(FileList, RefusesARowPastTheLimitOrAPathPastTheFileSystemLimit)
{
    filelist::FileList list;
    for (int i = 0; i < filelist::FileList::kMaxRows; ++i)
        ASSERT_TRUE(list.append(row(QString::number(i))));
    EXPECT_FALSE(list.append(row(QStringLiteral("one more"))));
    EXPECT_EQ(list.count(), filelist::FileList::kMaxRows);

    filelist::FileList small;
    const QString longest = u'/' + QString(filelist::FileList::kMaxPathBytes - 1, u'a');
    EXPECT_TRUE(small.append(row(longest)));
    EXPECT_FALSE(small.append(row(longest + u'a')));
    // Bytes, not characters: 2048 two-byte letters fill the limit exactly.
    EXPECT_TRUE(small.append(row(QString(filelist::FileList::kMaxPathBytes / 2, QChar(0x00FC)))));
    EXPECT_FALSE(small.setCell(0, filelist::FileList::FilePath,
                               QString(filelist::FileList::kMaxPathBytes / 2 + 1, QChar(0x00FC))));
}

TEST(FileList, ContainsPathIsExactAndLeavesTheCursorOnTheFirstMatch)
{
    filelist::FileList list;
    EXPECT_FALSE(list.containsPath(QStringLiteral("/a.wav")));
    list.append(row(QStringLiteral("/a.wav")));
    list.append(row(QStringLiteral("/b.wav")));
    list.append(row(QStringLiteral("/c.wav")));

    EXPECT_TRUE(list.containsPath(QStringLiteral("/b.wav")));
    EXPECT_EQ(list.cursor(), 1);
    EXPECT_FALSE(list.containsPath(QStringLiteral("/B.wav")));
    EXPECT_TRUE(list.atEnd());

    // A rewritten path is found under its new text only, at its first row.
    ASSERT_TRUE(list.setCell(2, filelist::FileList::FilePath, QStringLiteral("/b.wav")));
    ASSERT_TRUE(list.setCell(1, filelist::FileList::FilePath, QStringLiteral("/x.wav")));
    EXPECT_FALSE(list.containsPath(QStringLiteral("/c.wav")));
    EXPECT_TRUE(list.containsPath(QStringLiteral("/b.wav")));
    EXPECT_EQ(list.cursor(), 2);
    list.append(row(QStringLiteral("/c.wav")));
    EXPECT_TRUE(list.containsPath(QStringLiteral("/c.wav")));
    EXPECT_EQ(list.cursor(), 3);
}

TEST(FileList, AStatusWriteRepaintsJustThatCell)
{
    filelist::FileList list;
    list.append(row(QStringLiteral("/a.wav")));
    list.append(row(QStringLiteral("/b.wav")));
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);

    list.setProgress(1, 45.5f);
    ASSERT_EQ(changed.size(), 1);
    const QModelIndex from = changed[0][0].value<QModelIndex>();
    const QModelIndex to = changed[0][1].value<QModelIndex>();
    EXPECT_EQ(from, list.index(1, filelist::FileList::Status));
    EXPECT_EQ(to, from);
    EXPECT_EQ(list.data(from).toString(), QStringLiteral("45.5"));
}

TEST(FileList, TheTickColumnIsACheckBoxStoringOneOrZero)
{
    filelist::FileList list;
    list.append(row(QStringLiteral("/a.wav")));
    const QModelIndex tick = list.index(0, filelist::FileList::CheckBox);
    EXPECT_TRUE(list.flags(tick) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(list.flags(list.index(0, filelist::FileList::FilePath)) & Qt::ItemIsEditable);
    EXPECT_FALSE(list.data(tick, Qt::DisplayRole).isValid());
    EXPECT_EQ(list.data(tick, Qt::CheckStateRole).toInt(), Qt::Unchecked);

    EXPECT_TRUE(list.setData(tick, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(list.at(0).CheckBox, 1);
    list.setCell(0, filelist::FileList::CheckBox, -1); // any non-zero value is ticked
    EXPECT_EQ(list.data(tick, Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_TRUE(list.setData(tick, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(list.at(0).CheckBox, 0);

    EXPECT_FALSE(list.setData(list.index(0, filelist::FileList::Status), QStringLiteral("x"), Qt::EditRole));
    EXPECT_FALSE(list.setCell(0, filelist::FileList::Status, QStringLiteral("x"))); // it follows the state
    EXPECT_EQ(list.cell(0, filelist::FileList::Status).toString(), QStringLiteral("Waiting Conversion"));
}

TEST(FileList, StatusWordsAndColoursFollowTheRowState)
{
    using filelist::RowState;
    const struct {
        RowState state;
        const char* status;
        std::optional<quint32> colour;
    } cases[] = {
        {RowState::Waiting, "Waiting Conversion", std::nullopt},
        {RowState::Converting, "37.5", std::nullopt},
        {RowState::Complete, "Complete", 0x3A6331},
        {RowState::CompleteDamaged, "Complete", 0x854B00},
        {RowState::Cancelled, "Cancelled", 0xB50808},
        {RowState::Failed, "Error", 0xB50808},
        {RowState::NotSupported, "Codec Not Supported", 0xB50808},
    };
    filelist::FileList list;
    list.append(row(QStringLiteral("/a.wav")));
    const QModelIndex status = list.index(0, filelist::FileList::Status);
    for (const auto& c : cases) {
        if (c.state == RowState::Converting)
            list.setProgress(0, 37.5f);
        else
            list.setState(0, c.state);
        EXPECT_EQ(list.data(status).toString(), QString::fromLatin1(c.status)) << c.status;
        EXPECT_EQ(list.textColor(0, filelist::FileList::Status), c.colour) << c.status;
        EXPECT_EQ(list.data(status, filelist::FileList::StateRole).toInt(), int(c.state));
    }
    // An unopenable file has no playing time to show.
    EXPECT_EQ(list.cell(0, filelist::FileList::Duration).toString(), QStringLiteral("00:01"));
    list.setCell(0, filelist::FileList::Duration, QString());
    EXPECT_EQ(list.cell(0, filelist::FileList::Duration).toString(), QString());

    // A copy of the rows (removal) keeps their states and colours.
    filelist::FileList copy;
    copy.append(list.at(0));
    EXPECT_EQ(copy.textColor(0, filelist::FileList::Status), std::optional<quint32>(0xB50808));
}

namespace {

// WCAG's contrast ratio of two colours given as 0xRRGGBB.
double contrast(quint32 a, quint32 b)
{
    const auto luminance = [](quint32 rgb) {
        const auto channel = [](quint32 value) {
            const double c = double(value) / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(rgb >> 16 & 0xFF) + 0.7152 * channel(rgb >> 8 & 0xFF) + 0.0722 * channel(rgb & 0xFF);
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

// Every status colour reads on the grid's body colour RGB(255, 192, 192) at
// the contrast ordinary text needs, 4.5:1.
TEST(FileList, StatusColoursReadOnTheGridsBodyColour)
{
    using filelist::RowState;
    for (const RowState state : {RowState::Complete, RowState::CompleteDamaged, RowState::Cancelled, RowState::Failed,
                                 RowState::NotSupported}) {
        const std::optional<quint32> colour = filelist::words::statusColor(state);
        ASSERT_TRUE(colour.has_value());
        EXPECT_GE(contrast(*colour, 0xFFC0C0), 4.5) << int(state) << " #" << std::hex << *colour;
    }
}

TEST(FileList, TheStatusReasonAndTheWholePathAreTooltipsAndRawNamesShowReplacementCharacters)
{
    filelist::FileList list;
    list.append(row(QStringLiteral("/a.wav")));
    list.append(row(platform::fromNativeName("/caf\xe9.wav")));
    QSignalSpy changed(&list, &filelist::FileList::dataChanged);

    list.setReason(0, filelist::RowReason::words(QStringLiteral("No space left on device")));
    const QModelIndex status = list.index(0, filelist::FileList::Status);
    EXPECT_EQ(list.data(status, Qt::ToolTipRole).toString(), QStringLiteral("No space left on device"));
    EXPECT_FALSE(list.data(list.index(1, filelist::FileList::Status), Qt::ToolTipRole).isValid());
    EXPECT_EQ(list.data(list.index(0, filelist::FileList::FilePath), Qt::ToolTipRole).toString(),
              QStringLiteral("/a.wav"));
    EXPECT_EQ(changed.count(), 1);
    list.setReason(0, {});
    EXPECT_FALSE(list.data(status, Qt::ToolTipRole).isValid());
    list.setReason(0, filelist::RowReason::damage(252.5, 600));
    EXPECT_EQ(list.statusReason(0), QStringLiteral("input damaged at 04:12 of 10:00"));

    // The row keeps the name's bytes; the grid shows them as replacement characters.
    EXPECT_EQ(platform::nativeName(list.at(1).path), QByteArray("/caf\xe9.wav"));
    EXPECT_EQ(list.data(list.index(1, filelist::FileList::FilePath)).toString(), QStringLiteral("/caf\uFFFD.wav"));
    EXPECT_EQ(list.data(list.index(1, filelist::FileList::FilePath), Qt::ToolTipRole).toString(),
              QStringLiteral("/caf\uFFFD.wav"));
}
