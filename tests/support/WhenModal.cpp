#include "TestAppDir.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// The waits not yet answered by their window; the test's end fails those still here.
QList<QPointer<QTimer>> &Pending()
{
    static QList<QPointer<QTimer>> pending;
    return pending;
}

QString Describe(const QString &name) { return name.isEmpty() ? QStringLiteral("any modal window") : name; }

void Stop(QTimer *poll)
{
    poll->stop();
    poll->deleteLater();
    Pending().removeAll(poll);
}

} // namespace

void WhenModal(const QString &name, std::function<void(QWidget *)> action, int timeoutMs)
{
    // The timer belongs to the application, so that one whose window never came is freed
    // with it; one that found its window deletes itself.
    auto *poll = new QTimer(qApp);
    poll->setProperty("expected", Describe(name));
    Pending().append(poll);
    QElapsedTimer elapsed;
    elapsed.start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w->isVisible() && (name.isEmpty() || w->objectName() == name)) {
            Stop(poll);
            action(w);
            return;
        }
        if (elapsed.elapsed() < timeoutMs)
            return;
        Stop(poll);
        ADD_FAILURE() << qPrintable(Describe(name)) << " did not appear within " << timeoutMs << " ms"
                      << (w ? qPrintable(QStringLiteral("; closing %1, which stood in its place").arg(w->objectName()))
                            : "");
        // Whatever stands in its place would wait for an answer that never comes.
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
        else if (w)
            w->close();
    });
    poll->start(10);
}

void FailUnansweredModalWaits()
{
    for (const QPointer<QTimer> &poll : QList(Pending())) {
        if (!poll)
            continue;
        ADD_FAILURE() << qPrintable(poll->property("expected").toString()) << " never appeared";
        Stop(poll);
    }
    Pending().clear();
}
