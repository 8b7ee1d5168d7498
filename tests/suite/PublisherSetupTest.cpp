#include "suite/PublisherSetup.h"

#include "config/PasswordScramble.h"
#include "platform/Ansi.h"
#include "suite/JointFile.h"
#include "support/TestAppDir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// A joint file is read key by key through the INI functions, which trim and unquote: a
// picked configuration is joined only when every value reads back exactly as it stands.
TEST(PublisherSetup, AJointFileIsWrittenOnlyWhenEveryValueReadsBackUnchanged)
{
    struct Case { const char *key; QString value; bool refused; };
    const Case cases[] = {
        {"password", ScramblePassword(QStringLiteral("®pw")), true},  // scrambled to a leading tab
        {"password", ScramblePassword(QStringLiteral("€pw€")), true}, // scrambled to '…'
        {"password", ScramblePassword(QString(300, u'a')), true},
        {"dsn", QStringLiteral("\"quoted\""), true},
        {"user", QStringLiteral("u\x0b"), true},
        {"password", ScramblePassword(QStringLiteral("p;w{x}€")), false},
        {"dbmachinename", QStringLiteral("a\"b'c"), false},
        {"lhbuscomponent", QString(254, u'c'), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        TestAppDir app;
        app.writeFile(QStringLiteral("lib/F.tsy"), Ansi::Encode(QStringLiteral("SatelliteAppln=4009\r\nsavepass=1\r\n%1=%2\r\n")
                                                                     .arg(QLatin1String(c.key), c.value)));
        app.writeConfig(QStringLiteral("R.tsy"), {"SatelliteAppln=1028"});
        app.session().MnSFieldmarkConfig = QStringLiteral("F.tsy");
        app.session().MnSRostrumConfig = QStringLiteral("R.tsy");
        const bool passed = PublisherSetup::CheckPickedConfigsReadBack(app.session())
                            && PublisherSetup::WriteJointFile(app.session(), QStringLiteral("J.tsy"));
        ASSERT_EQ(passed, !c.refused) << app.shownTexts().join(u'\n').toStdString();
        if (c.refused) {
            ASSERT_EQ(app.shownTexts().size(), 1);
            EXPECT_TRUE(app.shownTexts()[0].startsWith(QStringLiteral("The value of \"%1\" in \"F.tsy\"").arg(c.key)))
                << app.shownTexts()[0].toStdString();
            EXPECT_EQ(QDir(app.lib()).entryList(QDir::Files), QStringList({"F.tsy", "R.tsy"}));
        } else {
            EXPECT_EQ(JointFile::GetAttributeValueFromTSY(app.lib(QStringLiteral("J.tsy")), JointFile::FieldmarkSection,
                                                          QLatin1String(c.key)),
                      c.value);
            EXPECT_TRUE(app.session().MnSFieldmarkConfig.isEmpty() && app.session().MnSRostrumConfig.isEmpty());
        }
    }
}

} // namespace
