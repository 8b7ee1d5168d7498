#include "config/ConfigFileRename.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// A rename moves the file only onto a free name; a refusal names what is in the way and
// leaves both names as they were.
TEST(ConfigFileRename, MovesOntoAFreeNameOnly)
{
    TestDir dir;
    dir.writeConfig("a.tsy", {"dsn=a"});
    dir.writeConfig("taken.tsy", {"dsn=taken"});
    ASSERT_TRUE(QDir(dir.lib()).mkdir("folder.tsy"));
    struct Case { const char *from, *to; const char *refusal; };
    const Case cases[] = {
        {"a.tsy", "taken.tsy", "taken.tsy already exists"},
        {"a.tsy", "folder.tsy", "folder.tsy already exists"},
        {"gone.tsy", "new.tsy", "gone.tsy: it no longer exists"},
        {"a.tsy", "b.tsy", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.to);
        const Result<void> renamed = RenameConfigFile(dir.lib(), c.from, c.to);
        EXPECT_EQ(renamed.ok(), !c.refusal);
        if (c.refusal) {
            EXPECT_TRUE(renamed.error().description.endsWith(c.refusal)) << renamed.error().description.toStdString();
        }
    }
    EXPECT_EQ(QDir(dir.lib()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
              QStringList({"b.tsy", "folder.tsy", "taken.tsy"}));
    EXPECT_TRUE(dir.readFile("lib/taken.tsy").contains("dsn=taken"));
    EXPECT_TRUE(dir.readFile("lib/b.tsy").contains("dsn=a"));
}
