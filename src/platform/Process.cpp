#include "platform/Process.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <sys/syscall.h>
#include <unistd.h>

namespace Process {
namespace {

bool IsSeparator(QChar c) { return c == u' ' || c == u'\t'; }

} // namespace

QStringList SplitCommandLine(const QString &commandLine)
{
    QStringList result;
    const qsizetype n = commandLine.size();
    qsizetype i = 0;

    // The program name knows no backslash rules: opened by a quote it runs to the next
    // quote, otherwise to the first blank or tab.
    if (n > 0 && commandLine[0] == u'"') {
        const qsizetype close = commandLine.indexOf(u'"', 1);
        const qsizetype end = close < 0 ? n : close;
        result << commandLine.mid(1, end - 1);
        i = close < 0 ? n : close + 1;
    } else {
        while (i < n && !IsSeparator(commandLine[i]))
            ++i;
        result << commandLine.left(i);
    }

    for (;;) {
        while (i < n && IsSeparator(commandLine[i]))
            ++i;
        if (i >= n)
            break;
        QString argument;
        bool quoted = false;
        while (i < n) {
            const QChar c = commandLine[i];
            if (!quoted && IsSeparator(c))
                break;
            if (c == u'\\') {
                qsizetype backslashes = 0;
                while (i < n && commandLine[i] == u'\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < n && commandLine[i] == u'"') {
                    // 2n backslashes + quote: n backslashes, the quote toggles (next round);
                    // 2n+1: n backslashes and a literal quote.
                    argument += QString(backslashes / 2, u'\\');
                    if (backslashes % 2) {
                        argument += u'"';
                        ++i;
                    }
                } else {
                    argument += QString(backslashes, u'\\');
                }
                continue;
            }
            if (c == u'"') {
                if (quoted && i + 1 < n && commandLine[i + 1] == u'"') {
                    argument += u'"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            argument += c;
            ++i;
        }
        result << argument;
    }
    return result;
}

QString QuoteArgument(const QString &argument, Quote when)
{
    const bool needed = argument.isEmpty() || argument.contains(u' ') || argument.contains(u'\t')
                        || argument.contains(u'"');
    if (!needed && when == Quote::WhenNeeded)
        return argument;
    QString quoted(1, u'"');
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: there they are doubled, and the quote escaped.
        if (c == u'"')
            quoted += QString(2 * backslashes + 1, u'\\');
        else
            quoted += QString(backslashes, u'\\');
        backslashes = 0;
        quoted += c;
    }
    // The closing quote follows: backslashes before it are doubled too.
    quoted += QString(2 * backslashes, u'\\');
    quoted += u'"';
    return quoted;
}

QString FindProgram(const QString &appDir, const QString &program)
{
    if (program.isEmpty())
        return QString();
    if (program.contains(u'/')) {
        const QFileInfo info(program);
        return info.isFile() ? info.absoluteFilePath() : QString();
    }
    if (!appDir.isEmpty()) {
        const QFileInfo info(QDir(appDir).filePath(program));
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(program);
}

namespace {

struct Prepared
{
    QString program;
    QStringList arguments;
};

Result<Prepared> Prepare(const QString &appDir, const QString &commandLine)
{
    QStringList parts = SplitCommandLine(commandLine);
    const QString name = parts.takeFirst();
    const QString program = FindProgram(appDir, name);
    if (program.isEmpty())
        return Vb::Error{Vb::ErrorNumber::FileNotFound,
                         QStringLiteral("%1: %2").arg(name.isEmpty() ? commandLine : name, qt_error_string(ENOENT))};
    return Prepared{program, parts};
}

// Starts the program on its own: it outlives us and is never stopped by us. Gives its
// process id.
Result<qint64> StartDetached(const Prepared &p)
{
    QProcess process;
    process.setProgram(p.program);
    process.setArguments(p.arguments);
    process.setWorkingDirectory(QDir::currentPath());
    if (qint64 pid = 0; process.startDetached(&pid))
        return pid;
    return Vb::Error{Vb::ErrorNumber::InvalidProcedureCall, QStringLiteral("%1: %2").arg(p.program, process.errorString())};
}

void (*g_waitBegin)() = nullptr;
void (*g_waitEnd)() = nullptr;


} // namespace

BusyWait::BusyWait() : m_end(g_waitEnd)
{
    if (g_waitBegin)
        g_waitBegin();
}

BusyWait::~BusyWait()
{
    if (m_end)
        m_end();
}

void SetWaitHooks(void (*begin)(), void (*end)())
{
    g_waitBegin = begin;
    g_waitEnd = end;
}

Result<void> Start(const QString &appDir, const QString &commandLine, WindowStyle style)
{
    Q_UNUSED(style); // window states mean nothing to X11/Wayland programs started this way
    const Result<Prepared> p = Prepare(appDir, commandLine);
    if (!p)
        return p.error();
    if (const Result<qint64> pid = StartDetached(p.value()); !pid)
        return pid.error();
    return {};
}

void RunAndWait(const QString &appDir, QString &commandLine, bool waitForever, int timeoutMs)
{
    commandLine = Vb::Trim(commandLine);
    // As in the original, a program that cannot be started simply ends the wait at once.
    const Result<Prepared> p = Prepare(appDir, commandLine);
    const Result<qint64> started = p ? StartDetached(p.value()) : Result<qint64>(p.error());
    if (!started)
        return;
    const qint64 pid = started.value();

    BusyWait busy;
    QEventLoop loop;
    // The child is detached (a time-out must leave it running), so its end is watched
    // through a process file descriptor, which becomes readable when it exits.
    const int pidfd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer poll;
    if (pidfd >= 0) {
        notifier = std::make_unique<QSocketNotifier>(pidfd, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    } else {
        // Kernels without pidfd: look every few milliseconds whether the process is gone.
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
                loop.quit();
        });
        poll.start(20);
    }
    QTimer limit;
    if (!waitForever) {
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(qMax(0, timeoutMs));
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    notifier.reset();
    if (pidfd >= 0)
        ::close(pidfd);
}

} // namespace Process
