#include "app/CommandLineMode.h"

#include "app/SecurityChecks.h"
#include "app/Session.h"
#include "config/ConfigFormat.h"
#include "config/ConfigListReader.h"
#include "config/MergeSplitJournal.h"
#include "config/ReadBackCheck.h"
#include "platform/FileIo.h"
#include "platform/SharedFolder.h"

#include <cstdio>

namespace {

const QString NothingWritten = QStringLiteral(" No configuration file was written.");

QString FileNameOf(const ConfigRecord &c) { return c.database + u'_' + c.SatelliteAppln + QLatin1String(".tsy"); }

} // namespace

Result<ConfigRecord> ParseCommandLine(const QString &arguments)
{
    const QStringList fields = arguments.split(QStringLiteral(":::"));
    if (fields.size() < 8)
        return Failure{ErrorNumber::InvalidValue,
                       QStringLiteral("The command line holds %1 field(s) separated by \":::\"; "
                                      "eight are needed (product code, platform, DSN, database, "
                                      "database server, user, password, bus component).")
                           .arg(fields.size())};
    ConfigRecord config;
    QString ConfigRecord::*const order[] = {
        &ConfigRecord::SatelliteAppln, &ConfigRecord::ldbp, &ConfigRecord::dsn, &ConfigRecord::database,
        &ConfigRecord::dbmachinename, &ConfigRecord::user, &ConfigRecord::password, &ConfigRecord::lhbuscomponent};
    for (int i = 0; i < 8; ++i)
        config.*order[i] = fields[i];
    config.savepass = QStringLiteral("1");
    config.autologin = QStringLiteral("1");
    return config;
}

QString WhyFieldsRefused(const ConfigRecord &c)
{
    if (!ConfigFormat::ProductCodeOf(c.SatelliteAppln))
        return QStringLiteral("The product code (field 1) \"%1\" is not 4009, 4010 or 1028.").arg(c.SatelliteAppln);
    const Result<qint16> platform = ConfigFormat::PlatformOf(c.ldbp);
    if (!platform || (platform.value() != FirstPlatform && platform.value() != ServerNamePlatform))
        return QStringLiteral("The platform (field 2) \"%1\" is not 1 or 2.").arg(c.ldbp);
    if (c.database.isEmpty())
        return QStringLiteral("The database (field 4) \"\" is empty; it names the configuration file.");
    if (!FileIo::IsValidFileName(FileNameOf(c)))
        return QStringLiteral("The database (field 4) \"%1\" makes the file name \"%2\", which is not a valid "
                              "file name (it may not hold \\ / : * ? \" < > | or control characters).")
            .arg(c.database, FileNameOf(c));
    return QString();
}

QString CommandLineUsage(const QString &command)
{
    return QStringLiteral(
        "Usage: %1\n"
        "       %1 'PRODUCT:::PLATFORM:::DSN:::DATABASE:::SERVER:::USER:::PASSWORD:::BUSCOMPONENT'\n"
        "       %1 --check\n"
        "       %1 --list [--json]\n"
        "       %1 --status [FILE...] [--json]\n"
        "       %1 --run FILE [--again] [--timeout SECONDS]\n"
        "       %1 --stop FILE [--grace SECONDS]\n"
        "       %1 --log FILE [--follow] [--lines N]\n"
        "       %1 --help | -h | --version\n"
        "\n"
        "Without arguments the window opens. With eight fields separated by \":::\" one new\n"
        "configuration file, lib/DATABASE_PRODUCT.tsy beside the program, is written (an existing\n"
        "one is replaced) and the program ends without a window. The arguments are joined with\n"
        "blanks into one text before it is split, so quote the whole text. Values are taken as\n"
        "they stand, blanks included; fields after the eighth are ignored.\n"
        "\n"
        "  1 PRODUCT      product code: 4009 Fieldmark, 4010 Webtrell, 1028 Rostrum\n"
        "  2 PLATFORM     database platform: 1 or 2\n"
        "  3 DSN          ODBC data source name of the application database\n"
        "  4 DATABASE     database name; it names the file\n"
        "  5 SERVER       database server machine\n"
        "  6 USER         database user\n"
        "  7 PASSWORD     database password, stored scrambled\n"
        "  8 BUSCOMPONENT Ledgerhall bus component\n"
        "\n"
        "Example:\n"
        "  %1 '1028:::1:::SALESDSN:::SALES:::dbhost:::sa:::secret:::cn=Sales, o=Norwen'\n"
        "  writes lib/SALES_1028.tsy\n"
        "\n"
        "--check reads every configuration of lib/ as the list does and prints one line for\n"
        "each that cannot be read, holds a password others may read, or whose values a reader\n"
        "would read back changed; and one for each Merge and Split a kill interrupted and each\n"
        "temporary file of an interrupted write that could not be removed.\n"
        "\n"
        "What runs, as the window does it (the same register, checks, logs and Stop), without\n"
        "a display; FILE is a configuration of lib/, \".tsy\" may be left out:\n"
        "  --list          every configuration: file, application, DSN, database, user, and\n"
        "                  what runs (kind, pid, user, since) or why it cannot be read\n"
        "  --status        what runs for each FILE named; without FILE, for every configuration\n"
        "                  that has something running\n"
        "  --json          (--list, --status) one JSON document for scripts\n"
        "  --run           starts FILE as the window's Run does (a joint file: its consoles,\n"
        "                  the Java server after the database checks, its dispatchers) and\n"
        "                  prints what it started; refused while it runs unless --again is\n"
        "                  given; a database that does not answer is given up after --timeout\n"
        "                  seconds (30)\n"
        "  --stop          stops what runs for FILE: SIGTERM, then SIGKILL after --grace\n"
        "                  seconds (10); prints what ended\n"
        "  --log           the last --lines lines (10) of FILE's program logs; --follow keeps\n"
        "                  printing what they write until Ctrl+C\n"
        "\n"
        "Exit status: 0 written, 1 the file could not be written, 2 a bad command line (fewer\n"
        "than eight fields, or a field the program could not read back). --check: 0 nothing\n"
        "to name, 1 otherwise. --list, --status, --run, --stop, --log: 0 done\n"
        "(--status: every FILE runs; --stop: nothing of FILE runs afterwards), 1 not done (not\n"
        "everything started or stopped, no log, lib/ unreadable), 2 a bad command line,\n"
        "3 (--status) a FILE named runs nothing, or without FILE nothing runs at all, 4 FILE is\n"
        "no configuration of lib/, 5 (--run) FILE runs already and --again was not given.\n")
        .arg(command);
}

QStringList CheckConfigurations(const QString &folder)
{
    const Result<ConfigList::Listing> listing = ConfigList::ListFolder(folder);
    if (!listing)
        return {QStringLiteral("%1: the folder cannot be read: %2").arg(folder, listing.error().description)};
    QStringList lines = listing.value().leftTemporaries;
    for (const DirectoryListing::Entry &file : listing.value().files) {
        const ConfigList::ListedFile listed = ConfigList::ReadFile(folder, file.name, file.kind);
        const QString path = folder + u'/' + file.name;
        if (listed.presence != ConfigList::ListedFile::Presence::Listed)
            continue; // gone or replaced by a folder since the listing
        if (!listed.unreadable.isEmpty()) {
            lines << QStringLiteral("%1: cannot be read: %2").arg(path, listed.unreadable);
            continue;
        }
        if (listed.PasswordReadableByOthers())
            lines << QStringLiteral("%1: holds a password and is readable by others (mode %2); chmod o-rwx it")
                         .arg(path, QString::number(listed.identity.mode & 07777, 8));
        // Read again: the list's reader keeps no text, and the servers read the file by name.
        const Result<QString> text = FileIo::ReadAnsiText(path);
        if (!text)
            lines << QStringLiteral("%1: cannot be read: %2").arg(path, text.error().description);
        else if (const QString why = ReadBackCheck::WhyChanged(text.value()).English(); !why.isEmpty())
            lines << QStringLiteral("%1: %2").arg(path, why);
    }
    if (listing.value().leftOut > 0)
        lines << QStringLiteral("%1: %2 more configuration files beyond the first %3 are not listed")
                     .arg(folder)
                     .arg(listing.value().leftOut)
                     .arg(ConfigList::MaxListed);
    return lines;
}

bool CreateConfigFromCommandLine(Session &session, const ConfigRecord &c)
{
    const QString name = FileNameOf(c);
    const QString path = session.ConfigDirectory() + u'/' + name;
    // The name comes from the command line: refuse one that would leave the lib directory.
    const Result<void> written =
        FileIo::IsValidFileName(name)
            ? ConfigFormat::WriteFile(path, c)
            : Failure{ErrorNumber::BadFileName, QStringLiteral("Bad file name or number")};
    if (written)
        return true;
    // A script's operator needs to know which file failed and why, not only that one did.
    QString text = session.GetText(QStringLiteral("SLBL0356"));
    if (!written.error().description.isEmpty())
        text += QStringLiteral("\n\n%1: %2").arg(path, written.error().description);
    session.MsgBox(text, MsgIcon::None, MsgButtons::Ok);
    return false;
}

int RunCommandLineMode(Session &session, const QString &arguments, const QString &command)
{
    if (arguments == QLatin1String("--help") || arguments == QLatin1String("-h")) {
        std::fputs(qPrintable(CommandLineUsage(command)), stdout);
        return 0;
    }
    if (arguments == QLatin1String("--check")) {
        const QStringList lines = CheckConfigurations(session.ConfigDirectory());
        QStringList all = lines;
        // Interrupted work the operator must see to: a Merge and Split that a kill ended.
        const MergeSplitJournal::Found journals = MergeSplitJournal::Interrupted(session.AppDir());
        for (const MergeSplitJournal::Entry &entry : journals.interrupted)
            all << MergeSplitJournal::PathFor(session.AppDir(), entry.jointFile) + QStringLiteral(": ")
                       + MergeSplitJournal::Describe(entry).English()
                       + QStringLiteral(" Run it again from the window (it offers to at its start).");
        all << journals.unreadable;
        if (const Result<SharedFolder::Folder> log = SharedFolder::Folder::Open(session.AppDir() + QStringLiteral("/log")))
            all << log->RemoveLeftTemporaries();
        for (const QString &line : std::as_const(all))
            std::fputs(qPrintable(line + u'\n'), stdout);
        // The machine's warnings are the administrator's to act on; the status stays the files'.
        for (const QString &line : SecurityChecks::Warnings(session.AppDir()))
            std::fputs(qPrintable(line + u'\n'), stdout);
        return all.isEmpty() ? 0 : 1;
    }
    if (arguments == QLatin1String("--version")) {
        std::fputs("ConfigurationSelector " CS_VERSION "\n", stdout);
        return 0;
    }
    Result<ConfigRecord> parsed = ParseCommandLine(arguments);
    if (!parsed) {
        session.MsgBox(parsed.error().description + NothingWritten, MsgIcon::Critical, MsgButtons::Ok);
        return 2;
    }
    ConfigRecord &c = parsed.value();
    if (const QString why = WhyFieldsRefused(c); !why.isEmpty()) {
        session.MsgBox(why + NothingWritten, MsgIcon::Critical, MsgButtons::Ok);
        return 2;
    }
    // What writes killed before their rename left in lib/ goes first.
    if (const Result<SharedFolder::Folder> lib = SharedFolder::Folder::Open(session.ConfigDirectory()))
        lib->RemoveLeftTemporaries();
    c.logdirectory = session.DefaultLogDirectory();
    c.webdirectory.clear();
    ApplyNewConfigurationDefaults(c);
    return CreateConfigFromCommandLine(session, c) ? 0 : 1;
}
