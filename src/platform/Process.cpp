#include "platform/Process.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>

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

// Starts the program on its own: it outlives us and is never stopped by us.
Result<void> StartDetached(const Prepared &p)
{
    QProcess process;
    process.setProgram(p.program);
    process.setArguments(p.arguments);
    process.setWorkingDirectory(QDir::currentPath());
    if (process.startDetached())
        return {};
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
    return StartDetached(p.value());
}

} // namespace Process
