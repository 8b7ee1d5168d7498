#include "platform/Worker.h"

#include "platform/Process.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace Worker {
namespace {

// Shared by the waiting caller and the worker; the worker's reference keeps it alive when
// the caller has stopped waiting.
struct Job
{
    std::mutex mutex;
    // The caller's loop while it waits; cleared, under the mutex, before the loop goes.
    QEventLoop *loop = nullptr;
    bool finished = false;
    Stop stop{false};
    std::function<void(const Stop &)> work;
};

std::mutex g_viewMutex;
WaitViewFactory g_view;

std::mutex g_runningMutex;
std::condition_variable g_runningChanged;
int g_running = 0;

void CountRunning(int change)
{
    {
        std::lock_guard lock(g_runningMutex);
        g_running += change;
    }
    g_runningChanged.notify_all();
}

void RunJob(const std::shared_ptr<Job> &job)
{
    try {
        job->work(job->stop);
    } catch (...) {
        // Nothing may leave the thread; the caller sees no result and reports the failure.
    }
    // What the work holds goes here, on this thread: a connection to a server that hangs
    // may take its time to close.
    job->work = nullptr;
    std::lock_guard lock(job->mutex);
    job->finished = true;
    if (job->loop)
        QMetaObject::invokeMethod(job->loop, "quit", Qt::QueuedConnection);
}

} // namespace

WaitViewFactory SetWaitView(WaitViewFactory factory)
{
    std::lock_guard lock(g_viewMutex);
    std::swap(g_view, factory);
    return factory;
}

Failure Cancelled()
{
    return Failure{ErrorNumber::UserInterrupt, QStringLiteral("User interrupt occurred"), FailureKind::Cancelled};
}

bool IsCancelled(const Failure &error) { return error.kind == FailureKind::Cancelled; }

Result<void> RunAndWait(const QString &what, std::function<void(const Stop &)> work)
{
    auto job = std::make_shared<Job>();
    job->work = std::move(work);
    QEventLoop loop;
    job->loop = &loop;
    CountRunning(+1);
    try {
        std::thread([job] {
            RunJob(job);
            CountRunning(-1);
        }).detach();
    } catch (const std::exception &e) {
        CountRunning(-1);
        return Failure{ErrorNumber::OutOfMemory,
                         QStringLiteral("No thread could be started for the work: %1").arg(QString::fromLocal8Bit(e.what()))};
    }

    // The window says it is busy; for a moment it takes no input, then the view offers Cancel.
    // A loop that returns for none of the reasons below was ended by the program's end.
    Process::BusyWait busy;
    bool cancelled = false, firstMomentOver = false;
    auto done = [&] {
        std::lock_guard lock(job->mutex);
        return job->finished;
    };
    QTimer firstMoment;
    firstMoment.setSingleShot(true);
    QObject::connect(&firstMoment, &QTimer::timeout, &loop, [&] {
        firstMomentOver = true;
        loop.quit();
    });
    firstMoment.start(ViewDelayMs);
    if (!done())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    firstMoment.stop();

    if (!done() && firstMomentOver) {
        WaitViewFactory factory;
        {
            std::lock_guard lock(g_viewMutex);
            factory = g_view;
        }
        std::unique_ptr<WaitView> view;
        if (factory)
            view = factory(what, [&] {
                cancelled = true;
                job->stop = true;
                loop.quit();
            });
        QElapsedTimer clock;
        clock.start();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            if (view)
                view->Elapsed(int((clock.elapsed() + ViewDelayMs) / 1000));
        });
        tick.start(1000);
        if (!done() && !cancelled)
            loop.exec(view ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        tick.stop();
        view.reset();
    }

    bool finished = false;
    {
        std::lock_guard lock(job->mutex);
        job->loop = nullptr;
        finished = job->finished;
    }
    if (!finished) {
        // Nothing the worker does from now on is wanted.
        job->stop = true;
        return Cancelled();
    }
    return {};
}

int Running()
{
    std::lock_guard lock(g_runningMutex);
    return g_running;
}

bool WaitForAll(int ms)
{
    std::unique_lock lock(g_runningMutex);
    return g_runningChanged.wait_for(lock, std::chrono::milliseconds(ms), [] { return g_running == 0; });
}

} // namespace Worker
