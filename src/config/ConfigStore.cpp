#include "config/ConfigStore.h"

#include "config/Products.h"
#include "platform/FileIo.h"
#include "platform/FileLock.h"

#include <QFileInfo>

#include <algorithm>

namespace ConfigStore {

QString ConfigDirectory(const QString &appDir) { return appDir + QLatin1String("/lib"); }
QString DefaultLogDirectory(const QString &appDir) { return appDir + QLatin1String("/log"); }
QString ComponentsDirectory(const QString &appDir) { return appDir + QLatin1String("/OAComponents"); }

bool IsConfigFileName(const QString &name)
{
    const QString t = Vb::Trim(name);
    return !t.isEmpty() && t.endsWith(QLatin1String(".tsy"));
}

QString AddConfigExtension(const QString &name)
{
    return IsConfigFileName(name) ? name : name + QLatin1String(".tsy");
}

QString StoredConfigFileName(const QString &typed)
{
    QString name = typed;
    while (name.endsWith(u' ') || name.endsWith(u'.'))
        name.chop(1);
    name = AddConfigExtension(name);
    const QString base = name.chopped(4);
    const bool onlyBlanksAndDots =
        std::all_of(base.cbegin(), base.cend(), [](QChar c) { return c == u' ' || c == u'.'; });
    return onlyBlanksAndDots ? QString() : name;
}

Result<QByteArray> JoinedConfigBytes(const QString &appDir, const QString &fieldmarkName, const QString &rostrumName)
{
    const QString lib = ConfigDirectory(appDir) + u'/';
    const Result<QByteArray> fieldmark = FileIo::ReadBytes(lib + fieldmarkName, FileIo::kTextFileLimit);
    if (!fieldmark)
        return fieldmark.error();
    const Result<QByteArray> rostrum = FileIo::ReadBytes(lib + rostrumName, FileIo::kTextFileLimit);
    if (!rostrum)
        return rostrum.error();
    auto header = [](int slot) { return '[' + QByteArray(MergeSplitProduct(slot).jointSection) + "]\r\n"; };
    return header(0) + fieldmark.value() + QByteArrayLiteral("\r\n") + header(1) + rostrum.value();
}

Result<void> JoinConfigFiles(const QString &appDir, const QString &fieldmarkName, const QString &rostrumName,
                             const QString &outName, const FileSystem &fs)
{
    const Result<QByteArray> joined = JoinedConfigBytes(appDir, fieldmarkName, rostrumName);
    if (!joined)
        return joined.error();
    return FileIo::WriteFileAtomic(ConfigDirectory(appDir) + u'/' + outName, joined.value(), fs);
}

Result<Replacement> ReplaceIfUnchanged(const QString &path, const FileIo::FileVersion &expected,
                                       const QByteArray &bytes, const std::function<void()> &whileWaiting)
{
    const auto lock = FileLock::LockFolder(QFileInfo(path).absolutePath(), whileWaiting);
    if (!lock)
        return lock.error();
    const Result<FileIo::FileVersion> now = FileIo::ReadVersion(path);
    if (!now)
        return now.error();
    if (!FileIo::SameVersion(now.value(), expected))
        return Replacement{false, now.value()};
    if (const Result<void> written = FileIo::WriteFileAtomic(path, bytes); !written)
        return written.error();
    FileIo::FileVersion written;
    written.exists = true;
    written.bytes = bytes;
    return Replacement{true, written};
}

} // namespace ConfigStore
