#include "platform/FileIo.h"
#include "platform/Registry.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Registry;
using namespace Qt::StringLiterals;

namespace {

const QString kTessaly = u"SOFTWARE\\Norwen Global\\Norwen Tessaly"_s;

class RegistryTest : public ::testing::Test
{
public:
    // As the registry editor writes it: UTF-16 little endian with a byte order mark.
    void writeReg(const QString &text)
    {
        writeBytes(QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom).encode(text));
    }

    void writeBytes(const QByteArray &bytes) { ASSERT_TRUE(FileIo::WriteFileAtomic(FilePath(dir()), bytes)); }

    // Expects the value as the ANSI query returns it, or the error code as its type.
    void expectValue(const QString &key, const QString &name, const Value &expected)
    {
        SCOPED_TRACE((key + u" / "_s + name).toStdString());
        Key k;
        char buffer[2048];
        quint32 type = 0, size = sizeof buffer;
        const long opened = k.Open(dir(), HKEY_LOCAL_MACHINE, key, KEY_READ);
        const long rc = opened == ERROR_SUCCESS ? k.QueryValue(name, &type, buffer, &size) : ERROR_SUCCESS;
        const Value v = opened != ERROR_SUCCESS ? Value{quint32(0x10000 + opened), "open failed"}
                        : rc != ERROR_SUCCESS   ? Value{quint32(0x20000 + rc), "query failed"}
                                                : Value{type, QByteArray(buffer, size)};
        EXPECT_EQ(v.type, expected.type);
        EXPECT_EQ(v.data, expected.data);
    }

    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

const Value kNoKey{0x10000 + ERROR_FILE_NOT_FOUND, "open failed"};
const Value kNoValue{0x20000 + ERROR_FILE_NOT_FOUND, "query failed"};

// Each row adds its lines to one version 5 export, then reads a value.
TEST_F(RegistryTest, VersionFiveExportValuesAsTheAnsiQueryGivesThem)
{
    const char *T = "SOFTWARE\\Norwen Global\\Norwen Tessaly";
    struct Case { const char *lines, *key, *name; Value value; } cases[] = {
        {R"([HKEY_LOCAL_MACHINE\SOFTWARE\Norwen Global\Norwen Tessaly])" "\n" R"("Solution"="2.3")",
         "software\\norwen global\\NORWEN TESSALY\\", "SOLUTION", {REG_SZ, QByteArray("2.3", 4)}},
        {R"(@="default text")", T, "", {REG_SZ, QByteArray("default text", 13)}},
        {R"("Escaped"="C:\\Tools\\ \"x\"")", T, "Escaped", {REG_SZ, QByteArray("C:\\Tools\\ \"x\"", 14)}},
        {"\"Accents\"=\"caf\xc3\xa9 \xe2\x82\xac\"", T, "Accents", {REG_SZ, QByteArray("caf\xe9 \x80", 7)}},
        {R"("Count"=dword:00123456)", T, "Count", {REG_DWORD, QByteArray("\x56\x34\x12\x00", 4)}},
        {R"("Expand"=hex(2):25,00,41,00,25,00,e9,00,00,00)", T, "Expand", {REG_EXPAND_SZ, QByteArray("%A%\xe9", 5)}},
        {R"("Multi"=hex(7):61,00,00,00,62,00,00,00,00,00)", T, "Multi", {REG_MULTI_SZ, QByteArray("a\0b\0", 5)}},
        {"\"Blob\"=hex:01,02,\\\n  03,ff", T, "Blob", {REG_BINARY, QByteArray("\x01\x02\x03\xff", 4)}},
        {R"("Odd"=hex(b):01,00,00,00,00,00,00,00)", T, "Odd", {0xb, QByteArray("\x01\0\0\0\0\0\0\0", 8)}}, // N in hex
        {R"("BadDword"=dword:123456789)", T, "BadDword", kNoValue},
        {R"("BadHex"=hex:1g)", T, "BadHex", kNoValue},
        {R"("Removed"="x")" "\n" R"("Removed"=-)", T, "Removed", kNoValue},
        {"; a comment line \\\n\"AfterComment\"=\"kept\"", T, "AfterComment", {REG_SZ, QByteArray("kept", 5)}},
        // A key that only leads to listed keys opens; it has no values.
        {"", "SOFTWARE\\Norwen Global", "Solution", kNoValue},
        {"", "SOFTWARE\\Norwen Global\\Norwen", "Solution", kNoKey},
        {"\n[hkey_local_machine\\software\\microsoft\\SHARED TOOLS\\MSInfo]\n\"Path\"=\"/opt/sysinfo\"",
         "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", {REG_SZ, QByteArray("/opt/sysinfo", 13)}},
        {"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone]\n\"v\"=\"1\"\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone\\Child]\n"
         "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone]",
         "SOFTWARE\\Gone", "v", kNoKey},
        {"", "SOFTWARE\\Gone\\Child", "", kNoKey},
    };
    QString text = u"Windows Registry Editor Version 5.00\r\n\r\n"_s;
    for (const Case &c : cases)
        text += QString::fromUtf8(c.lines).replace(u'\n', "\r\n"_L1) + "\r\n"_L1;
    writeReg(text);
    for (const Case &c : cases)
        expectValue(QString::fromUtf8(c.key), QString::fromUtf8(c.name), c.value);
}

TEST_F(RegistryTest, OtherEncodingsFilesThatAreNotExportsAndTheRulesOfAnOpenKey)
{
    struct Case { const char *what; QByteArray bytes; Value s; } cases[] = {
        {"version 5 in UTF-8",
         "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"S\"=\"\xc3\xa9\"\n\"E\"=hex(2):41,00,00,00\n",
         {REG_SZ, QByteArray("\xe9\0", 2)}},
        {"REGEDIT4 in ANSI, text bytes as they stand",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"\xe9\"\r\n\"E\"=hex(2):41,00\r\n",
         {REG_SZ, QByteArray("\xe9\0", 2)}},
        {"empty", "", kNoKey},
        {"unknown header", "REGEDIT5\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"x\"\r\n", kNoKey},
        {"broken UTF-16", QByteArray("\xff\xfe\x00\xd8garbage", 11), kNoKey},
        // Larger than an export of a few values can be: refused without being read whole.
        {"over 1 MiB", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"x\"\r\n" + QByteArray(1 << 20, ';'), kNoKey},
    };
    EXPECT_EQ(ReadRegistryValue(dir()), QString()); // no file at all
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(c.bytes);
        expectValue(u"K"_s, u"S"_s, c.s);
        if (c.s.type == REG_SZ)
            expectValue(u"K"_s, u"E"_s, {REG_EXPAND_SZ, QByteArray("A\0", 2)});
        // Only the refused file has a message, and it names the file.
        EXPECT_EQ(WhyFileRefused(dir()).English().contains(FilePath(dir())), c.bytes.size() > (1 << 20));
    }

    // A package installs the registry file read-only: every access still reads it, also the
    // full access through which System Info finds its tool. The permission bits are what is
    // looked at, so this holds for root too. The open key follows the ANSI functions' rules.
    writeBytes("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"abcd\"\r\n");
    ASSERT_TRUE(QFile::setPermissions(FilePath(dir()), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QString val; // read with full access
    EXPECT_TRUE(GetKeyValue(dir(), HKEY_LOCAL_MACHINE, u"K"_s, u"S"_s, val).value_or(false));
    EXPECT_EQ(val, u"abcd"_s);

    Key k;
    ASSERT_EQ(k.Open(dir(), HKEY_LOCAL_MACHINE, u"K"_s, KEY_READ), ERROR_SUCCESS);
    char buffer[8] = {};
    quint32 type = 0, size = 4;
    EXPECT_EQ(k.QueryValue(u"S"_s, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(k.QueryValue(u"S"_s, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(QByteArray(buffer, 5), QByteArray("abcd", 5));
    size = 0;
    EXPECT_EQ(k.QueryValue(u"S"_s, &type, nullptr, &size), ERROR_SUCCESS); // size only
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(k.Close(), ERROR_SUCCESS);
    EXPECT_EQ(k.QueryValue(u"S"_s, &type, buffer, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Key().Open(dir(), 0x12345, u"K"_s, KEY_READ), ERROR_INVALID_HANDLE);
}

// One value line read both ways: as the suite's version, and through GetKeyValue.
TEST_F(RegistryTest, SolutionVersionAndGetKeyValueByType)
{
    constexpr int Raised = -1;
    // read: 1 read, 0 not readable, Raised a run-time error.
    struct Case { const char *line, *solution; int read; const char *keyVal; } cases[] = {
        {R"("Solution"="C:\\Tools\\x.exe")", "C:\\Tools\\x.exe", 1, "C:\\Tools\\x.exe"},
        {R"("Solution"=dword:0000000a)", "", 1, "&h00A"}, // zero bytes inside keep one digit
        {R"("Solution"=hex(4):56,34,12,00)", "", 1, "&h123456"}, // final zero byte dropped by the cut
        {R"("Solution"=hex(4):00,00,34,12)", "", 1, "&h123400"}, // no leading zeros per byte
        {R"("Solution"=hex(2):32,00,2e,00,34,00,00,00)", "2.4", 1, "as passed"}, // not expanded
        // The version takes size - 1 bytes, terminator or not; GetKeyValue keeps a last non-zero byte.
        {R"("Solution"=hex(1):41,00,42,00)", "A", 1, "AB"},
        // A value of no bytes cannot be cut: a run-time error is raised.
        {R"("Solution"=hex(1):)", "", Raised, "as passed"},
        {R"("solution"="")", "", 1, ""},
        {R"("Other"="2.3")", "", 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        writeReg(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\%1]\r\n%2\r\n"_s.arg(
            kTessaly, QLatin1String(c.line)));
        EXPECT_EQ(ReadRegistryValue(dir()), QString::fromUtf8(c.solution));
        QString val = u"as passed"_s;
        const Result<bool> read = GetKeyValue(dir(), HKEY_LOCAL_MACHINE, kTessaly, u"Solution"_s, val);
        EXPECT_EQ(read ? int(read.value()) : Raised, c.read);
        EXPECT_EQ(val, QString::fromUtf8(c.keyVal));
    }
    // Longer than the 1024-byte buffer: the query fails.
    writeBytes(u"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\%1]\r\n\"Solution\"=\"%2\"\r\n"_s.arg(kTessaly, QString(1024, u'9')).toLatin1());
    EXPECT_EQ(ReadRegistryValue(dir()), QString());

    // The demo's registry file names a version and a tool.
    QFile demo(QStringLiteral(CS_SOURCE_DIR "/resources/demo/registry.reg"));
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    writeBytes(demo.readAll().replace("@APPDIR@", "/opt/demo"));
    EXPECT_EQ(ReadRegistryValue(dir()), u"6.2.1"_s);
    QString path;
    EXPECT_TRUE(GetKeyValue(dir(), HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"_s, u"PATH"_s, path)
                    .value_or(false));
    EXPECT_EQ(path, u"/opt/demo/sysinfo.sh"_s);
}

} // namespace
