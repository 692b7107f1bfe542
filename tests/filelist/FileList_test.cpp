#include "filelist/FileList.h"
#include "platform/FileName.h"

#include <QColor>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

filelist::FileListRow row(const QString& path)
{
    filelist::FileListRow r;
    r.FilePath = path;
    r.Status = QStringLiteral("Waiting Conversion");
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

    ASSERT_TRUE(list.setCell(1, filelist::FileList::Status, QStringLiteral("45.5")));
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
    EXPECT_EQ(list.at(0).Status, QStringLiteral("Waiting Conversion"));
}

TEST(FileList, TextColoursBelongToTheListInstance)
{
    filelist::FileList list;
    list.append(row(QStringLiteral("/a.wav")));
    list.append(row(QStringLiteral("/b.wav")));
    list.setTextColor(1, filelist::FileList::Status, 0xDC0A0A);

    const QModelIndex status = list.index(1, filelist::FileList::Status);
    EXPECT_EQ(list.data(status, filelist::FileList::TextColorRole).toUInt(), 0xDC0A0Au);
    EXPECT_EQ(list.data(status, Qt::ForegroundRole).value<QColor>(), QColor(220, 10, 10));
    EXPECT_FALSE(list.data(list.index(0, filelist::FileList::Status), Qt::ForegroundRole).isValid());
    EXPECT_FALSE(list.textColor(1, filelist::FileList::Duration).has_value());

    // Removal copies the cells into a new list: the colours stay behind.
    std::unique_ptr<filelist::FileList> copy = filelist::NewFileList();
    ASSERT_TRUE(copy);
    for (const filelist::FileListRow& r : list.rows())
        copy->append(r);
    EXPECT_FALSE(copy->textColor(1, filelist::FileList::Status).has_value());

    list.clearTextColor(1, filelist::FileList::Status);
    EXPECT_FALSE(list.data(status, Qt::ForegroundRole).isValid());
}

TEST(FileList, TheStatusReasonIsItsTooltipAndRawNamesShowReplacementCharacters)
{
    filelist::FileList list;
    list.append(row(QStringLiteral("/a.wav")));
    list.append(row(platform::fromNativeName("/caf\xe9.wav")));
    QSignalSpy changed(&list, &filelist::FileList::dataChanged);

    list.setStatusReason(0, QStringLiteral("No space left on device"));
    const QModelIndex status = list.index(0, filelist::FileList::Status);
    EXPECT_EQ(list.data(status, Qt::ToolTipRole).toString(), QStringLiteral("No space left on device"));
    EXPECT_FALSE(list.data(list.index(1, filelist::FileList::Status), Qt::ToolTipRole).isValid());
    EXPECT_FALSE(list.data(list.index(0, filelist::FileList::FilePath), Qt::ToolTipRole).isValid());
    EXPECT_EQ(changed.count(), 1);
    list.setStatusReason(0, QString());
    EXPECT_FALSE(list.data(status, Qt::ToolTipRole).isValid());

    // The row keeps the name's bytes; the grid shows them as replacement characters.
    EXPECT_EQ(platform::nativeName(list.at(1).FilePath), QByteArray("/caf\xe9.wav"));
    EXPECT_EQ(list.data(list.index(1, filelist::FileList::FilePath)).toString(), QStringLiteral("/caf\uFFFD.wav"));
}
