#include "TestAppDir.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A wait not yet answered is a running timer of the application with this property: the
// window it waits for.
const char *const Expected = "csExpectedModal";

} // namespace

void WhenModal(const QString &name, std::function<void(QWidget *)> action, int timeoutMs)
{
    auto *poll = new QTimer(qApp);
    poll->setProperty(Expected, name.isEmpty() ? QStringLiteral("any modal window") : name);
    QElapsedTimer elapsed;
    elapsed.start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget *w = QApplication::activeModalWidget();
        const bool found = w && w->isVisible() && (name.isEmpty() || w->objectName() == name);
        if (!found && elapsed.elapsed() < timeoutMs)
            return;
        poll->stop();
        poll->deleteLater();
        if (found) {
            action(w);
            return;
        }
        ADD_FAILURE() << qPrintable(poll->property(Expected).toString()) << " did not appear within " << timeoutMs << " ms"
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
    for (QTimer *poll : qApp->findChildren<QTimer *>(Qt::FindDirectChildrenOnly)) {
        if (poll->isActive() && poll->property(Expected).isValid()) {
            ADD_FAILURE() << qPrintable(poll->property(Expected).toString()) << " never appeared";
            poll->stop();
            poll->deleteLater();
        }
    }
}
