#pragma once

#include "QtPrinters.h"
#include "app/Session.h"
#include "RecordedMessages.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QWidget;

// A temporary application directory with lib/ and log/ and the default I18nText.xml,
// a Session on it whose messages are silent and recorded, and a recorded Quit.
class TestAppDir
{
public:
    explicit TestAppDir(bool withTexts = true, bool withDirs = true);

    QString path() const { return m_dir.path(); }
    QString lib(const QString &name = QString()) const;
    // Writes bytes to path()/relative, creating folders.
    void writeFile(const QString &relative, const QByteArray &bytes) const;
    QByteArray readFile(const QString &relative) const;
    // A configuration file in lib/ from "key=value" lines, each ended with CR LF.
    void writeConfig(const QString &name, const QStringList &lines) const;

    Session &session() { return *m_session; }
    RecordedMessages &messages() { return m_messages; }
    int quitCount() const { return m_quits; }
    // Texts of every message shown so far.
    QStringList shownTexts() const;

private:
    QTemporaryDir m_dir;
    // The windows' remembered layout, apart from the user's own and from the application directory.
    QTemporaryDir m_settings;
    RecordedMessages m_messages;
    std::unique_ptr<Session> m_session;
    int m_quits = 0;
};

// (GUI tests only) Runs action on the active modal widget once there is one whose objectName is name (any
// modal widget when name is empty); polls from the event loop. None within timeoutMs, or none by the
// test's end, fails the test, and a modal widget standing in its place is closed.
void WhenModal(const QString &name, std::function<void(QWidget *)> action, int timeoutMs = 5000);

// The default texts file of the program.
QString DefaultTextsFile();
