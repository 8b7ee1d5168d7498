#pragma once

#include "RecordedMessages.h"
#include "TestDir.h"
#include "app/Session.h"
#include "app/SuiteContext.h"

#include <functional>
#include <memory>

class PgDatabase;
class QWidget;

// A TestDir with a Session on it whose messages are recorded, and a recorded Quit.
class TestAppDir : public TestDir
{
public:
    explicit TestAppDir(bool withTexts = true, bool withDirs = true);

    Session &session() { return *m_session; }
    // The session's directory, messages and texts, as the windows hand them to the suite.
    SuiteContext suite() { return {path(), m_session->Messenger(), m_session->Texts()}; }
    RecordedMessages &messages() { return m_messages; }
    int quitCount() const { return m_quits; }
    // Texts of every message shown so far.
    QStringList shownTexts() const;

private:
    RecordedMessages m_messages;
    std::unique_ptr<Session> m_session;
    int m_quits = 0;
};

// A configuration of product reached through dsn with db's login (none without db).
ConfigEntry EntryOn(const PgDatabase *db, qint16 product, const QString &dsn, qint16 platform = 0);

// (GUI tests only) Runs action on the active modal widget once there is one whose objectName is name (any
// modal widget when name is empty); polls from the event loop. None within timeoutMs, or none by the
// test's end, fails the test, and a modal widget standing in its place is closed.
void WhenModal(const QString &name, std::function<void(QWidget *)> action, int timeoutMs = 5000);
