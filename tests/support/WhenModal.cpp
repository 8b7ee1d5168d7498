#include "TestAppDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

void WhenModal(const QString &name, std::function<void(QWidget *)> action, int timeoutMs)
{
    // The timer belongs to the application, so that one whose window never came is freed
    // with it; one that found its window deletes itself.
    auto *poll = new QTimer(qApp);
    QElapsedTimer elapsed;
    elapsed.start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget *w = QApplication::activeModalWidget();
        const bool found = w && w->isVisible() && (name.isEmpty() || w->objectName() == name);
        if (found || elapsed.elapsed() >= timeoutMs) {
            poll->stop();
            poll->deleteLater();
        }
        if (found)
            action(w);
    });
    poll->start(10);
}
