#pragma once

#include "config/ConfigRecord.h"
#include "platform/VbText.h"

#include <QDialog>
#include <QList>

class QLineEdit;
class QPushButton;
class Session;

// The publisher settings dialog. selectedEntries: the main window's selected list entries in
// list order. Constructing it runs the load, which opens the two database connections; when
// one fails the program ends through Session::Quit (check QuitRequested before exec()), and
// the dialog refuses to show.
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

    // which: 0 Fieldmark, 1 Rostrum. Replaces that program-wide connection.
    bool OpenProductConnection(int which, const QString &dsn, const QString &user, const QString &password,
                               Vb::Error *error);
    // Runs the publisher update of one table on that product's connection; reports a failure.
    bool UpdatePublisherBusComponent(int which, int tableId, const QString &publisher);
    // The sixteen updates, alternating Fieldmark and Rostrum; a failure does not stop the rest.
    void UpdatePublisherForAllTables(const QString &publisher);
    bool WriteJointFileKey(const QString &section, const QString &key, const QString &value,
                           const QString &fileName);

private:
    void BuildWindow();
    void Form_Load(const QList<ConfigEntry> &selectedEntries);
    bool CheckField(bool valid, QLineEdit *field, const QString &message);
    void cmdPublisherOK_Click();

    Session &m_session;
    bool m_loadFailed = false;

    QLineEdit *txt_ldapAdmin = nullptr;
    QLineEdit *txt_ldapPwd = nullptr;
    QLineEdit *txtMnSFileName = nullptr;
    QLineEdit *txtMnSHost = nullptr;
    QLineEdit *txtPublisherBusComp = nullptr;
    QLineEdit *txtpublisherBusPortNum = nullptr;
    QPushButton *cmdPublisherOK = nullptr;
    QPushButton *BtnCancel = nullptr;
};
