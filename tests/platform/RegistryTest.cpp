#include "platform/Registry.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Registry;

namespace {

const QString kTessaly = QStringLiteral("SOFTWARE\\Norwen Global\\Norwen Tessaly");

class RegistryTest : public ::testing::Test
{
public:
    // As the registry editor writes it: UTF-16 little endian with a byte order mark.
    void writeReg(const QString &text)
    {
        QByteArray bytes = "\xff\xfe";
        for (QChar c : text)
            bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        writeBytes(bytes);
    }

    void writeBytes(const QByteArray &bytes)
    {
        QFile f(FilePath(m_dir.path()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    long open(Key &k, const QString &key, quint32 access = KEY_READ)
    {
        return k.Open(dir(), HKEY_LOCAL_MACHINE, key, access);
    }

    // The value as the ANSI query returns it, or the error code as its type.
    Value query(const QString &key, const QString &name)
    {
        Key k;
        if (const long opened = open(k, key); opened != ERROR_SUCCESS)
            return {quint32(0x10000 + opened), "open failed"};
        char buffer[2048];
        quint32 size = sizeof buffer, type = 0;
        if (const long rc = k.QueryValue(name, &type, buffer, &size); rc != ERROR_SUCCESS)
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
    const char *T = "SOFTWARE\\Norwen Global\\Norwen Tessaly";
    struct Case { const char *key, *name; quint32 type; QByteArray data; } cases[] = {
        {"software\\norwen global\\NORWEN TESSALY\\", "SOLUTION", REG_SZ, QByteArray("2.3", 4)},
        {T, "", REG_SZ, QByteArray("default text", 13)},
        {T, "Escaped", REG_SZ, QByteArray("C:\\Tools\\ \"x\"", 14)},
        {T, "Accents", REG_SZ, QByteArray("caf\xe9 \x80", 7)},
        {T, "Count", REG_DWORD, QByteArray("\x56\x34\x12\x00", 4)},
        {T, "Expand", REG_EXPAND_SZ, QByteArray("%A%\xe9", 5)},
        {T, "Multi", REG_MULTI_SZ, QByteArray("a\0b\0", 5)},
        {T, "Blob", REG_BINARY, QByteArray("\x01\x02\x03\xff", 4)},
        {T, "Odd", 0xb, QByteArray("\x01\0\0\0\0\0\0\0", 8)},
        {T, "AfterComment", REG_SZ, QByteArray("kept", 5)},
        {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", REG_SZ, QByteArray("/opt/sysinfo", 13)},
        {T, "BadDword", 0x20000 + ERROR_FILE_NOT_FOUND, "query failed"},
        {T, "BadHex", 0x20000 + ERROR_FILE_NOT_FOUND, "query failed"},
        {T, "Removed", 0x20000 + ERROR_FILE_NOT_FOUND, "query failed"},
        // A key that only leads to listed keys opens; it has no values.
        {"SOFTWARE\\Norwen Global", "Solution", 0x20000 + ERROR_FILE_NOT_FOUND, "query failed"},
        {"SOFTWARE\\Norwen Global\\Norwen", "Solution", 0x10000 + ERROR_FILE_NOT_FOUND, "open failed"},
        {"SOFTWARE\\Gone", "v", 0x10000 + ERROR_FILE_NOT_FOUND, "open failed"},
        {"SOFTWARE\\Gone\\Child", "", 0x10000 + ERROR_FILE_NOT_FOUND, "open failed"},
    };
    for (const Case &c : cases) {
        const Value v = query(QString::fromUtf8(c.key), QString::fromUtf8(c.name));
        EXPECT_EQ(v.type, c.type) << c.key << " / " << c.name;
        EXPECT_EQ(v.data, c.data) << c.key << " / " << c.name;
    }
    EXPECT_EQ(ReadRegistryValue(dir()), QStringLiteral("2.3"));
}

TEST_F(RegistryTest, OtherEncodingsTheOlderHeaderAndFilesThatAreNotExports)
{
    const Value notFound{0x10000 + ERROR_FILE_NOT_FOUND, "open failed"};
    struct Case { const char *what; QByteArray bytes; Value s; } cases[] = {
        {"version 5 in UTF-8",
         "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"S\"=\"\xc3\xa9\"\n\"E\"=hex(2):41,00,00,00\n",
         {REG_SZ, QByteArray("\xe9\0", 2)}},
        {"REGEDIT4 in ANSI, text bytes as they stand",
         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"\xe9\"\r\n\"E\"=hex(2):41,00\r\n",
         {REG_SZ, QByteArray("\xe9\0", 2)}},
        {"empty", "", notFound},
        {"no header", "[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"x\"\r\n", notFound},
        {"unknown header", "REGEDIT5\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"x\"\r\n", notFound},
        {"broken UTF-16", QByteArray("\xff\xfe\x00\xd8garbage", 11), notFound},
        {"binary", QByteArray(4096, '\xff'), notFound},
        // Larger than an export of a few values can be: refused without being read whole.
        {"over 1 MiB", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"x\"\r\n" + QByteArray(1 << 20, ';'), notFound},
    };
    EXPECT_EQ(ReadRegistryValue(dir()), QString()); // no file at all
    for (const Case &c : cases) {
        writeBytes(c.bytes);
        const Value v = query(QStringLiteral("K"), QStringLiteral("S"));
        EXPECT_EQ(v.type, c.s.type) << c.what;
        EXPECT_EQ(v.data, c.s.data) << c.what;
        if (c.s.type == REG_SZ) {
            EXPECT_EQ(query(QStringLiteral("K"), QStringLiteral("E")).data, QByteArray("A\0", 2)) << c.what;
        }
        // Only the refused file has a message, and it names the file.
        EXPECT_EQ(WhyFileRefused(dir()).contains(FilePath(dir())), c.bytes.size() > (1 << 20)) << c.what;
    }
}

// A package installs the registry file read-only: every access still reads it, also the
// full access through which System Info finds its tool. The permission bits are what is
// looked at, so the cases hold for root too. The open key follows the ANSI functions' rules.
TEST_F(RegistryTest, ReadOnlyFileOpensForEveryAccessAndTheKeyFollowsTheBufferRules)
{
    constexpr quint32 KEY_WRITE = 0x20006;
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto writable = readOnly | QFile::WriteOwner;
    struct Case { const char *what; QFile::Permissions mode; quint32 access; } cases[] = {
        {"writable, read access", writable, KEY_READ},
        {"writable, full access", writable, KEY_ALL_ACCESS},
        {"read-only, read access", readOnly, KEY_READ},
        {"read-only, full access", readOnly, KEY_ALL_ACCESS},
        {"read-only, write access", readOnly, KEY_WRITE},
    };
    const QByteArray bytes = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"S\"=\"abcd\"\r\n";
    for (const Case &c : cases) {
        QFile::remove(FilePath(dir()));
        writeBytes(bytes);
        ASSERT_TRUE(QFile::setPermissions(FilePath(dir()), c.mode)) << c.what;
        Key k;
        EXPECT_EQ(open(k, QStringLiteral("K"), c.access), ERROR_SUCCESS) << c.what;
        QString val;
        EXPECT_TRUE(GetKeyValue(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("K"), QStringLiteral("S"), val).value_or(false))
            << c.what;
        EXPECT_EQ(val, QStringLiteral("abcd")) << c.what;

        char buffer[8] = {};
        quint32 type = 0, size = 4;
        EXPECT_EQ(k.QueryValue(QStringLiteral("S"), &type, buffer, &size), ERROR_MORE_DATA);
        EXPECT_EQ(size, 5u);
        EXPECT_EQ(k.QueryValue(QStringLiteral("S"), &type, buffer, &size), ERROR_SUCCESS);
        EXPECT_EQ(QByteArray(buffer, 5), QByteArray("abcd", 5));
        size = 0;
        EXPECT_EQ(k.QueryValue(QStringLiteral("S"), &type, nullptr, &size), ERROR_SUCCESS); // size only
        EXPECT_EQ(size, 5u);
        EXPECT_EQ(k.Close(), ERROR_SUCCESS);
        EXPECT_EQ(k.QueryValue(QStringLiteral("S"), &type, buffer, &size), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(Key().Open(dir(), 0x12345, QStringLiteral("K"), KEY_READ), ERROR_INVALID_HANDLE);
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
        {R"("Solution"=hex:32,2e,33,00)", "", 1, "as passed"},
        {R"("solution"="")", "", 1, ""},
        {R"("Other"="2.3")", "", 0, ""},
    };
    for (const Case &c : cases) {
        writeReg(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\%1]\r\n%2\r\n")
                     .arg(kTessaly, QLatin1String(c.line)));
        EXPECT_EQ(ReadRegistryValue(dir()), QString::fromUtf8(c.solution)) << c.line;
        QString val = QStringLiteral("as passed");
        const Result<bool> read = GetKeyValue(dir(), HKEY_LOCAL_MACHINE, kTessaly, QStringLiteral("Solution"), val);
        EXPECT_EQ(read ? int(read.value()) : Raised, c.read) << c.line;
        EXPECT_EQ(val, QString::fromUtf8(c.keyVal)) << c.line;
    }
    // Longer than the 1024-byte buffer: the query fails.
    writeBytes(QStringLiteral("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\%1]\r\n\"Solution\"=\"%2\"\r\n")
                   .arg(kTessaly, QString(1024, u'9')).toLatin1());
    EXPECT_EQ(ReadRegistryValue(dir()), QString());

    // The demo's registry file names a version and a tool.
    QFile demo(QStringLiteral(CS_SOURCE_DIR "/resources/demo/registry.reg"));
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    writeBytes(demo.readAll().replace("@APPDIR@", "/opt/demo"));
    EXPECT_EQ(ReadRegistryValue(dir()), QStringLiteral("6.2.1"));
    QString path;
    EXPECT_TRUE(GetKeyValue(dir(), HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                            QStringLiteral("PATH"), path)
                    .value_or(false));
    EXPECT_EQ(path, QStringLiteral("/opt/demo/sysinfo.sh"));
}

} // namespace
