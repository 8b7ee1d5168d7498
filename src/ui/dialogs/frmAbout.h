#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class Session;

// The about box: product title, the installed solution version from the registry, the
// description and notices, and a button that starts the system information tool.
class frmAbout final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)
public:
    explicit frmAbout(Session &session, QWidget *parent = nullptr);

    // The captions and the version from the registry; a registry file that is refused is
    // reported, and the box opens all the same. False only when the program was ended meanwhile.
    bool Load();

private:
    // Starts the system information tool named in the registry, or says it is missing.
    void StartSysInfo();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    Session &m_session;

    QLabel *picIcon;
    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblDescription;
    QLabel *lblCopyright;
    QLabel *lblDisclaimer;
    QPushButton *cmdOK;
    QPushButton *cmdSysInfo;
};
