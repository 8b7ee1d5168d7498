#include "ui/frmSplash.h"

#include "app/Session.h"

#include <QEventLoop>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

frmSplash::frmSplash(Session &session, QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , tmrWait(new QTimer(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setModal(true);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("imgSplash"));
    picture->setPixmap(QPixmap(QStringLiteral(":/splash.png")));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);
    setFixedSize(562, 398);

    tmrWait->setObjectName(QStringLiteral("tmrWait"));
    tmrWait->setInterval(session.SplashMilliseconds());
    tmrWait->setSingleShot(false);
    connect(tmrWait, &QTimer::timeout, this, &frmSplash::tmrWait_Timer);
    tmrWait->start();
}

int frmSplash::exec()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    if (!m_timerFired) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec(QEventLoop::DialogExec);
        m_loop = nullptr;
    }
    hide();
    return QDialog::Accepted;
}

void frmSplash::tmrWait_Timer()
{
    tmrWait->stop();
    m_timerFired = true;
    hide();
    if (m_loop)
        m_loop->quit();
}
