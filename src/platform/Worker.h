#pragma once

#include "platform/Result.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

// Work the windows wait for (a database login, a query, an update) runs on a thread of its
// own, so that a server that never answers cannot hold the window. The caller waits in an
// event loop; a wait view installed by the windows shows the wait and offers to cancel it. A
// cancelled wait returns at once: the worker is left to end on its own, and what its work
// holds (a connection) is released on its thread when it does.
namespace Worker {

// Set when the caller stopped waiting: the work checks it before a step that must not
// happen then (a commit).
using Stop = std::atomic<bool>;

// What the windows show while a caller waits. Made when a wait has lasted a moment, so that
// quick work shows nothing; destroyed when the wait ends. Elapsed is called once a second.
class WaitView
{
public:
    virtual ~WaitView() = default;
    virtual void Elapsed(int seconds) = 0;
};
// what: what is waited for, e.g. the database of data source "X". cancel ends the wait at
// once; the view calls it on the caller's thread, never after the view was destroyed.
using WaitViewFactory = std::function<std::unique_ptr<WaitView>(const QString &what, std::function<void()> cancel)>;

// Installs the view of every later wait and returns the one before. Without a view a wait
// takes no user input and cannot be cancelled.
WaitViewFactory SetWaitView(WaitViewFactory factory);

// How long a wait goes before its view is made.
constexpr int ViewDelayMs = 250;

// The error of a wait that was cancelled, or cut short by the end of the program.
Failure Cancelled();
bool IsCancelled(const Failure &error);

// Runs work on a new thread and waits for it. Fails with Cancelled() when the wait was
// cancelled, or with the reason when no thread could be made. Whatever work captures is
// released on the worker's thread as it ends.
Result<void> RunAndWait(const QString &what, std::function<void(const Stop &)> work);

// Work that returns a Result<T>, waited for: its result, or the failure of the wait.
template <typename T, typename Work>
Result<T> Run(const QString &what, Work work)
{
    auto slot = std::make_shared<std::optional<Result<T>>>();
    const Result<void> waited =
        RunAndWait(what, [slot, work = std::move(work)](const Stop &stop) mutable { slot->emplace(work(stop)); });
    if (!waited)
        return waited.error();
    if (!slot->has_value()) // the work threw
        return Failure{ErrorNumber::InvalidProcedureCall, QStringLiteral("The work ended without a result.")};
    return std::move(**slot);
}

// The workers started and not ended yet, abandoned ones included.
int Running();
// Waits up to ms milliseconds for every worker to end; true when none runs.
bool WaitForAll(int ms);

} // namespace Worker
