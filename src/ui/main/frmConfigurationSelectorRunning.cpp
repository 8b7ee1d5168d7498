// The main window and the programs it started: the running column, the question before a
// second start, Stop and Show Log. What runs is the suite's run register; this only shows it.
#include "ui/main/frmConfigurationSelector.h"

#include "app/Session.h"
#include "suite/RunRegister.h"
#include "suite/RunStop.h"
#include "ui/main/RunningView.h"
#include "ui/main/frmProgramLog.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QUrl>

namespace {
// After the columns of the list's own fill.
constexpr int ColRunning = 7;
} // namespace

void frmConfigurationSelector::CreateRunningState()
{
    LVConfig->setColumnCount(ColRunning + 1);
    LVConfig->headerItem()->setText(ColRunning, QStringLiteral("Running"));
    m_running = new RunningView(m_session.AppDir(), m_session.ConfigDirectory(), this);
    connect(m_running, &RunningView::Changed, this, &frmConfigurationSelector::ShowRunningState);
    m_running->Reload();

    m_stopCancel = new QPushButton(QStringLiteral("Cancel"), StatusBar1);
    m_stopCancel->setObjectName(QStringLiteral("btnStopCancel"));
    m_stopCancel->setToolTip(QStringLiteral("Stop waiting; what got SIGTERM is not killed"));
    m_stopCancel->hide();
    StatusBar1->addWidget(m_stopCancel);
    connect(m_stopCancel, &QPushButton::clicked, this, [this] {
        if (m_stopper)
            m_stopper->Cancel();
    });
}

void frmConfigurationSelector::ShowRunningState()
{
    if (!m_running)
        return;
    m_running->ApplyTo(LVConfig, ColRunning, [this](const QTreeWidgetItem *item) { return FileNameOf(item); });
    if (chkRunningOnly->isChecked()) {
        ApplyFilter();
        SyncSelection();
        HandleCoolBar();
    }
}

bool frmConfigurationSelector::HiddenAsNotRunning(const QTreeWidgetItem *item) const
{
    return chkRunningOnly->isChecked() && m_running && m_running->SummaryOf(FileNameOf(item)).isEmpty();
}

bool frmConfigurationSelector::ConfirmSecondStart(const QString &path, const QList<RunRecord> &running)
{
    const QString text = QStringLiteral("%1 is running already:\r\n\r\n%2\r\n\r\nStart it again?")
                             .arg(QFileInfo(path).fileName(), RunningState::Details(running).replace(u'\n', QStringLiteral("\r\n")));
    return m_session.MsgBox(this, text, MsgIcon::Question, MsgButtons::YesNoDefaultNo) == MsgResult::Yes;
}

void frmConfigurationSelector::mnuStop_Click()
{
    FinishLabelEdit();
    if (m_stopper)
        return;
    const QList<RunRecord> records = RunRegister::Read(m_session.AppDir()).value_or({});
    QList<RunRecord> chosen;
    for (const QString &name : HighlightedNames())
        chosen << RunningState::Of(records, m_session.ConfigDirectory() + u'/' + name);
    if (chosen.isEmpty()) {
        ShowOutcome(QStringLiteral("Nothing runs for %1").arg(HighlightedNames().join(QStringLiteral(", "))));
        return;
    }
    m_stopper = new RunStopper(m_session.AppDir(), chosen, 10000, this);
    connect(m_stopper, &RunStopper::Progress, this, &frmConfigurationSelector::ShowOutcome);
    connect(m_stopper, &RunStopper::Finished, this, [this](const QString &outcome) {
        const QStringList refused = m_stopper->Refused();
        m_stopper->deleteLater();
        m_stopper = nullptr;
        m_stopCancel->hide();
        ShowOutcome(outcome);
        HandleCoolBar();
        m_running->Reload();
        if (!refused.isEmpty())
            m_session.MsgBox(this, QStringLiteral("These programs were not stopped:\r\n\r\n") + refused.join(QStringLiteral("\r\n")),
                             MsgIcon::Information);
    });
    m_stopCancel->show();
    HandleCoolBar();
    m_stopper->Start();
}

void frmConfigurationSelector::mnuShowLog_Click()
{
    FinishLabelEdit();
    SyncSelection();
    const QString path = m_selectedConfigPath;
    if (path.isEmpty())
        return;
    const QStringList logs = RunRegister::LogFilesOf(m_session.AppDir(), path);
    if (logs.isEmpty()) {
        // Nothing of this configuration was started here yet: the folder holds the rest.
        const QString folder = QDir(m_session.AppDir()).filePath(QStringLiteral("log"));
        ShowOutcome(QStringLiteral("No program log of %1 yet; opening %2").arg(m_selectedConfigName, folder));
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
        return;
    }
    auto *view = new frmProgramLog(QStringLiteral("Program logs of %1").arg(m_selectedConfigName), logs, this);
    view->show();
}
