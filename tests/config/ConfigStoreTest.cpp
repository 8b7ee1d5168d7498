#include "config/ConfigStore.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

TEST(ConfigStore, ConfigFileNamesAndTheJoin)
{
    for (const auto &[name, is] : {std::pair{"abc.tsy", true}, {" abc.tsy ", true}, {"abc.TSY", false}, {"   ", false},
                                   {"abc.tsy.bak", false}})
        EXPECT_EQ(ConfigStore::IsConfigFileName(name), is) << name;
    for (const auto &[in, out] : {std::pair{"abc", "abc.tsy"}, {"abc.tsy", "abc.tsy"}, {"abc.TSY", "abc.TSY.tsy"},
                                  {"abc ", "abc .tsy"}})
        EXPECT_EQ(ConfigStore::AddConfigExtension(in), out);

    // A join is byte for byte, over an existing output. (FaultInjection: a missing input
    // writes nothing.)
    TestDir app;
    app.writeFile("lib/f.tsy", "SatelliteAppln=4009\r\ndsn=F\r\npassword=\xA7\x81\r\n");
    app.writeFile("lib/r.tsy", "SatelliteAppln=1028\r\ndsn=R\r\nuser=u\r\n");
    app.writeFile("lib/out.tsy", "old content that must go");
    ASSERT_TRUE(ConfigStore::JoinConfigFiles(app.path(), "f.tsy", "r.tsy", "out.tsy"));
    EXPECT_EQ(app.readFile("lib/out.tsy"), QByteArray("[FMK]\r\nSatelliteAppln=4009\r\ndsn=F\r\npassword=\xA7\x81\r\n"
                                                      "\r\n[RST]\r\nSatelliteAppln=1028\r\ndsn=R\r\nuser=u\r\n"));
    const Result<void> joined = ConfigStore::JoinConfigFiles(app.path(), "f.tsy", "missing.tsy", "new.tsy");
    EXPECT_EQ(joined.error().number, ErrorNumber::FileNotFound);
}

// A file is replaced only while it still holds what the caller loaded; a change, a deletion,
// or a file that appeared where none was loaded leaves the disk as it is and reports what is
// there now.
TEST(ConfigStore, ReplacesOnlyTheVersionLoaded)
{
    const FileIo::FileVersion absent;
    const FileIo::FileVersion loaded{true, "mine before", {}, {}};
    // on disk before the save ("" none); what the disk holds after it.
    const struct { const char *what; FileIo::FileVersion expected; const char *before; bool replaced; } cases[] = {
        {"unchanged", loaded, "mine before", true},
        {"changed by another", loaded, "theirs", false},
        {"deleted meanwhile", loaded, nullptr, false},
        {"new, name still free", absent, nullptr, true},
        {"new, name taken meanwhile", absent, "theirs", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestDir app;
        if (c.before)
            app.writeFile("lib/x.tsy", c.before);
        const auto done = ConfigStore::ReplaceIfUnchanged(app.lib("x.tsy"), c.expected, "mine after");
        ASSERT_TRUE(done) << done.error().description.toStdString();
        EXPECT_EQ(done.value().replaced, c.replaced);
        const FileIo::FileVersion now = FileIo::ReadVersion(app.lib("x.tsy")).value();
        EXPECT_TRUE(FileIo::SameVersion(done.value().now, now));
        EXPECT_EQ(now.bytes, c.replaced ? QByteArray("mine after") : QByteArray(c.before));
        EXPECT_EQ(done.value().now.owner.isEmpty(), !now.exists || c.replaced);
    }
}
