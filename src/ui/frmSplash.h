#pragma once

#include <QDialog>

class QEventLoop;
class QTimer;
class Session;

// The product picture shown modally while the main window loads; it closes itself when
// its timer fires.
class frmSplash final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSplash)
public:
    explicit frmSplash(Session &session, QWidget *parent = nullptr);

    // Shows the picture modally until the timer has fired. Unlike QDialog::exec, it also
    // ends when the timer fires while the window is still being shown, before any event
    // loop runs (a short interval, or a busy start-up).
    int exec() override;

private:
    void tmrWait_Timer();

    QTimer *tmrWait;
    bool m_timerFired = false;
    QEventLoop *m_loop = nullptr;
};
