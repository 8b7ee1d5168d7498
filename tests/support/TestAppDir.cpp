#include "TestAppDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

QString DefaultTextsFile() { return QStringLiteral(CS_SOURCE_DIR "/resources/I18nText.xml"); }

TestAppDir::TestAppDir(bool withTexts, bool withDirs)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    if (withTexts)
        QFile::copy(DefaultTextsFile(), m_dir.path() + QStringLiteral("/I18nText.xml"));
    if (withDirs) {
        QDir(m_dir.path()).mkpath(QStringLiteral("lib"));
        QDir(m_dir.path()).mkpath(QStringLiteral("log"));
    }
    m_session = std::make_unique<Session>(m_dir.path(), m_messages);
    m_session->SplashMilliseconds = 1;
    m_session->SetQuitHandler([this] { ++m_quits; });
}

QString TestAppDir::lib(const QString &name) const
{
    return name.isEmpty() ? m_dir.path() + QStringLiteral("/lib") : m_dir.path() + QStringLiteral("/lib/") + name;
}

void TestAppDir::writeFile(const QString &relative, const QByteArray &bytes) const
{
    const QString full = m_dir.path() + u'/' + relative;
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TestAppDir::readFile(const QString &relative) const
{
    QFile f(m_dir.path() + u'/' + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestAppDir::writeConfig(const QString &name, const QStringList &lines) const
{
    QByteArray bytes;
    for (const QString &l : lines)
        bytes += l.toLatin1() + "\r\n";
    writeFile(QStringLiteral("lib/") + name, bytes);
}

QStringList TestAppDir::shownTexts() const
{
    QStringList texts;
    for (const auto &m : m_messages.ShownMessages())
        texts << m.text;
    return texts;
}
