#include "cli/JsonLine.h"
#include "platform/FileName.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using cli::JsonLine;

namespace {

//! The text a line's "v" member reads back as, by a JSON parser.
QString readBack(const QByteArray& line)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line.constData();
    return document.object().value(QStringLiteral("v")).toString();
}

} // namespace

TEST(JsonLine, EveryControlCharacterIsEscapedAndReadsBack)
{
    for (char16_t u = 0; u <= 0x7F; ++u) {
        if (u >= 0x20 && u < 0x7F)
            continue;
        const QString text = QStringLiteral("a") + QChar(u) + QStringLiteral("b");
        const QByteArray line = JsonLine().add("v", text).object();
        for (const char c : line)
            ASSERT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << "U+" << int(u) << " left raw";
        const char* shortForm = u == u'\n' ? "\\n" : u == u'\r' ? "\\r" : u == u'\t' ? "\\t" : nullptr;
        const QByteArray escape =
            shortForm ? QByteArray(shortForm) : "\\u" + QByteArray::number(int(u), 16).rightJustified(4, '0');
        EXPECT_EQ(line, "{\"v\":\"a" + escape + "b\"}") << int(u);
        EXPECT_EQ(readBack(line), text) << int(u);
    }
}

TEST(JsonLine, QuotesBackslashesAndBytesThatAreNotUtf8)
{
    struct Case {
        QString text;
        QByteArray written;
    };
    const Case cases[] = {
        {QStringLiteral("say \"hi\" \\ 1"), "\"say \\\"hi\\\" \\\\ 1\""},
        // Characters of UTF-8 stay as they are, a pair of surrogates too.
        {QStringLiteral("caf\u00e9 \u97f3 \U0001F3B5"), "\"caf\xc3\xa9 \xe9\x9f\xb3 \xf0\x9f\x8e\xb5\""},
        // A name's bytes that are not UTF-8, as Python's surrogateescape writes them.
        {platform::fromNativeName("caf\xe9\xff"), "\"caf\\udce9\\udcff\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonLine::quoted(c.text), c.written) << c.written.constData();
        EXPECT_EQ(readBack("{\"v\":" + c.written + '}'), c.text);
    }
}

TEST(JsonLine, NumbersNullsAndObjects)
{
    const JsonLine line = JsonLine()
                              .add("a", 1.5, 3)
                              .add("b", -0.0001, 2)
                              .add("c", -std::numeric_limits<double>::infinity(), 2)
                              .add("d", qint64(-7))
                              .add("e", std::nullopt)
                              .add("f", true)
                              .add("g", JsonLine().add("h", 2.0, 1));
    EXPECT_EQ(line.object(), "{\"a\":1.5,\"b\":0,\"c\":null,\"d\":-7,\"e\":null,\"f\":true,\"g\":{\"h\":2}}");
}
