#pragma once

#include <QDialog>

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

    QTimer *tmrWait;

private:
    void tmrWait_Timer();
};
