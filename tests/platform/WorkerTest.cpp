#include "platform/Worker.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace {

// A view that shows nothing; the tests' factory cancels the wait as its loop runs.
struct CancellingView final : Worker::WaitView
{
    void Elapsed(int) override {}
};

// Where the work's captures were released.
struct Held
{
    std::promise<std::thread::id> *releasedOn;
    ~Held() { releasedOn->set_value(std::this_thread::get_id()); }
};

// Cancel gives the caller back while the worker still runs; the worker sees the stop, and
// what its work holds is released on its own thread when it ends. Quick work shows no view;
// work that throws is a failure, not a crash.
TEST(Worker, ACancelledWaitReturnsWhileItsWorkerRunsOnAndReleasesItsHoldThere)
{
    QStringList views;
    const Worker::WaitViewFactory before = Worker::SetWaitView([&](const QString &what, std::function<void()> cancel) {
        views << what;
        QTimer::singleShot(0, cancel);
        return std::unique_ptr<Worker::WaitView>(new CancellingView);
    });
    auto go = std::make_shared<std::promise<void>>();
    auto sawStop = std::make_shared<std::atomic<bool>>(false);
    std::promise<std::thread::id> releasedOn;
    auto held = std::make_shared<Held>(&releasedOn);
    const Result<int> slow = Worker::Run<int>(QStringLiteral("slow"), [held, go, sawStop](const Worker::Stop &stop) {
        go->get_future().wait();
        *sawStop = stop.load();
        return Result<int>(1);
    });
    held.reset();
    ASSERT_FALSE(slow);
    EXPECT_TRUE(Worker::IsCancelled(slow.error()));
    EXPECT_EQ(views, QStringList{QStringLiteral("slow")});
    EXPECT_EQ(Worker::Running(), 1);
    go->set_value();
    EXPECT_TRUE(Worker::WaitForAll(10000));
    EXPECT_TRUE(*sawStop);
    EXPECT_NE(releasedOn.get_future().get(), std::this_thread::get_id());

    views.clear();
    EXPECT_EQ(Worker::Run<int>(QStringLiteral("quick"), [](const Worker::Stop &) { return Result<int>(7); }).value_or(0), 7);
    const Result<int> thrown =
        Worker::Run<int>(QStringLiteral("throws"), [](const Worker::Stop &) -> Result<int> { throw std::runtime_error("x"); });
    EXPECT_FALSE(thrown || Worker::IsCancelled(thrown.error()));
    EXPECT_TRUE(views.isEmpty());
    Worker::SetWaitView(before);
}

} // namespace
