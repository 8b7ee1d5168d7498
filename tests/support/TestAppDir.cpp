#include "TestAppDir.h"

#include "PostgresFixture.h"

TestAppDir::TestAppDir(bool withTexts, bool withDirs) : TestDir(withTexts, withDirs)
{
    m_session = std::make_unique<Session>(path(), m_messages, 1);
    m_session->SetQuitHandler([this] { ++m_quits; });
}

QStringList TestAppDir::shownTexts() const
{
    QStringList texts;
    for (const auto &m : m_messages.ShownMessages())
        texts << m.text;
    return texts;
}

ConfigEntry EntryOn(const PgDatabase *db, qint16 product, const QString &dsn, qint16 platform)
{
    return {.FileName = {}, .ProductCode = product, .Dsn = dsn, .User = db ? db->user() : QString(),
            .Password = db ? db->password() : QString(), .Platform = platform, .DbMachineName = {}};
}
