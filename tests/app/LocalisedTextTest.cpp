#include "app/LocalisedText.h"
#include "support/TestAppDir.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

// Only a direct child of the root is looked up, by a valid label; anything else, and a file
// missing, broken or hostile, gives the identifier. A changed file shows at the next look-up.
TEST(LocalisedText, LooksUpTheRootsChildrenAndOtherwiseGivesTheIdentifier)
{
    TestAppDir app(false);
    LocalisedText texts(app.path());
    // No file yet, then one broken or hostile.
    EXPECT_EQ(texts.GetText("SLBL0356"), QStringLiteral("SLBL0356"));
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
        EXPECT_EQ(texts.GetText("SLBL0356"), QStringLiteral("SLBL0356")) << what;
        EXPECT_FALSE(texts.TextLoaded()) << what;
    }

    app.writeFile("I18nText.xml", "<?xml version=\"1.0\"?><I18NTEXT><SLBL0351>File Name</SLBL0351>"
                                  "<SLBL0351>second</SLBL0351><G><SLBL0353>nested</SLBL0353></G>"
                                  "<SLBL0354>  <b>Log</b>\n  <i>Dir</i> x <![CDATA[ <c> ]]></SLBL0354>"
                                  "<SLBL0355>a &amp; b<!-- no --><?pi no?></SLBL0355></I18NTEXT>");
    for (const auto &[label, text] : {std::pair{"SLBL0351", "File Name"}, // first of two same-named children
                                      {"SLBL0352", "SLBL0352"},          // missing: the identifier
                                      {"SLBL0353", "SLBL0353"},          // one level deeper is not found
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

TEST(LocalisedText, DefaultFileHasEveryLabelTheProgramUses)
{
    TestAppDir app;
    LocalisedText texts(app.path());
    // The labels are those the sources name, so a label added to the code and not to the
    // file fails here without a list to keep by hand.
    static const QRegularExpression label(QStringLiteral("\"(SLBL\\d{4})\""));
    QSet<QString> used;
    QDirIterator sources(QStringLiteral(CS_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                         QDirIterator::Subdirectories);
    while (sources.hasNext()) {
        QFile file(sources.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QRegularExpressionMatch &m : label.globalMatch(QString::fromUtf8(file.readAll())))
            used.insert(m.captured(1));
    }
    EXPECT_GT(used.size(), 50);
    for (const QString &id : used) {
        const QString text = texts.GetText(id);
        EXPECT_NE(text, id);
        EXPECT_FALSE(text.isEmpty()) << qPrintable(id);
    }
}
