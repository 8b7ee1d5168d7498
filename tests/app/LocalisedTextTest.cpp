#include "app/LocalisedText.h"
#include "config/ConfigListReader.h"
#include "support/QtPrinters.h"
#include "support/TestAppDir.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <sys/stat.h>

// Only a direct child of the root is looked up, by a valid label; a label the file lacks, and
// every label of a file missing, broken or hostile, gets the built-in English text, and a label
// that is not even built in the identifier. A changed file shows at the next look-up.
TEST(LocalisedText, LooksUpTheRootsChildrenAndOtherwiseGivesTheBuiltInText)
{
    TestAppDir app(false);
    LocalisedText texts(app.path());
    const QString written = QStringLiteral("The configuration file could not be written.");
    // No file yet, then one broken or hostile.
    EXPECT_EQ(texts.GetText("SLBL0356"), written);
    EXPECT_EQ(texts.GetText("SLBL0001"), QStringLiteral("SLBL0001"));
    EXPECT_FALSE(texts.TextLoaded());
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE I18NTEXT [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">").arg(i).arg(QStringLiteral("&l%1;").arg(i - 1).repeated(10)).toUtf8();
    laughs += "]><I18NTEXT><SLBL0356>&l9;</SLBL0356></I18NTEXT>";
    const QByteArray deep = "<I18NTEXT><SLBL0356>" + QByteArray("<a>").repeated(100000) + "x"
                            + QByteArray("</a>").repeated(100000) + "</SLBL0356></I18NTEXT>";
    for (const auto &[what, xml] : {std::pair<const char *, QByteArray>{"not well-formed", "<I18NTEXT><SLBL0356>broken"},
                                    {"entities that expand a billion times", laughs},
                                    {"elements nested a hundred thousand deep", deep}}) {
        app.writeFile("I18nText.xml", xml);
        EXPECT_EQ(texts.GetText("SLBL0356"), written) << what;
        EXPECT_FALSE(texts.TextLoaded()) << what;
    }

    app.writeFile("I18nText.xml", "<?xml version=\"1.0\"?><I18NTEXT><SLBL0351>File Name</SLBL0351>"
                                  "<SLBL0351>second</SLBL0351><G><SLBL0353>nested</SLBL0353></G>"
                                  "<SLBL0354>  <b>Log</b>\n  <i>Dir</i> x <![CDATA[ <c> ]]></SLBL0354>"
                                  "<SLBL0355>a &amp; b<!-- no --><?pi no?></SLBL0355></I18NTEXT>");
    for (const auto &[label, text] : {std::pair{"SLBL0351", "File Name"}, // first of two same-named children
                                      {"SLBL0352", "DSN"},               // missing: the built-in text
                                      {"SLBL0353", "User"},              // one level deeper is not found
                                      {"SLBL0001", "SLBL0001"},          // nowhere: the identifier
                                      {"SLBL0354", "Log Dir x  <c>"},    // mixed content, white space as one blank
                                      {"SLBL0355", "a & b"}})
        EXPECT_EQ(texts.GetText(QString::fromUtf8(label)), QString::fromUtf8(text)) << label;
    EXPECT_TRUE(texts.TextLoaded());

    // A label that is no element name takes the error path; the next good one loads again.
    for (const char *bad : {"", "SLBL 0351", "0351", "a/b"}) {
        EXPECT_EQ(texts.GetText(QString::fromUtf8(bad)), QString()) << bad;
        EXPECT_FALSE(texts.TextLoaded());
    }
    EXPECT_EQ(texts.GetText("SLBL0351"), QStringLiteral("File Name"));

    // A changed file shows at the next look-up: the same size, so only identity or time can
    // tell the change. A failed load afterwards does not reset TextLoaded.
    for (const char *text : {"one", "two"}) {
        QFile::remove(app.path() + "/I18nText.xml");
        app.writeFile("I18nText.xml", QByteArray("<I18NTEXT><SLBL0001>") + text + "</SLBL0001></I18NTEXT>");
        EXPECT_EQ(texts.GetText("SLBL0001"), QString::fromUtf8(text));
    }
    QFile::remove(app.path() + "/I18nText.xml");
    EXPECT_EQ(texts.GetText("SLBL0001"), QStringLiteral("SLBL0001"));
    EXPECT_TRUE(texts.TextLoaded());
}

namespace {

std::optional<QHash<QString, QString>> ParsedFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? LocalisedText::Parse(file) : std::nullopt;
}

// The placeholders of a text and whether it has an Alt letter ("&" not doubled).
std::pair<QSet<QString>, bool> Marks(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    QSet<QString> found;
    for (const QRegularExpressionMatch &m : placeholder.globalMatch(text))
        found.insert(m.captured());
    return {found, QString(text).remove(QStringLiteral("&&")).contains(u'&')};
}

} // namespace

TEST(LocalisedText, EveryLabelTheProgramUsesIsBuiltIn)
{
    // The labels are those the sources name, so a label added to the code and not to the
    // file fails here without a list to keep by hand.
    static const QRegularExpression label(QStringLiteral("\"(SLBL\\d{4}|CS_[A-Z0-9_]+)\""));
    QSet<QString> used;
    QDirIterator sources(QStringLiteral(CS_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                         QDirIterator::Subdirectories);
    while (sources.hasNext()) {
        QFile file(sources.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QRegularExpressionMatch &m : label.globalMatch(QString::fromUtf8(file.readAll())))
            used.insert(m.captured(1));
    }
    EXPECT_GT(used.size(), 150);
    const std::optional<QHash<QString, QString>> english = ParsedFile(QStringLiteral(CS_SOURCE_DIR "/resources/I18nText.xml"));
    ASSERT_TRUE(english);
    EXPECT_EQ(LocalisedText::BuiltIn(), *english);
    for (const QString &id : used)
        EXPECT_FALSE(english->value(id).isEmpty()) << qPrintable(id);
}

// Every shipped translation holds exactly the English labels, each with the same placeholders
// and an Alt letter where the English text has one.
TEST(LocalisedText, TranslationsMatchTheEnglishLabels)
{
    const auto english = ParsedFile(QStringLiteral(CS_SOURCE_DIR "/resources/I18nText.xml"));
    ASSERT_TRUE(english);
    for (const char *language : {"de"}) {
        const auto translated = ParsedFile(QStringLiteral(CS_SOURCE_DIR "/resources/I18nText.%1.xml").arg(QLatin1String(language)));
        ASSERT_TRUE(translated) << language;
        const QList<QString> englishLabels = english->keys(), translatedLabels = translated->keys();
        EXPECT_EQ(QSet<QString>(englishLabels.begin(), englishLabels.end()),
                  QSet<QString>(translatedLabels.begin(), translatedLabels.end())) << language;
        for (auto it = english->cbegin(); it != english->cend(); ++it) {
            const QString text = translated->value(it.key());
            EXPECT_FALSE(text.isEmpty()) << language << ' ' << qPrintable(it.key());
            EXPECT_EQ(Marks(text), Marks(it.value())) << language << ' ' << qPrintable(it.key()) << ": " << qPrintable(text);
        }
    }
}

// What a lower layer words is told in English by the shell and in the texts file's language by
// a window, an argument that is itself worded included; arguments are filled in one pass and
// a text that is no label stays as it is.
TEST(LocalisedText, LowerLayersWordingsAreToldInTheLanguageOfWhoShowsThem)
{
    TestAppDir app(false);
    QFile german(QStringLiteral(CS_SOURCE_DIR "/resources/I18nText.de.xml"));
    ASSERT_TRUE(german.open(QIODevice::ReadOnly));
    app.writeFile("I18nText.xml", german.readAll());
    ASSERT_EQ(::mkfifo(QFile::encodeName(app.path() + "/pipe.tsy").constData(), 0600), 0);
    const ConfigList::ListedFile fifo = ConfigList::ReadFile(app.path(), QStringLiteral("pipe.tsy"));
    EXPECT_EQ(fifo.unreadable, QStringLiteral("a FIFO (named pipe), not a regular file"));
    EXPECT_EQ(app.session().Text(fifo.why), QStringLiteral("ein FIFO (benannte Pipe), keine reguläre Datei"));
    EXPECT_EQ(Wording("CS_RENAME_TAKEN", {QStringLiteral("%2"), QStringLiteral("b")}).English(),
              QStringLiteral("Cannot rename %2 to b: b already exists"));
    EXPECT_EQ(app.session().Text(Wording(QStringLiteral("%1 from the system"))), QStringLiteral("%1 from the system"));
}
