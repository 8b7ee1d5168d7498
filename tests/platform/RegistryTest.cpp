#include "platform/Registry.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Registry;

namespace {

enum class Encoding { Utf16Bom, Utf8, Ansi };

class RegistryTest : public ::testing::Test
{
public:
    void writeReg(const QString &text, Encoding encoding = Encoding::Utf16Bom)
    {
        QByteArray bytes;
        switch (encoding) {
        case Encoding::Utf16Bom:
            bytes = "\xff\xfe";
            for (QChar c : text) {
                bytes.append(char(c.unicode() & 0xFF));
                bytes.append(char(c.unicode() >> 8));
            }
            break;
        case Encoding::Utf8: bytes = text.toUtf8(); break;
        case Encoding::Ansi: bytes = text.toLatin1(); break;
        }
        writeBytes(bytes);
    }

    void writeBytes(const QByteArray &bytes)
    {
        QFile f(FilePath(m_dir.path()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // The value as the ANSI query returns it, or the error code as its type.
    Value query(const QString &key, const QString &name, quint32 access = KEY_READ)
    {
        Key k;
        const long opened = k.Open(m_dir.path(), HKEY_LOCAL_MACHINE, key, access);
        if (opened != ERROR_SUCCESS)
            return {quint32(0x10000 + opened), "open failed"};
        char buffer[2048];
        quint32 size = sizeof buffer;
        quint32 type = 0;
        const long rc = k.QueryValue(name, &type, buffer, &size);
        if (rc != ERROR_SUCCESS)
            return {quint32(0x20000 + rc), "query failed"};
        return {type, QByteArray(buffer, size)};
    }

    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

const QString kExport = QString::fromUtf8(
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norwen Global\\Norwen Tessaly]\r\n"
    "\"Solution\"=\"2.3\"\r\n"
    "@=\"default text\"\r\n"
    "\"Escaped\"=\"C:\\\\Tools\\\\ \\\"x\\\"\"\r\n"
    "\"Accents\"=\"caf\xc3\xa9 \xe2\x82\xac\"\r\n"
    "\"Count\"=dword:00123456\r\n"
    "\"Expand\"=hex(2):25,00,41,00,25,00,e9,00,00,00\r\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
    "\"Blob\"=hex:01,02,\\\r\n"
    "  03,ff\r\n"
    "\"Odd\"=hex(b):01,00,00,00,00,00,00,00\r\n"
    "\"BadDword\"=dword:123456789\r\n"
    "\"BadHex\"=hex:1g\r\n"
    "\"Removed\"=\"x\"\r\n"
    "\"Removed\"=-\r\n"
    "; a comment line \\\r\n"
    "\"AfterComment\"=\"kept\"\r\n"
    "\r\n"
    "[hkey_local_machine\\software\\microsoft\\SHARED TOOLS\\MSInfo]\r\n"
    "\"Path\"=\"/opt/sysinfo\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone]\r\n"
    "\"v\"=\"1\"\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone\\Child]\r\n"
    "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone]\r\n");

TEST_F(RegistryTest, VersionFiveExportValuesAsTheAnsiQueryGivesThem)
{
    writeReg(kExport);
    struct Case
    {
        const char *key, *name;
        quint32 type;
        QByteArray data;
    } cases[] = {
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "Solution", REG_SZ, QByteArray("2.3", 4)},
        {"software\\norwen global\\NORWEN TESSALY\\", "SOLUTION", REG_SZ, QByteArray("2.3", 4)},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "", REG_SZ, QByteArray("default text", 13)},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "Escaped", REG_SZ, QByteArray("C:\\Tools\\ \"x\"", 14)},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "Accents", REG_SZ, QByteArray("caf\xe9 \x80", 7)},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "Count", REG_DWORD, QByteArray("\x56\x34\x12\x00", 4)},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "Expand", REG_EXPAND_SZ, QByteArray("%A%\xe9", 5)},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "Multi", REG_MULTI_SZ, QByteArray("a\0b\0", 5)},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "Blob", REG_BINARY, QByteArray("\x01\x02\x03\xff", 4)},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "Odd", 0xb, QByteArray("\x01\0\0\0\0\0\0\0", 8)},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "AfterComment", REG_SZ, QByteArray("kept", 5)},
        {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", REG_SZ, QByteArray("/opt/sysinfo", 13)},
        // Not there: open or query fails.
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "BadDword", 0x20000 + ERROR_FILE_NOT_FOUND, "query failed"},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "BadHex", 0x20000 + ERROR_FILE_NOT_FOUND, "query failed"},
        {"SOFTWARE\\Norwen Global\\Norwen Tessaly", "Removed", 0x20000 + ERROR_FILE_NOT_FOUND, "query failed"},
        {"SOFTWARE\\Norwen Global\\Norwen", "Solution", 0x10000 + ERROR_FILE_NOT_FOUND, "open failed"},
        {"SOFTWARE\\Gone", "v", 0x10000 + ERROR_FILE_NOT_FOUND, "open failed"},
        {"SOFTWARE\\Gone\\Child", "", 0x10000 + ERROR_FILE_NOT_FOUND, "open failed"},
    };
    for (const Case &c : cases) {
        const Value v = query(QString::fromUtf8(c.key), QString::fromUtf8(c.name));
        EXPECT_EQ(v.type, c.type) << c.key << " / " << c.name;
        EXPECT_EQ(v.data, c.data) << c.key << " / " << c.name;
    }
    // A key that only leads to listed keys opens; it has no values.
    EXPECT_EQ(query(QStringLiteral("SOFTWARE\\Norwen Global"), QStringLiteral("Solution")).type,
              0x20000u + ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadRegistryValue(dir()), QStringLiteral("2.3"));
}

TEST_F(RegistryTest, OtherEncodingsAndTheOlderHeader)
{
    struct Case
    {
        const char *what;
        QString text;
        Encoding encoding;
        QByteArray expand;
    } cases[] = {
        {"version 5 in UTF-8",
         QString::fromUtf8("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"S\"=\"\xc3\xa9\"\n"
                           "\"E\"=hex(2):41,00,00,00\n"),
         Encoding::Utf8, QByteArray("A\0", 2)},
        {"REGEDIT4 in ANSI, text bytes as they stand",
         QString::fromLatin1("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"\xe9\"\r\n\"E\"=hex(2):41,00\r\n"),
         Encoding::Ansi, QByteArray("A\0", 2)},
    };
    for (const Case &c : cases) {
        writeReg(c.text, c.encoding);
        EXPECT_EQ(query(QStringLiteral("K"), QStringLiteral("S")).data, QByteArray("\xe9\0", 2)) << c.what;
        EXPECT_EQ(query(QStringLiteral("K"), QStringLiteral("E")).data, c.expand) << c.what;
    }
}

TEST_F(RegistryTest, MissingOrMalformedFileHasNoValues)
{
    const QByteArray files[] = {
        QByteArray(),
        QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norwen Global\\Norwen Tessaly]\r\n\"Solution\"=\"2.3\"\r\n"),
        QByteArray("REGEDIT5\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norwen Global\\Norwen Tessaly]\r\n\"Solution\"=\"2.3\"\r\n"),
        QByteArray("\xff\xfe\x00\xd8garbage", 11),
        QByteArray(4096, '\xff'),
    };
    EXPECT_EQ(ReadRegistryValue(dir()), QString()); // no file at all
    for (const QByteArray &bytes : files) {
        writeBytes(bytes);
        EXPECT_EQ(ReadRegistryValue(dir()), QString()) << bytes.left(40).toStdString();
        Key k;
        EXPECT_EQ(k.Open(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE"), KEY_READ), ERROR_FILE_NOT_FOUND);
    }
}

TEST_F(RegistryTest, QueryFollowsTheBufferRules)
{
    writeReg(QStringLiteral("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"abcd\"\r\n"), Encoding::Ansi);
    Key k;
    ASSERT_EQ(k.Open(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("K"), KEY_READ), ERROR_SUCCESS);
    char buffer[8] = {};
    quint32 type = 0;
    quint32 size = 4;
    EXPECT_EQ(k.QueryValue(QStringLiteral("S"), &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    size = 5;
    EXPECT_EQ(k.QueryValue(QStringLiteral("S"), &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(QByteArray(buffer, 5), QByteArray("abcd", 5));
    size = 0;
    EXPECT_EQ(k.QueryValue(QStringLiteral("S"), &type, nullptr, &size), ERROR_SUCCESS); // size only
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(k.Close(), ERROR_SUCCESS);
    EXPECT_EQ(k.QueryValue(QStringLiteral("S"), &type, buffer, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(k.Open(dir(), 0x12345, QStringLiteral("K"), KEY_READ), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, FullAccessNeedsAFileTheUserMayWrite)
{
    writeReg(QStringLiteral("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"x\"\r\n"), Encoding::Ansi);
    Key k;
    EXPECT_EQ(k.Open(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("K"), KEY_ALL_ACCESS), ERROR_SUCCESS);
    QFile::setPermissions(FilePath(dir()), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(k.Open(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("K"), KEY_ALL_ACCESS), ERROR_ACCESS_DENIED);
    EXPECT_EQ(k.Open(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("K"), KEY_READ), ERROR_SUCCESS);
    QString val = QStringLiteral("unchanged");
    EXPECT_FALSE(GetKeyValue(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("K"), QStringLiteral("S"), val));
    EXPECT_EQ(val, QString());
}

TEST_F(RegistryTest, SolutionVersionByType)
{
    struct Case
    {
        const char *line, *expected;
    } cases[] = {
        {"\"Solution\"=\"2.3\"", "2.3"},
        {"\"Solution\"=dword:00000017", ""},
        {"\"Solution\"=hex(2):32,00,2e,00,34,00,00,00", "2.4"}, // not expanded
        {"\"Solution\"=hex(1):41,00,42,00", "A"},               // size - 1 bytes, terminator or not
        {"\"Solution\"=hex(1):", ""},
        {"\"Solution\"=hex:32,2e,33,00", ""},
        {"\"solution\"=\"\"", ""},
        {"\"Other\"=\"2.3\"", ""},
    };
    for (const Case &c : cases) {
        writeReg(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norwen Global\\Norwen Tessaly]\r\n")
                 + QLatin1String(c.line) + QStringLiteral("\r\n"));
        EXPECT_EQ(ReadRegistryValue(dir()), QString::fromUtf8(c.expected)) << c.line;
    }
    // Longer than the 1024-byte buffer: the query fails.
    writeReg(QStringLiteral("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norwen Global\\Norwen Tessaly]\r\n"
                            "\"Solution\"=\"%1\"\r\n").arg(QString(1024, u'9')), Encoding::Ansi);
    EXPECT_EQ(ReadRegistryValue(dir()), QString());
}

TEST_F(RegistryTest, GetKeyValueByType)
{
    struct Case
    {
        const char *line;
        bool ok;
        const char *keyVal;
    } cases[] = {
        {"\"V\"=hex(4):56,34,12,00", true, "&h123456"},      // final zero byte dropped by the cut
        {"\"V\"=hex(4):00,00,34,12", true, "&h123400"},      // no leading zeros per byte
        {"\"V\"=dword:0000000a", true, "&h00A"},          // zero bytes inside keep one digit
        {"\"V\"=\"C:\\\\Tools\\\\msinfo32.exe\"", true, "C:\\Tools\\msinfo32.exe"},
        {"\"V\"=hex(1):61,00,62,00", true, "ab"},            // no terminator: all bytes kept
        {"\"V\"=hex(2):61,00,00,00", true, "as passed"},     // other types leave it alone
        {"\"V\"=hex:61", true, "as passed"},
        {"\"W\"=\"x\"", false, ""},
    };
    for (const Case &c : cases) {
        writeReg(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A\\B]\r\n")
                 + QLatin1String(c.line) + QStringLiteral("\r\n"));
        QString val = QStringLiteral("as passed");
        Vb::Error raised;
        EXPECT_EQ(GetKeyValue(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("A\\B"), QStringLiteral("V"), val, &raised),
                  c.ok)
            << c.line;
        EXPECT_EQ(val, QString::fromUtf8(c.keyVal)) << c.line;
        EXPECT_FALSE(raised.isError()) << c.line;
    }
    // A value of no bytes cannot be cut: the original stopped with a run-time error.
    writeReg(QStringLiteral("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"V\"=hex:\r\n"), Encoding::Ansi);
    QString val = QStringLiteral("kept");
    Vb::Error raised;
    EXPECT_FALSE(GetKeyValue(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("A"), QStringLiteral("V"), val, &raised));
    EXPECT_TRUE(raised.isError());
}

} // namespace

namespace {

TEST_F(RegistryTest, DemoRegistryFileNamesAVersionAndATool)
{
    QFile demo(QStringLiteral(CS_SOURCE_DIR "/resources/demo/registry.reg"));
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    writeBytes(demo.readAll().replace("@APPDIR@", "/opt/demo"));
    EXPECT_EQ(ReadRegistryValue(dir()), QStringLiteral("6.2.1"));
    QString path;
    EXPECT_TRUE(GetKeyValue(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                            QStringLiteral("PATH"), path));
    EXPECT_EQ(path, QStringLiteral("/opt/demo/sysinfo.sh"));
}

} // namespace
