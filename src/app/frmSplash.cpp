#include "app/frmSplash.h"

#include "app/Session.h"

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
    tmrWait->setInterval(session.SplashMilliseconds);
    tmrWait->setSingleShot(false);
    connect(tmrWait, &QTimer::timeout, this, &frmSplash::tmrWait_Timer);
    tmrWait->start();
}

void frmSplash::tmrWait_Timer()
{
    tmrWait->stop();
    accept();
}
