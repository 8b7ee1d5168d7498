#include "platform/FileIo.h"

#include "platform/Ansi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileIo {
namespace {

// The original's file error numbers, so that messages read as users know them.
Vb::Error FileError(const QString &path, const QString &description)
{
    const QFileInfo info(path);
    if (!info.dir().exists())
        return {76, QStringLiteral("Path not found")};
    if (!info.exists())
        return {53, QStringLiteral("File not found")};
    return {75, description.isEmpty() ? QStringLiteral("Path/File access error") : description};
}

// Windows' read-only attribute is the owner's missing write permission; checked apart from
// access rights so that it holds for an administrator (root) too.
bool MayWrite(const QFileInfo &info)
{
    return info.isWritable() && (info.permissions() & QFileDevice::WriteOwner);
}

} // namespace

bool ReadBytes(const QString &path, QByteArray *bytes, Vb::Error *error)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = FileError(path, file.errorString());
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = {57, file.errorString()};
        return false;
    }
    return true;
}

bool ReadAnsiText(const QString &path, QString *text, Vb::Error *error)
{
    QByteArray bytes;
    if (!ReadBytes(path, &bytes, error))
        return false;
    *text = Ansi::Decode(bytes);
    return true;
}

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines.append(text.mid(start, i - start));
            if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool WriteFileAtomic(const QString &path, const QByteArray &bytes, Vb::Error *error)
{
    const QFileInfo info(path);
    if (!info.dir().exists()) {
        if (error)
            *error = {76, QStringLiteral("Path not found")};
        return false;
    }
    if (info.isDir() || (info.exists() && !MayWrite(info))) {
        if (error)
            *error = {70, QStringLiteral("Permission denied")};
        return false;
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = {75, file.errorString()};
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = {57, file.errorString()};
        return false;
    }
    return true;
}

bool DeleteFile(const QString &path, Vb::Error *error)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir()) {
        if (error)
            *error = {53, QStringLiteral("File not found")};
        return false;
    }
    if (!MayWrite(info)) {
        if (error)
            *error = {70, QStringLiteral("Permission denied")};
        return false;
    }
    QFile file(path);
    if (!file.remove()) {
        if (error)
            *error = {70, file.errorString()};
        return false;
    }
    return true;
}

bool PathExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool IsValidFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

} // namespace FileIo
