#include "TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

TestDir::TestDir(bool withTexts, bool withDirs)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    if (withTexts)
        QFile::copy(QStringLiteral(CS_SOURCE_DIR "/resources/I18nText.xml"), m_dir.path() + QStringLiteral("/I18nText.xml"));
    if (withDirs) {
        QDir(m_dir.path()).mkpath(QStringLiteral("lib"));
        QDir(m_dir.path()).mkpath(QStringLiteral("log"));
    }
}

QString TestDir::lib(const QString &name) const
{
    return name.isEmpty() ? m_dir.path() + QStringLiteral("/lib") : m_dir.path() + QStringLiteral("/lib/") + name;
}

void TestDir::writeFile(const QString &relative, const QByteArray &bytes) const
{
    const QString full = m_dir.path() + u'/' + relative;
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TestDir::readFile(const QString &relative) const
{
    QFile f(m_dir.path() + u'/' + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestDir::writeConfig(const QString &name, const QStringList &lines) const
{
    QByteArray bytes;
    for (const QString &l : lines)
        bytes += l.toLatin1() + "\r\n";
    writeFile(QStringLiteral("lib/") + name, bytes);
}
