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
      m_poll(new QTimer(this)), m_settle(new QTimer(this)), m_endings(new QTimer(this))
{
    m_endings->setInterval(100);
    connect(m_endings, &QTimer::timeout, this, &RunningView::TellEnded);
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
    QSet<std::pair<qint64, quint64>> told;
    for (const RunRecord &r : std::as_const(m_live)) {
        // One program recorded for several files ends once.
        if (!live.contains({r.pid, r.startTime}) && !told.contains({r.pid, r.startTime})) {
            told.insert({r.pid, r.startTime});
            m_ending.append({r, QDateTime::currentDateTime(), QDateTime::currentMSecsSinceEpoch() + 1000});
        }
    }
    m_live = records;
    TellEnded();
    // Nothing running, nothing to look at until the register changes.
    if (m_live.isEmpty())
        m_poll->stop();
    else if (!m_poll->isActive())
        m_poll->start();
    QHash<QString, QString> summaries = RunningState::SummariesByFileName(records, m_configDirectory, &m_texts);
    QStringList orphans;
    for (auto it = summaries.cbegin(); it != summaries.cend(); ++it) {
        if (!RunningState::OrphanedFileName(it.key()).isEmpty())
            orphans << it.key();
    }
    orphans.sort();
    if (summaries != m_summaries || orphans != m_orphans) {
        m_summaries = std::move(summaries);
        m_orphans = std::move(orphans);
        emit Changed();
    }
}

void RunningView::TellEnded()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (qsizetype i = 0; i < m_ending.size();) {
        const Ending &e = m_ending[i];
        const QString how = RunRegister::HowEnded(m_appDir, e.record);
        if (how.isEmpty() && now < e.deadline) {
            ++i;
            continue;
        }
        const QString at = e.ended.toString(QStringLiteral("HH:mm"));
        const QString what = EndedWhat(m_texts, e.record), row = RunningState::RowName(e.record);
        emit Ended(how.isEmpty() ? m_texts.GetText(QStringLiteral("CS_RUN_ENDED")).arg(what, row, at)
                                 : m_texts.GetText(QStringLiteral("CS_RUN_ENDED_HOW")).arg(what, row, how, at));
        m_ending.removeAt(i);
    }
    if (m_ending.isEmpty())
        m_endings->stop();
    else if (!m_endings->isActive())
        m_endings->start();
}

void RunningView::Check()
{
    for (const RunRecord &record : std::as_const(m_live)) {
        if (!RunRegister::IsRunning(record))
            return Reload();
    }
}
