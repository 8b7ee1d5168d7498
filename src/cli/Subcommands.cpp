#include "cli/Subcommands.h"

#include "cli/ConsoleMessages.h"

#include <QSet>

#include <variant>

namespace Subcommands {

namespace {

const QStringList Names = {"--list", "--status", "--run", "--stop", "--log"};

struct Options
{
    QString command;
    QStringList files;
    bool json = false, again = false, follow = false;
    int timeout = 30, grace = 10, lines = 10;
};

// Which options each subcommand takes, and how many files (-1: any number).
struct Grammar
{
    QSet<QString> flags;
    QSet<QString> valued;
    int files;
};

Grammar GrammarOf(const QString &command)
{
    if (command == QLatin1String("--list"))
        return {{"--json"}, {}, 0};
    if (command == QLatin1String("--status"))
        return {{"--json"}, {}, -1};
    if (command == QLatin1String("--run"))
        return {{"--again"}, {"--timeout"}, 1};
    if (command == QLatin1String("--stop"))
        return {{}, {"--grace"}, 1};
    return {{"--follow"}, {"--lines"}, 1};
}

// The options of arguments; a text that says what is wrong otherwise.
std::variant<Options, QString> Parse(const QStringList &arguments)
{
    Options o;
    o.command = arguments.value(0);
    const Grammar grammar = GrammarOf(o.command);
    bool filesOnly = false; // after "--", as getopt does: a file may begin with "-"
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (filesOnly) {
            o.files << a;
        } else if (a == QLatin1String("--")) {
            filesOnly = true;
        } else if (grammar.flags.contains(a)) {
            (a == QLatin1String("--json") ? o.json : a == QLatin1String("--again") ? o.again : o.follow) = true;
        } else if (grammar.valued.contains(a)) {
            bool ok = false;
            const int value = arguments.value(++i).toInt(&ok);
            // A day is more than any wait an operator means.
            if (!ok || value < 0 || value > 86400)
                return QStringLiteral("%1 takes a whole number of 0 to 86400, not \"%2\"").arg(a, arguments.value(i));
            (a == QLatin1String("--timeout") ? o.timeout : a == QLatin1String("--grace") ? o.grace : o.lines) = value;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return QStringLiteral("%1 does not take the option %2").arg(o.command, a);
        } else {
            o.files << a;
        }
    }
    if (grammar.files == 0 && !o.files.isEmpty())
        return QStringLiteral("%1 takes no file name (%2)").arg(o.command, o.files.join(u' '));
    if (grammar.files == 1 && o.files.size() != 1)
        return QStringLiteral("%1 takes one configuration file name").arg(o.command);
    if (o.command == QLatin1String("--run") && o.timeout == 0)
        return QStringLiteral("--timeout takes at least 1 second");
    return o;
}

} // namespace

bool IsSubcommand(const QString &argument) { return Names.contains(argument); }

int Run(Session &session, const QStringList &arguments)
{
    const std::variant<Options, QString> parsed = Parse(arguments);
    if (const QString *wrong = std::get_if<QString>(&parsed)) {
        PrintError(*wrong + QStringLiteral("; see --help."));
        return BadCommandLine;
    }
    const Options &o = std::get<Options>(parsed);
    if (o.command == QLatin1String("--list"))
        return List(session, o.json);
    if (o.command == QLatin1String("--status"))
        return ShowStatus(session, o.files, o.json);
    if (o.command == QLatin1String("--run"))
        return Start(session, o.files[0], o.again, o.timeout);
    if (o.command == QLatin1String("--stop"))
        return Stop(session, o.files[0], o.grace);
    return ShowLog(session, o.files[0], o.lines, o.follow);
}

} // namespace Subcommands
