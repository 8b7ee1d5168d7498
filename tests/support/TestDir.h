#pragma once

#include "QtPrinters.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary application directory with lib/ and log/ and the default I18nText.xml, and
// the windows' remembered layout apart from the user's own.
class TestDir
{
public:
    explicit TestDir(bool withTexts = true, bool withDirs = true);

    QString path() const { return m_dir.path(); }
    QString lib(const QString &name = QString()) const;
    // Writes bytes to path()/relative, creating folders.
    void writeFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray readFile(const QString &relative) const;
    // A configuration file in lib/ from "key=value" lines, each ended with CR LF.
    void writeConfig(const QString &name, const QStringList &lines) const;

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_settings;
};
