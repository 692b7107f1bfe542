#include "lang/ProfileReader.h"
#include "lang/StringTable.h"
#include "lang/TextEncoding.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

using namespace lang;

namespace {

// The shipped language folder: the sources' when their folder is known, else
// the copy beside the program.
QString shippedLanguageFolder()
{
    const QString folder = testsupport::sourceDir().isEmpty() ? testsupport::buildBinDir() : testsupport::sourceDir();
    return folder + QStringLiteral("/Lang");
}

} // namespace

// Every shipped language file holds every identifier of the table once, no
// other, in one "Tonemill" section, as UTF-8; English has the table's texts.
TEST(StringTable, EveryShippedLanguageFileHoldsEveryTextAndNoOther)
{
    QSet<QByteArray> known;
    for (const StringEntry& entry : kStringTable)
        known.insert(idText(entry.id).toUtf8());

    const QDir folder(shippedLanguageFolder());
    const QStringList files = folder.entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
    EXPECT_GE(files.size(), 8) << qPrintable(folder.path());
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray content = testsupport::readFile(folder.filePath(name));
        ASSERT_FALSE(content.isEmpty());
        EXPECT_TRUE(isValidUtf8(content));

        QSet<QByteArray> keys;
        int sections = 0;
        for (const QByteArray& raw : content.split('\n')) {
            const QByteArray line = raw.trimmed();
            if (line.isEmpty() || line.startsWith(';'))
                continue;
            if (line.startsWith('[')) {
                EXPECT_EQ(line, "[Tonemill]");
                ++sections;
                continue;
            }
            const qsizetype equals = line.indexOf('=');
            ASSERT_GT(equals, 0) << line.constData();
            const QByteArray key = line.first(equals);
            EXPECT_FALSE(keys.contains(key)) << "duplicate key " << key.constData();
            EXPECT_TRUE(known.contains(key)) << "unknown key " << key.constData();
            EXPECT_FALSE(line.sliced(equals + 1).trimmed().isEmpty()) << "empty text of " << key.constData();
            keys.insert(key);
        }
        EXPECT_EQ(sections, 1);
        EXPECT_EQ(keys, known);

        // The blank after the error code's prefix is kept: the number follows it.
        const auto prefix = ProfileReader::findValue(content, "Tonemill", "30006");
        ASSERT_TRUE(prefix.has_value());
        EXPECT_TRUE(prefix->endsWith(' ')) << "30006 must be quoted with its trailing blank";

        // Its flag: a bitmap of the same base name, at the language box's size.
        const QImage flag(folder.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".bmp")));
        EXPECT_EQ(flag.size(), QSize(16, 11));
    }

    const QByteArray content = testsupport::readFile(folder.filePath(QStringLiteral("English.ini")));
    ASSERT_FALSE(content.isEmpty());
    for (const StringEntry& entry : kStringTable) {
        const QByteArray key = idText(entry.id).toUtf8();
        const auto value = ProfileReader::findValue(content, "Tonemill", key);
        ASSERT_TRUE(value.has_value()) << "missing key " << key.constData();
        EXPECT_EQ(value->toByteArray(), QByteArray(entry.englishText)) << "key " << key.constData();
    }
}

TEST(StringTable, IdentifiersAndDefaults)
{
    EXPECT_EQ(idText(StringId::ProductName), "100024");
    EXPECT_EQ(idText(StringId::StopConversionFirst), "30004");
    EXPECT_EQ(englishText(StringId::StepAddFiles), "  - Add Audio or Video Files/Folders ");
    for (const StringEntry& entry : kStringTable) {
        const int id = static_cast<int>(entry.id);
        EXPECT_TRUE((id >= 10000 && id <= 10064) || (id >= 10100 && id <= 10111) || id == 10150 || id == 100016 ||
                    id == 100024 || (id >= 20001 && id <= 20016) ||
                    (id >= 20101 && id <= 20199) ||                                 // status reasons added on Linux
                    id == 20201 || id == 20202 ||                                   // the batch's count and time left
                    (id >= 10260 && id <= 10279) || (id >= 20360 && id <= 20379) || // loudness
                    (id >= 30001 && id <= 30012) || (id >= 30101 && id <= 30107))
            << id;
    }
}
