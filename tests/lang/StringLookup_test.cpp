#include "lang/StringLookup.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace lang;

namespace {

// Gives each test its own program folder and restores the previous one.
class StringLookupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        m_savedHome = qgetenv("TONEMILL_HOME");
        qputenv("TONEMILL_HOME", m_home.path().toUtf8());
        sLanguageFile = QStringLiteral("Test.ini");
    }
    void TearDown() override
    {
        if (m_savedHome.isNull())
            qunsetenv("TONEMILL_HOME");
        else
            qputenv("TONEMILL_HOME", m_savedHome);
        sLanguageFile.clear();
    }
    void writeLanguage(const QString& name, const QByteArray& content)
    {
        ASSERT_TRUE(QDir(m_home.path()).mkpath(QStringLiteral("Lang")));
        ASSERT_TRUE(testsupport::writeFile(m_home.filePath(QStringLiteral("Lang/") + name), content));
    }

    QTemporaryDir m_home;
    QByteArray m_savedHome;
};

} // namespace

TEST_F(StringLookupTest, WithoutLanguageFileEveryTextIsItsTrimmedDefault)
{
    EXPECT_EQ(languageFilePath(), m_home.path() + "/Lang/Test.ini");
    EXPECT_EQ(caption(StringId::SelectAll), "Select/Unselect All"); // no Lang folder at all
    EXPECT_EQ(caption(StringId::StepAddFiles), "- Add Audio or Video Files/Folders");
    EXPECT_EQ(caption(StringId::StepConvert), "- Click Convert to start conversion");
    EXPECT_EQ(caption(StringId::ErrorCodePrefix) + "5)", "(Error code:5)");

    writeLanguage(QStringLiteral("Test.ini"), "[Other]\n10001=Alle\n");
    EXPECT_EQ(caption(StringId::SelectAll), "Select/Unselect All"); // no Tonemill section
    sLanguageFile.clear();
    EXPECT_EQ(caption(StringId::SelectAll), "Select/Unselect All"); // path names the Lang folder
}

TEST_F(StringLookupTest, ValuesOfTheLanguageFile)
{
    writeLanguage(QStringLiteral("Test.ini"), "[tonemill]\r\n"
                                              "10001=\r\n"
                                              "  10002  =   Herunterfahren   \r\n"
                                              "10021=\"Halt  \"\r\n"
                                              "10024=\"  - Dateien \"\r\n");
    EXPECT_EQ(caption(StringId::SelectAll), "");
    EXPECT_EQ(caption(StringId::ShutdownAfterConversion), "Herunterfahren");
    EXPECT_EQ(caption(StringId::Stop), "Halt  ");
    EXPECT_EQ(caption(StringId::StepAddFiles), "- Dateien ");
    EXPECT_EQ(caption(StringId::Play), "Play");
    EXPECT_EQ(SetCaptionfromINI(QStringLiteral("10017"), QStringLiteral(" Spielen ")), "Spielen");
}

TEST_F(StringLookupTest, LongValuesAreCutTo499BytesOnAWholeCharacter)
{
    const QByteArray ascii(600, 'a');
    const QByteArray straddling = QByteArray(498, 'b') + "\xE2\x82\xAC" + QByteArray(99, 'c'); // bytes 499..501
    const QByteArray fitting = QByteArray(496, 'd') + "\xE2\x82\xAC" + QByteArray(101, 'e');   // bytes 497..499
    writeLanguage(QStringLiteral("Test.ini"),
                  "[Tonemill]\n10000=" + ascii + "\n10001=" + straddling + "\n10002=" + fitting + "\n");
    EXPECT_EQ(caption(StringId::StepsTitle), QString(499, 'a'));
    EXPECT_EQ(caption(StringId::SelectAll), QString(498, 'b'));
    EXPECT_EQ(caption(StringId::ShutdownAfterConversion), QString(496, 'd') + QChar(0x20AC));
}

TEST_F(StringLookupTest, EveryLookupReadsTheCurrentChoiceAndFile)
{
    writeLanguage(QStringLiteral("German.ini"), "[Tonemill]\n20007=Wartet\n");
    writeLanguage(QStringLiteral("French.ini"), "[Tonemill]\n20007=En attente\n");
    sLanguageFile = QStringLiteral("German.ini");
    EXPECT_EQ(caption(StringId::WaitingConversion), "Wartet");
    sLanguageFile = QStringLiteral("French.ini");
    EXPECT_EQ(caption(StringId::WaitingConversion), "En attente");

    writeLanguage(QStringLiteral("French.ini"), "[Tonemill]\n20007=Attente\n");
    EXPECT_EQ(caption(StringId::WaitingConversion), "Attente");
}

TEST_F(StringLookupTest, TheChosenFileIsReadOnceForAnyNumberOfLookupsOnAnyThread)
{
    writeLanguage(QStringLiteral("German.ini"), "[Tonemill]\n20007=Wartet\n20013=Fehler\n");
    writeLanguage(QStringLiteral("French.ini"), "[Tonemill]\n20007=En attente\n");
    // The system tells every opening of the files (and every closing, so
    // that openings one after another are not merged into one event).
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    for (const char* name : {"German.ini", "French.ini"})
        ASSERT_GE(::inotify_add_watch(watch,
                                      QFile::encodeName(m_home.filePath(QStringLiteral("Lang/") + name)).constData(),
                                      IN_OPEN | IN_CLOSE_NOWRITE),
                  0);
    const auto opened = [watch] {
        int count = 0;
        alignas(inotify_event) char buffer[65536];
        for (ssize_t got; (got = ::read(watch, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                count += (event->mask & IN_OPEN) ? 1 : 0;
                at += ssize_t(sizeof(inotify_event)) + ssize_t(event->len);
            }
        }
        return count;
    };

    sLanguageFile = QStringLiteral("German.ini");
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&wrong] {
            for (int i = 0; i < 250; ++i)
                if (caption(StringId::WaitingConversion) != QStringLiteral("Wartet") ||
                    caption(StringId::Error) != QStringLiteral("Fehler") ||
                    caption(StringId::Complete) != QStringLiteral("Complete"))
                    ++wrong;
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(opened(), 1);

    // Another choice is read at its first lookup, once.
    sLanguageFile = QStringLiteral("French.ini");
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(caption(StringId::WaitingConversion), "En attente");
    EXPECT_EQ(opened(), 1);
    ::close(watch);
}
