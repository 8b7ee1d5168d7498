#include "config/ConfigStore.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(ConfigStore, ConfigFileNames)
{
    EXPECT_TRUE(ConfigStore::IsConfigFileName(QStringLiteral("abc.tsy")));
    EXPECT_TRUE(ConfigStore::IsConfigFileName(QStringLiteral(" abc.tsy ")));
    EXPECT_FALSE(ConfigStore::IsConfigFileName(QStringLiteral("abc.TSY")));
    EXPECT_FALSE(ConfigStore::IsConfigFileName(QStringLiteral("   ")));
    EXPECT_FALSE(ConfigStore::IsConfigFileName(QStringLiteral("abc.tsy.bak")));

    struct Case { const char *in, *out; };
    for (const Case &c : {Case{"abc", "abc.tsy"}, Case{"abc.tsy", "abc.tsy"},
                          Case{"abc.TSY", "abc.TSY.tsy"}, Case{"abc ", "abc .tsy"}})
        EXPECT_EQ(ConfigStore::AddConfigExtension(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
}

TEST(ConfigStore, JoinIsByteForByteAndReplacesTheOutput)
{
    TestDir app;
    app.writeFile("lib/f.tsy", "SatelliteAppln=4009\r\ndsn=F\r\npassword=\xA7\x81\r\n");
    app.writeFile("lib/r.tsy", "SatelliteAppln=1028\r\ndsn=R\r\nuser=u\r\n");
    app.writeFile("lib/out.tsy", "old content that must go");
    Vb::Error e;
    ASSERT_TRUE(ConfigStore::JoinConfigFiles(app.path(), "f.tsy", "r.tsy", "out.tsy", &e));
    const QByteArray joined = app.readFile("lib/out.tsy");
    EXPECT_EQ(joined, QByteArray("[FMK]\r\nSatelliteAppln=4009\r\ndsn=F\r\npassword=\xA7\x81\r\n"
                                 "\r\n[RST]\r\nSatelliteAppln=1028\r\ndsn=R\r\nuser=u\r\n"));
    EXPECT_EQ(joined.count("\r\n"), 9);
}

TEST(ConfigStore, JoinWithAMissingInputWritesNothing)
{
    TestDir app;
    app.writeFile("lib/f.tsy", "dsn=F\r\n");
    Vb::Error e;
    EXPECT_FALSE(ConfigStore::JoinConfigFiles(app.path(), "f.tsy", "missing.tsy", "out.tsy", &e));
    EXPECT_EQ(e.number, 53);
    EXPECT_FALSE(QFile::exists(app.lib("out.tsy")));
}
