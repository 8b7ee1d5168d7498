#include "TestAppDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

void WhenModal(const QString &name, std::function<void(QWidget *)> action, int timeoutMs)
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [=]() {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w->isVisible() && (name.isEmpty() || w->objectName() == name)) {
            action(w);
            return;
        }
        if (timer->elapsed() < timeoutMs)
            QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}
