#include "platform/Process.h"

#include "platform/FileIo.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QStandardPaths>

#include <QScopeGuard>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
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
        return Failure{ErrorNumber::FileNotFound,
                         QStringLiteral("%1: %2").arg(name.isEmpty() ? commandLine : name, qt_error_string(ENOENT))};
    return Prepared{program, parts};
}

Failure SpawnFailure(const QString &what, int error)
{
    return Failure{error == ENOENT ? ErrorNumber::FileNotFound : ErrorNumber::InvalidProcedureCall,
                     QStringLiteral("%1: %2").arg(what, qt_error_string(error))};
}

bool ReadAll(int fd, void *buffer, size_t size)
{
    auto *at = static_cast<char *>(buffer);
    while (size > 0) {
        const ssize_t n = ::read(fd, at, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        size -= size_t(n);
    }
    return true;
}

// After fork only async-signal-safe calls: everything the child needs is made before it.
[[noreturn]] void ExecChild(const char *directory, int logFd, char *const argv[], char *const envp[], int reportFd)
{
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    // Ignored signals stay ignored across exec; the programs expect the defaults.
    for (int sig : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGCHLD})
        ::signal(sig, SIG_DFL);
    int error = 0;
    // Its own session and process group: pid, group and session are one number.
    if (::setsid() < 0)
        error = errno;
    else if (::chdir(directory) != 0)
        error = errno;
    const int devNull = error ? -1 : ::open("/dev/null", O_RDONLY);
    if (!error && (devNull < 0 || ::dup2(devNull, 0) < 0))
        error = errno;
    if (!error && logFd >= 0 && (::dup2(logFd, 1) < 0 || ::dup2(logFd, 2) < 0))
        error = errno;
    if (!error) {
        // Nothing of ours but the three standard streams reaches the program.
        ::syscall(SYS_close_range, 3U, ~0U, 4U /* CLOSE_RANGE_CLOEXEC */);
        ::execve(argv[0], argv, envp);
        error = errno;
    }
    const qint32 code = error;
    (void)!::write(reportFd, &code, sizeof code);
    ::_exit(127);
}

// A line built without allocating, after fork: only async-signal-safe calls.
struct LineBuffer
{
    char data[512];
    size_t size = 0;

    void Add(const char *text, size_t length)
    {
        for (size_t i = 0; i < length && size < sizeof data; ++i)
            data[size++] = text[i];
    }
    void Add(const char *text)
    {
        size_t length = 0;
        while (text[length])
            ++length;
        Add(text, length);
    }
    void Number(long long value, int width = 0)
    {
        char digits[24];
        int n = 0;
        const bool negative = value < 0;
        unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
        do {
            digits[n++] = char('0' + v % 10);
            v /= 10;
        } while (v && n < 20);
        while (n < width && n < 20)
            digits[n++] = '0';
        if (negative)
            Add("-");
        while (n > 0)
            Add(&digits[--n], 1);
    }
    // "2026-12-07T07:14:03" of seconds since the epoch, already moved to local time.
    void Time(long long t)
    {
        long long days = t / 86400, seconds = t % 86400;
        if (seconds < 0)
            seconds += 86400, --days;
        // Days to the civil date (proleptic Gregorian calendar).
        const long long z = days + 719468, era = (z >= 0 ? z : z - 146096) / 146097, doe = z - era * 146097;
        const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
        const long long day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
        Number(yoe + era * 400 + (month <= 2), 4);
        Add("-"), Number(month, 2), Add("-"), Number(day, 2), Add("T");
        Number(seconds / 3600, 2), Add(":"), Number(seconds / 60 % 60, 2), Add(":"), Number(seconds % 60, 2);
    }
};

// Closes every descriptor from 3 on but keep and keep2.
void CloseAllBut(int keep, int keep2)
{
    const unsigned a = unsigned(qMin(keep, keep2)), b = unsigned(qMax(keep, keep2));
    auto closeRange = [](unsigned first, unsigned last) {
        if (first <= last)
            ::syscall(SYS_close_range, first, last, 0U);
    };
    closeRange(3, a - 1);
    closeRange(a + 1, b - 1);
    closeRange(b + 1, ~0U);
}

// The watcher: out of the caller's session, holding only the log and the report, it starts
// the program, reports its pid, waits for it and appends how it ended.
[[noreturn]] void WatchChild(const char *directory, int logFd, char *const argv[], char *const envp[], int reportFd,
                             const char *label, long long utcOffset)
{
    ::setsid();
    ::signal(SIGCHLD, SIG_DFL);
    CloseAllBut(logFd, reportFd);
    const pid_t program = ::fork();
    if (program == 0)
        ExecChild(directory, logFd, argv, envp, reportFd);
    const qint64 pid = program;
    (void)!::write(reportFd, &pid, sizeof pid);
    ::close(reportFd);
    if (program < 0)
        ::_exit(1);
    int status = 0;
    while (::waitpid(program, &status, 0) < 0) {
        if (errno != EINTR)
            ::_exit(1);
    }
    LineBuffer line;
    line.Add("==== ");
    line.Time(static_cast<long long>(::time(nullptr)) + utcOffset);
    line.Add(" ");
    line.Add(label);
    line.Add(" pid ");
    line.Number(program);
    line.Add(" ended: ");
    if (WIFSIGNALED(status))
        line.Add("signal "), line.Number(WTERMSIG(status));
    else
        line.Add("exit status "), line.Number(WEXITSTATUS(status));
    line.Add("\n");
    (void)!::write(logFd, line.data, line.size);
    ::_exit(0);
}

Result<Started> SpawnPrepared(const QString &appDir, const Prepared &p, const QString &logFile,
                              const QByteArray &marker, const QByteArray &label)
{
    // The environment is made here: after fork only async-signal-safe calls.
    QList<QByteArray> environment;
    const QByteArray markerName = marker.left(marker.indexOf('=') + 1);
    for (char **entry = environ; *entry; ++entry) {
        if (markerName.isEmpty() || !QByteArray(*entry).startsWith(markerName))
            environment << QByteArray(*entry);
    }
    if (!marker.isEmpty())
        environment << marker;
    std::vector<char *> envp;
    for (QByteArray &entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const QByteArray directory = QFile::encodeName(appDir.isEmpty() ? QDir::currentPath() : appDir);
    QList<QByteArray> args{QFile::encodeName(p.program)};
    for (const QString &argument : p.arguments)
        args << argument.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int logFd = -1;
    if (!logFile.isEmpty()) {
        // The log is in a shared folder: opened there as its files are, never through a link.
        Result<SharedFolder::Handle> log = FileIo::OpenAppend(logFile);
        if (!log)
            return log.error();
        logFd = log.value()->Release();
    }
    const auto closeLog = qScopeGuard([logFd] {
        if (logFd >= 0)
            ::close(logFd);
    });
    // The middle child, which ends at once so that the program is nobody's child here, writes
    // the program's pid; the program writes errno when its exec fails.
    // Both ends close on exec, so end of file means the program is running.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return SpawnFailure(p.program, errno);
    const pid_t middle = ::fork();
    if (middle < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return SpawnFailure(p.program, error);
    }
    // Made before the fork: nothing after it may take a lock.
    const long long utcOffset = QDateTime::currentDateTime().offsetFromUtc();
    const QByteArray labelText = label.isEmpty() ? QByteArrayLiteral("program") : label;
    if (middle == 0) {
        ::close(report[0]);
        // With a log, a watcher outlives the middle child and tells the log how the program ended.
        if (logFd >= 0) {
            const pid_t watcher = ::fork();
            if (watcher == 0)
                WatchChild(directory.constData(), logFd, argv.data(), envp.data(), report[1], labelText.constData(), utcOffset);
            ::_exit(watcher < 0 ? 1 : 0);
        }
        const pid_t program = ::fork();
        if (program == 0)
            ExecChild(directory.constData(), logFd, argv.data(), envp.data(), report[1]);
        const qint64 pid = program;
        (void)!::write(report[1], &pid, sizeof pid);
        ::_exit(program < 0 ? 1 : 0);
    }
    ::close(report[1]);
    qint64 pid = -1;
    qint32 error = 0;
    const bool gotPid = ReadAll(report[0], &pid, sizeof pid);
    const bool failed = gotPid && pid > 0 && ReadAll(report[0], &error, sizeof error);
    ::close(report[0]);
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    if (!gotPid || pid <= 0)
        return SpawnFailure(p.program, EAGAIN);
    if (failed)
        return SpawnFailure(p.program, error);
    // A program that has already ended has no start time; 0 matches no live process.
    return Started{pid, StartTimeOf(pid).value_or(0)};
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

Result<Started> Spawn(const QString &appDir, const QString &commandLine, const QString &logFile,
                      const QByteArray &marker, const QByteArray &label)
{
    const Result<Prepared> p = Prepare(appDir, commandLine);
    if (!p)
        return p.error();
    return SpawnPrepared(appDir, p.value(), logFile, marker, label);
}

QByteArray EndedMark(qint64 pid) { return " pid " + QByteArray::number(pid) + " ended: "; }

Result<void> Start(const QString &appDir, const QString &commandLine)
{
    const Result<Started> started = Spawn(appDir, commandLine);
    if (!started)
        return started.error();
    return {};
}

std::optional<quint64> StartTimeOf(qint64 pid)
{
    if (pid <= 0)
        return std::nullopt;
    char path[48];
    std::snprintf(path, sizeof path, "/proc/%lld/stat", static_cast<long long>(pid));
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0)
        return std::nullopt;
    buffer[n] = 0;
    // The name in parentheses may hold blanks and parentheses: the fields follow the last ")".
    const char *at = std::strrchr(buffer, ')');
    if (!at)
        return std::nullopt;
    // Field 3 (the state) follows; a zombie has ended, whatever its entry says.
    int field = 2;
    for (const char *c = at + 1; *c; ++c) {
        if (*c != ' ')
            continue;
        ++field;
        if (field == 3 && c[1] == 'Z')
            return std::nullopt;
        if (field == 22)
            return std::strtoull(c + 1, nullptr, 10);
    }
    return std::nullopt;
}

namespace {

// A small file of /proc whole; empty when it cannot be read.
QByteArray ReadProc(qint64 pid, const char *name)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%lld/%s", static_cast<long long>(pid), name);
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || bytes.size() > 1024 * 1024)
            break;
        bytes.append(buffer, n);
    }
    ::close(fd);
    return bytes;
}

} // namespace

std::optional<Facts> FactsOf(qint64 pid)
{
    if (pid <= 0)
        return std::nullopt;
    char path[48];
    std::snprintf(path, sizeof path, "/proc/%lld", static_cast<long long>(pid));
    struct stat st {};
    if (::stat(path, &st) != 0)
        return std::nullopt;
    const std::optional<quint64> startTime = StartTimeOf(pid);
    if (!startTime)
        return std::nullopt;
    Facts facts;
    facts.uid = st.st_uid;
    facts.startTime = *startTime;
    facts.group = ::getpgid(pid_t(pid));
    facts.workingFolder = QFileInfo(QString::fromLatin1(path) + QStringLiteral("/cwd")).canonicalFilePath();
    facts.output = QFileInfo(QString::fromLatin1(path) + QStringLiteral("/fd/1")).canonicalFilePath();
    for (const QByteArray &argument : ReadProc(pid, "cmdline").split('\0'))
        facts.arguments << QFile::decodeName(argument);
    if (!facts.arguments.isEmpty() && facts.arguments.last().isEmpty())
        facts.arguments.removeLast();
    facts.environment = ReadProc(pid, "environ");
    // Gone meanwhile: what was read may be of a later process with the same pid.
    if (StartTimeOf(pid) != startTime)
        return std::nullopt;
    return facts;
}

QList<qint64> GroupLeadersOfThisUser()
{
    QList<qint64> leaders;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return leaders;
    const uid_t self = ::getuid();
    while (const dirent *e = ::readdir(proc)) {
        char *end = nullptr;
        const long long pid = std::strtoll(e->d_name, &end, 10);
        if (pid <= 1 || !end || *end)
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(proc), e->d_name, &st, 0) != 0 || st.st_uid != self)
            continue;
        if (::getpgid(pid_t(pid)) == pid_t(pid))
            leaders << pid;
    }
    ::closedir(proc);
    return leaders;
}

QDateTime StartedAt(quint64 startTime)
{
    static const qint64 boot = [] {
        const QByteArray stat = ReadProc(::getpid(), "../stat");
        for (const QByteArray &line : stat.split('\n')) {
            if (line.startsWith("btime "))
                return line.mid(6).trimmed().toLongLong();
        }
        return qint64(0);
    }();
    const long ticks = ::sysconf(_SC_CLK_TCK);
    return QDateTime::fromMSecsSinceEpoch(boot * 1000 + qint64(startTime) * 1000 / (ticks > 0 ? ticks : 100));
}

std::optional<QByteArray> EnvironmentValue(const QByteArray &environment, const QByteArray &name)
{
    const QByteArray prefix = name + '=';
    for (const QByteArray &entry : environment.split('\0')) {
        if (entry.startsWith(prefix))
            return entry.mid(prefix.size());
    }
    return std::nullopt;
}

} // namespace Process
