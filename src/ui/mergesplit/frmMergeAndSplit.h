#pragma once

#include "config/ConfigRecord.h"
#include "config/MergeSplitJournal.h"
#include "suite/PublisherConnections.h"
#include "suite/PublisherSetup.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;
class Session;

// The publisher settings dialog, which joins the picked configurations into a joint file.
// Constructing it builds the window only; Load opens this showing's two database connections.
class frmMergeAndSplit final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMergeAndSplit)
public:
    frmMergeAndSplit(Session &session, const MergeSplitPick &pick, QWidget *owner);
    ~frmMergeAndSplit() override;

    // Fills the fields and connects to the databases of selectedEntries (the main window's
    // selected list entries in list order). False, with the failure shown, when one cannot
    // be reached: the dialog is then not to be shown.
    bool Load(const QList<ConfigEntry> &selectedEntries);

    // The values of an interrupted run, for running it again (Load first).
    void Prefill(const MergeSplitJournal::Entry &entry);

    // While the directory tool runs, Cancel, Escape and closing end the tool instead.
    void reject() override;

private:
    void BuildWindow();
    bool CheckField(bool valid, QLineEdit *field, const QString &message);
    bool CheckFields();
    bool CheckDatabases(const QString &publisher);
    bool CreateBusComponentWaiting();
    void cmdPublisherOK_Click();
    MergeSplitJournal::Entry JournalEntry(const QString &fileName, const QString &publisher) const;

    Session &m_session;
    const MergeSplitPick m_pick;
    PublisherConnections m_connections;
    bool m_toolRunning = false;
    bool m_cancelTool = false;

    QLineEdit *txt_ldapAdmin = nullptr;
    QLineEdit *txt_ldapPwd = nullptr;
    QLineEdit *txtMnSFileName = nullptr;
    QLineEdit *txtMnSHost = nullptr;
    QLineEdit *txtPublisherBusComp = nullptr;
    QLineEdit *txtpublisherBusPortNum = nullptr;
    QLabel *lblStatus = nullptr;
    QPushButton *cmdPublisherOK = nullptr;
    QPushButton *BtnCancel = nullptr;
};
