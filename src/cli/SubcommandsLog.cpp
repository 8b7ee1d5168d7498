// --log: the program logs of a configuration, as tail shows them.
#include "cli/Subcommands.h"

#include "app/Session.h"
#include "cli/ConfigurationStates.h"
#include "cli/ConsoleMessages.h"
#include "platform/FileTail.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QThread>

namespace Subcommands {

namespace {

constexpr qint64 FirstLook = 64 * 1024;
// No more of one log than this is read to find its last lines.
constexpr qint64 MostLooked = 64 * 1024 * 1024;

// The last lines lines of bytes; a last line without its line end counts.
QByteArray LastLines(const QByteArray &bytes, int lines)
{
    qsizetype at = bytes.size();
    if (bytes.endsWith('\n'))
        --at;
    for (int found = 0; at > 0; --at) {
        if (bytes[at - 1] == '\n' && ++found == lines)
            return bytes.mid(at);
    }
    return lines > 0 ? bytes : QByteArray();
}

// The last lines of path, and a tail placed after them to follow it.
std::pair<QByteArray, FileTail> Tail(const QString &path, int lines)
{
    for (qint64 look = FirstLook;; look *= 4) {
        FileTail tail(path, look);
        const QByteArray bytes = tail.ReadNew(look);
        const bool whole = bytes.size() < look || look >= MostLooked;
        if (whole || bytes.count('\n') > lines)
            return {LastLines(bytes, lines), tail};
    }
}

QString Header(const QString &path, bool first)
{
    return QStringLiteral("%1==> %2 <==\n").arg(first ? QString() : QStringLiteral("\n"), path);
}

} // namespace

int ShowLog(Session &session, const QString &file, int lines, bool follow)
{
    const Result<ConfigList::Listing> listing = ConfigList::ListFolder(session.ConfigDirectory());
    const Result<QString> name = listing ? ConfigurationStates::NameOf(session.ConfigDirectory(), listing.value(), file)
                                         : Result<QString>(listing.error());
    if (!name) {
        PrintError(name.error().description);
        return listing ? UnknownFile : Failed;
    }
    const QString path = session.ConfigDirectory() + u'/' + name.value();
    QMap<QString, FileTail> tails;
    QString lastShown;
    // Like tail with several files: a header whenever the file changes.
    auto show = [&](const QString &log, const QByteArray &bytes) {
        if (bytes.isEmpty())
            return;
        if (lastShown != log)
            PrintOutput(Header(log, std::exchange(lastShown, log).isEmpty()));
        PrintOutput(bytes);
    };
    const QStringList logs = RunRegister::LogFilesOf(session.AppDir(), path);
    if (logs.size() == 1)
        lastShown = logs[0]; // one log alone goes without a header
    for (const QString &log : logs) {
        auto [bytes, tail] = Tail(log, lines);
        if (lastShown != log)
            PrintOutput(Header(log, std::exchange(lastShown, log).isEmpty()));
        show(log, bytes);
        tails.insert(log, tail);
    }
    if (logs.isEmpty()) {
        PrintError(QStringLiteral("No program log of %1 yet in %2.")
                       .arg(name.value(), QDir::toNativeSeparators(session.DefaultLogDirectory())));
        if (!follow)
            return Failed;
    }
    // Until Ctrl+C, as tail -f; a log that appears meanwhile (a first start) is shown whole.
    while (follow) {
        QThread::msleep(250);
        for (const QString &log : RunRegister::LogFilesOf(session.AppDir(), path)) {
            auto tail = tails.find(log);
            if (tail == tails.end())
                tail = tails.insert(log, FileTail(log, MostLooked));
            show(log, tail->ReadNew(4 * FirstLook));
        }
    }
    return Done;
}

} // namespace Subcommands
