#include "lang/ProfileReader.h"
#include "lang/StringTable.h"
#include "support/Fixtures.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

using namespace lang;

// The English language file and the table in the code must not drift apart:
// the file holds every identifier once, with the table's text.
TEST(StringTable, EnglishLanguageFileMatchesTheTable)
{
    // The sources' file when their folder is known, else the copy beside the program.
    const QString folder = testsupport::sourceDir().isEmpty() ? testsupport::buildBinDir() : testsupport::sourceDir();
    QFile file(folder + QStringLiteral("/Lang/English.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
    const QByteArray content = file.readAll();

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
        keys.insert(key);
    }
    EXPECT_EQ(sections, 1);
    EXPECT_EQ(keys.size(), qsizetype(std::size(kStringTable)));

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
        EXPECT_TRUE((id >= 10000 && id <= 10063) || (id >= 10100 && id <= 10107) || id == 100016 || id == 100024 || (id >= 20001 && id <= 20016) ||
                    (id >= 30001 && id <= 30012))
            << id;
    }
}
