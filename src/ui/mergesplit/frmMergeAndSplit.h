#pragma once

#include "config/ConfigRecord.h"
#include "suite/PublisherConnections.h"
#include "platform/VbText.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;
class Session;

// The publisher settings dialog. selectedEntries: the main window's selected list entries in
// list order. Constructing it runs the load, which opens this showing's two database
// connections; when one fails its message is shown and the dialog refuses to show.
class frmMergeAndSplit final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMergeAndSplit)
public:
    frmMergeAndSplit(Session &session, const QList<ConfigEntry> &selectedEntries, QWidget *owner);
    ~frmMergeAndSplit() override;

    // Rejected at once, without showing, when the load failed.
    int exec() override;
    void setVisible(bool visible) override;
    // While the directory tool runs, Cancel, Escape and closing end the tool instead.
    void reject() override;

    // which: 0 Fieldmark, 1 Rostrum. Replaces that connection of this showing.
    Result<void> OpenProductConnection(int which, const QString &dsn, const QString &user, const QString &password);
    // The sixteen updates, each database in one transaction; a failure rolls both back and
    // is shown once.
    bool UpdatePublisherForAllTables(const QString &publisher);
    bool WriteJointFileKey(const QString &section, const QString &key, const QString &value,
                           const QString &fileName);

private:
    void BuildWindow();
    void Form_Load(const QList<ConfigEntry> &selectedEntries);
    bool CheckField(bool valid, QLineEdit *field, const QString &message);
    bool CheckFields();
    bool CheckDatabases(const QString &publisher);
    bool CheckInputFilesReadBack();
    bool CreateBusComponentWaiting();
    void cmdPublisherOK_Click();

    Session &m_session;
    bool m_loadFailed = false;
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
