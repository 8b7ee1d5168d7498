#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class Session;

// Asks for the name of a new configuration file. One instance lives for the whole run,
// held by the Session: it is only hidden, so the next use shows the last name typed.
class frmConfigFileSelector final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmConfigFileSelector)
public:
    explicit frmConfigFileSelector(Session &session, QWidget *parent = nullptr);
    // The localised caption, once per run; never fails.
    bool Load();

    // The session's instance, created (and its caption loaded) on first use.
    static frmConfigFileSelector &Instance(Session &session);

    // The name as typed, untrimmed.
    QString FileName() const;
    // True when the last showing ended with an accepted OK.
    bool Confirmed() const { return m_confirmed; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void OKButton_Click();
    void CancelButton_Click();

    Session &m_session;
    bool m_confirmed = false;

    QLineEdit *txtFileName;
    QPushButton *OKButton;
    QPushButton *CancelButton;
};
