#pragma once

// What every fuzz target shares: a failed property stops the run like a crash, with the
// input kept by libFuzzer; scratch files live in memory where the system offers it.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, \
                         __LINE__);                                                      \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

namespace Fuzz {

inline QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The input cut into fields at the record separator byte 0x1E; missing fields are empty.
inline QList<QByteArray> Fields(const QByteArray &input, int count)
{
    QList<QByteArray> fields = input.split('\x1e');
    while (fields.size() < count)
        fields.append(QByteArray());
    return fields;
}

// One folder for the whole run, removed at exit.
inline QString ScratchDir()
{
    static char pattern[64];
    static const QString dir = [] {
        const bool shm = QDir(QStringLiteral("/dev/shm")).isReadable();
        std::snprintf(pattern, sizeof pattern, "%s/cs-fuzz-XXXXXX", shm ? "/dev/shm" : "/tmp");
        if (!::mkdtemp(pattern))
            std::abort();
        std::atexit([] { QDir(QString::fromLocal8Bit(pattern)).removeRecursively(); });
        return QString::fromLocal8Bit(pattern);
    }();
    return dir;
}

inline QString WriteScratch(const QString &name, const QByteArray &bytes)
{
    const QString path = ScratchDir() + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    return path;
}

} // namespace Fuzz
