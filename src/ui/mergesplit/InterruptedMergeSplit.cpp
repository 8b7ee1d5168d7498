#include "ui/mergesplit/InterruptedMergeSplit.h"

#include "app/Session.h"
#include "config/ConfigListReader.h"
#include "config/MergeSplitJournal.h"
#include "ui/mergesplit/frmMergeAndSplit.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

// The dialog of the interrupted run with its values; false, told, when a picked configuration
// can no longer be read.
void RunAgain(Session &session, QWidget *owner, const MergeSplitJournal::Entry &entry)
{
    QList<ConfigEntry> entries;
    for (const QString &name : entry.pick) {
        const ConfigList::ListedFile listed = ConfigList::ReadFile(session.ConfigDirectory(), name);
        if (listed.presence != ConfigList::ListedFile::Presence::Listed || !listed.unreadable.isEmpty()) {
            session.MsgBox(owner,
                           session.Text("CS_INTERRUPTED_UNREADABLE", entry.jointFile, name,
                                        listed.unreadable.isEmpty() ? QString() : QStringLiteral(" (") + session.Text(listed.why) + u')'),
                           MsgIcon::Exclamation, MsgButtons::Ok);
            return;
        }
        entries << listed.entry;
    }
    frmMergeAndSplit dialog(session, entry.pick, owner);
    if (!dialog.Load(entries))
        return;
    dialog.Prefill(entry);
    // A re-run under another file name ends this one too.
    if (dialog.exec() == QDialog::Accepted)
        (void)MergeSplitJournal::Remove(session.AppDir(), entry.jointFile);
}

} // namespace

void OfferInterruptedMergeSplits(Session &session, QWidget *owner)
{
    for (const MergeSplitJournal::Entry &entry : MergeSplitJournal::Interrupted(session.AppDir()).interrupted) {
        QMessageBox box(QMessageBox::Warning, session.Text("CS_INTERRUPTED_TITLE"),
                        session.Text(MergeSplitJournal::Describe(entry)) + QStringLiteral("\n\n") + session.Text("CS_INTERRUPTED_RUN_AGAIN"),
                        QMessageBox::NoButton, owner);
        box.setObjectName(QStringLiteral("msgInterruptedMergeSplit"));
        QPushButton *again = box.addButton(session.Text("CS_INTERRUPTED_AGAIN"), QMessageBox::AcceptRole);
        again->setObjectName(QStringLiteral("cmdRunAgain"));
        QPushButton *dismiss = box.addButton(session.Text("CS_INTERRUPTED_DISMISS"), QMessageBox::RejectRole);
        dismiss->setObjectName(QStringLiteral("cmdDismiss"));
        box.setDefaultButton(again);
        box.exec();
        if (box.clickedButton() == again)
            RunAgain(session, owner, entry);
        else if (box.clickedButton() == dismiss)
            (void)MergeSplitJournal::Remove(session.AppDir(), entry.jointFile);
    }
}
