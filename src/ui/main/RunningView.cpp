#include "ui/main/RunningView.h"

#include "app/LocalisedText.h"
#include "suite/RunRegister.h"

#include <QDir>
#include <QSet>
#include <QTime>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {

QString EndedWhat(LocalisedText &texts, const RunRecord &r)
{
    const QString section = r.section.isEmpty() ? QString() : u' ' + r.section;
    switch (r.kind) {
    case RunKind::Console: return texts.GetText(QStringLiteral("CS_RUN_CONSOLE")) + section;
    case RunKind::JavaServer: return texts.GetText(QStringLiteral("CS_RUN_JAVA_SERVER"));
    case RunKind::Dispatcher: return texts.GetText(QStringLiteral("CS_RUN_DISPATCHER")) + section;
    }
    return {};
}

} // namespace

RunningView::RunningView(const QString &appDir, const QString &configDirectory, LocalisedText &texts, QObject *parent)
    : QObject(parent), m_appDir(appDir), m_configDirectory(configDirectory), m_texts(texts), m_watcher(new QFileSystemWatcher(this)),
      m_poll(new QTimer(this)), m_settle(new QTimer(this))
{
    // The register is replaced by a rename: the folder's watch sees every new version.
    m_watcher->addPath(QFileInfo(RunRegister::RegisterPath(appDir)).absolutePath());
    m_settle->setSingleShot(true);
    m_settle->setInterval(100);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle, qOverload<>(&QTimer::start));
    connect(m_settle, &QTimer::timeout, this, &RunningView::Reload);
    m_poll->setInterval(1000);
    connect(m_poll, &QTimer::timeout, this, &RunningView::Check);
}

void RunningView::Reload()
{
    const QList<RunRecord> records = RunRegister::Read(m_appDir).value_or({});
    QSet<std::pair<qint64, quint64>> live;
    for (const RunRecord &r : records)
        live.insert({r.pid, r.startTime});
    for (const RunRecord &r : std::as_const(m_live)) {
        if (!live.contains({r.pid, r.startTime}))
            emit Ended(m_texts.GetText(QStringLiteral("CS_RUN_ENDED"))
                           .arg(EndedWhat(m_texts, r), QFileInfo(r.configFile).fileName(),
                                QTime::currentTime().toString(QStringLiteral("HH:mm"))));
    }
    m_live = records;
    // Nothing running, nothing to look at until the register changes.
    if (m_live.isEmpty())
        m_poll->stop();
    else if (!m_poll->isActive())
        m_poll->start();
    QHash<QString, QString> summaries = RunningState::SummariesByFileName(records, m_configDirectory);
    if (summaries != m_summaries) {
        m_summaries = std::move(summaries);
        emit Changed();
    }
}

void RunningView::Check()
{
    for (const RunRecord &record : std::as_const(m_live)) {
        if (!RunRegister::IsRunning(record))
            return Reload();
    }
}
