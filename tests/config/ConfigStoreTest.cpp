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
    EXPECT_EQ(joined.error().number, Vb::ErrorNumber::FileNotFound);
}
