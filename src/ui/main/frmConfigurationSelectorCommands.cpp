// The main window's file commands. Each one that opens a window waits for it and then
// refreshes the list, so that files the window created, moved or deleted show at once.
#include "ui/main/frmConfigurationSelector.h"

#include "app/Session.h"
#include "config/MergeSplitPair.h"
#include "ui/mergesplit/frmEditConfigurationMergeSplit.h"
#include "ui/mergesplit/frmMergeAndSplit.h"
#include "platform/FileIo.h"
#include "ui/dialogs/frmAbout.h"
#include "ui/editor/frmEditConfiguration.h"
#include "suite/Launching.h"
#include "suite/RunCommand.h"

#include <QFileInfo>
#include <QItemSelection>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTreeWidget>

namespace {

SuiteContext SuiteOf(Session &session) { return {session.AppDir(), session.Messenger(), session.Texts()}; }

} // namespace

void frmConfigurationSelector::mnuRefresh_Click()
{
    FinishLabelEdit();
    RefreshList(HighlightedNames(), FileNameOf(LVConfig->currentItem()));
}

void frmConfigurationSelector::RefreshList(const QStringList &highlight, const QString &current, RefreshCause cause,
                                           const QSet<QString> *only)
{
    const bool wasEmpty = LVConfig->topLevelItemCount() == 0;
    const int scrolled = LVConfig->verticalScrollBar()->value();
    QStringList problems;
    if (!only || !UpdateRows(*only))
        problems = FillListView();
    // Files that appear in an empty list: the first one stays highlighted, as at the load.
    if (!(wasEmpty && highlight.isEmpty())) {
        // Names compare exactly. What cannot be found any more is not highlighted, and nothing
        // else is in its place: no command may act on a row the user did not pick.
        const QScopedValueRollback updating(m_updatingList, true);
        const QSet<QString> wanted(highlight.cbegin(), highlight.cend());
        QItemSelection selection;
        for (const QString &name : wanted) {
            QTreeWidgetItem *item = m_rows.value(name).item;
            if (item && !item->isHidden()) {
                const int row = LVConfig->indexOfTopLevelItem(item);
                const QModelIndex index = LVConfig->model()->index(row, 0);
                selection.select(index, index);
            }
        }
        if (QTreeWidgetItem *item = m_rows.value(current).item)
            LVConfig->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        LVConfig->selectionModel()->select(selection, SelectOnly);
    }
    SyncSelection();
    HandleCoolBar();
    ShowRunningState();
    if (cause != RefreshCause::Command) {
        // Not the user's F5: no window opens; the status bar tells what cannot be read.
        if (cause == RefreshCause::OutsideChange)
            LVConfig->verticalScrollBar()->setValue(scrolled);
        NoteUnreadable();
        if (!m_folderProblems.isEmpty())
            ShowOutcome(m_folderProblems.join(u' '));
        if (cause == RefreshCause::OutsideChange)
            return;
    }
    if (QTreeWidgetItem *item = SelectedItem())
        LVConfig->scrollToItem(item);
    LVConfig->setFocus();
    if (cause == RefreshCause::Command)
        ReportListProblems(problems);
}

void frmConfigurationSelector::mnuNew_Click()
{
    FinishLabelEdit();
    QStringList highlight = HighlightedNames();
    QString current = FileNameOf(LVConfig->currentItem());
    QString saved;
    {
        const QScopedValueRollback holdList(m_commandWindowOpen, true);
        frmEditConfiguration editor(m_session, QString());
        if (editor.Load())
            editor.exec();
        saved = editor.SavedPath();
    }
    // A configuration saved by the editor is the one highlighted afterwards.
    if (!saved.isEmpty()) {
        current = QFileInfo(saved).fileName();
        highlight = QStringList{current};
        ShowOutcome(QStringLiteral("%1 saved").arg(current));
    }
    RefreshList(highlight, current, RefreshCause::AfterCommand);
}

void frmConfigurationSelector::mnuUpdate_Click()
{
    FinishLabelEdit();
    if (!StillAsListed(HighlightedItems()))
        return;
    SyncSelection();
    {
        const QScopedValueRollback holdList(m_commandWindowOpen, true);
        if (IsMergeSplitSelected) {
            frmEditConfigurationMergeSplit editor(m_session, m_selectedConfigPath);
            editor.Load();
            editor.exec();
        } else {
            // No file yet: the editor makes a new one under the default name.
            frmEditConfiguration editor(m_session, m_selectedConfigPath);
            if (editor.Load())
                editor.exec();
        }
    }
    RefreshList(HighlightedNames(), FileNameOf(LVConfig->currentItem()), RefreshCause::AfterCommand);
}

void frmConfigurationSelector::mnuRename_Click()
{
    FinishLabelEdit();
    // With several rows highlighted the current one is edited; the file renamed is that row's.
    if (QTreeWidgetItem *item = SelectedItem(); item && StillAsListed({item})) {
        LVConfig->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        LVConfig->editItem(item, 0);
    }
}

void frmConfigurationSelector::mnuDelete_Click()
{
    FinishLabelEdit();
    const QStringList names = HighlightedNames();
    if (names.isEmpty())
        return;
    // One question naming every file; Enter answers No.
    if (m_session.MsgBox(this, m_session.GetText(QStringLiteral("SLBL0029")) + QStringLiteral("\r\n\r\n")
                             + names.join(QStringLiteral("\r\n")),
                         MsgIcon::None, MsgButtons::YesNoDefaultNo)
        != MsgResult::Yes) {
        ShowOutcome(QStringLiteral("Nothing deleted"));
        return;
    }
    // Checked after the question: the file may have changed while it was open.
    if (!StillAsListed(HighlightedItems()))
        return;
    QStringList deleted, kept;
    for (const QString &name : names)
        (DeleteConfigFile(m_session.ConfigDirectory() + u'/' + name) ? deleted : kept) << name;
    QString outcome = deleted.isEmpty() ? QStringLiteral("Nothing deleted")
                                        : QStringLiteral("Deleted ") + deleted.join(QStringLiteral(", "));
    if (!kept.isEmpty())
        outcome += QStringLiteral("; not deleted ") + kept.join(QStringLiteral(", "));
    ShowOutcome(outcome);
    const QSet<QString> gone(deleted.cbegin(), deleted.cend());
    RefreshList(HighlightedNames(), FileNameOf(LVConfig->currentItem()), RefreshCause::AfterCommand, &gone);
}

bool frmConfigurationSelector::DeleteConfigFile(const QString &ConfigFileName)
{
    const Result<void> deleted = FileIo::DeleteFile(ConfigFileName);
    if (deleted)
        return true;
    // Named, with the reason: with several files the user must see which one stayed.
    m_session.MsgBox(this, m_session.GetText(QStringLiteral("SLBL0119")) + QStringLiteral("\r\n")
                         + QFileInfo(ConfigFileName).fileName() + QStringLiteral(": ") + deleted.error().description,
                     MsgIcon::Information);
    return false;
}

void frmConfigurationSelector::MnSConfig_Click()
{
    FinishLabelEdit();
    // Only the rows highlighted now count: names picked by an earlier attempt are forgotten.
    if (!StillAsListed(HighlightedItems()))
        return;
    const QList<ConfigEntry> picked = SelectedEntries();
    const MergeSplitPair::Pick pick = MergeSplitPair::Choose(picked);
    switch (pick.verdict) {
    case MergeSplitPair::Verdict::Refused: {
        const QString invalid = QStringLiteral("invalid products for Merge and split");
        m_session.MsgBox(this, invalid);
        ShowOutcome(QStringLiteral("Merge and split refused: ") + invalid);
        return;
    }
    case MergeSplitPair::Verdict::Pair: {
        {
            const QScopedValueRollback holdList(m_commandWindowOpen, true);
            // A database that cannot be reached is told by the dialog's load.
            frmMergeAndSplit publisher(m_session, pick.files, this);
            if (publisher.Load(picked))
                publisher.exec();
        }
        RefreshList(HighlightedNames(), FileNameOf(LVConfig->currentItem()), RefreshCause::AfterCommand);
        return;
    }
    case MergeSplitPair::Verdict::NoPair: break;
    }
    ShowOutcome(QStringLiteral("Merge and split needs one Fieldmark and one Rostrum configuration highlighted"));
}

void frmConfigurationSelector::mnuExit_Click()
{
    FinishLabelEdit();
    close();
}

void frmConfigurationSelector::mnuAbout_Click()
{
    frmAbout about(m_session);
    if (about.Load())
        about.exec();
}

void frmConfigurationSelector::mnuExecute_Click()
{
    FinishLabelEdit();
    const QList<QTreeWidgetItem *> rows = HighlightedItems();
    if (rows.size() != 1 || !UnreadableReason(rows[0]).isEmpty() || !StillAsListed(rows))
        return;
    SyncSelection();
    const QString name = m_selectedConfigName;
    const QString path = m_selectedConfigPath;
    const RunOutcome run = RunConfiguration(SuiteOf(m_session), path, IsMergeSplitSelected,
                                            [&](const QList<RunRecord> &running) { return ConfirmSecondStart(path, running); });
    const bool started = run.verdict == RunOutcome::Verdict::Started;
    if (run.verdict == RunOutcome::Verdict::RunningAlready)
        ShowOutcome(QStringLiteral("Nothing started: %1 is running already").arg(name));
    else if (IsMergeSplitSelected)
        ShowOutcome(started ? QStringLiteral("Merge and split configuration %1 started").arg(name)
                            : QStringLiteral("Merge and split configuration %1 not fully started: see the messages").arg(name));
    else
        ShowOutcome(started ? QStringLiteral("Server console started for %1").arg(name)
                            : QStringLiteral("Server console not started for %1").arg(name));
}

void frmConfigurationSelector::mnuExecuteJS_Click()
{
    FinishLabelEdit();
    if (StillAsListed(HighlightedItems()))
        RunJavaServer(SuiteOf(m_session), SelectedEntries());
}
