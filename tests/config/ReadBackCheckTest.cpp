#include "config/ReadBackCheck.h"

#include <gtest/gtest.h>

// Each text as a file: what the check says of it (a part of it), nothing for a sound file.
TEST(ReadBackCheck, NamesWhatAReaderWouldReadOtherwise)
{
    const QByteArray joint = "[FMK]\r\nSatelliteAppln=4009\r\ndsn=F\r\npassword=\xC4\r\n\r\n[RST]\r\nSatelliteAppln=1028\r\n";
    const struct { const char *what; QByteArray text; const char *says; } cases[] = {
        {"ordinary", "SatelliteAppln=1028\r\n; comment\r\ndsn=D\r\ndsn =ignored by all\r\n", ""},
        {"a line without =", "dsn=D\r\nnoise\r\nuser=u\r\npassword=x\r\n", "line 2 has no \"=\": the editor stops reading there and would not keep the 2"},
        {"a password the servers cut", QByteArray("savepass=1\r\npassword=a\0b\r\n", 26), "password"},
        {"joint", joint, ""},
        {"joint, a tab before a value", joint + "dsn=\tR\r\n", "[RST] dsn:"},
        {"joint, quotes around the password", joint + "password=\"ab\"\r\n", "[RST] password:"},
        {"joint, a blank before =", joint + "user =u\r\n", "[RST] user:"},
        {"joint, a second line", "[FMK]\r\ndsn=A\r\ndsn=B\r\n", "[FMK] dsn:"},
        {"joint, too long", joint + "lhbuscomponent=" + QByteArray(255, 'b') + "\r\n", "[RST] lhbuscomponent:"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString why = ReadBackCheck::WhyChanged(QString::fromLatin1(c.text)).English();
        EXPECT_EQ(why.isEmpty(), !*c.says) << why.toStdString();
        EXPECT_TRUE(why.contains(QLatin1String(c.says))) << why.toStdString();
    }
}
