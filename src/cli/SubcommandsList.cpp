// --list and --status: the configurations of lib/ and what runs for them.
#include "cli/Subcommands.h"

#include "app/Session.h"
#include "cli/ConfigurationStates.h"
#include "cli/ConsoleMessages.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

namespace Subcommands {

namespace {

using ConfigurationStates::State;

// What runs; a register that cannot be read is told, and nothing is taken to run.
QList<RunRecord> RunningRecords(const Session &session)
{
    Result<QList<RunRecord>> records = RunRegister::Read(session.AppDir());
    if (!records) {
        PrintError(QStringLiteral("What runs is not known: %1").arg(records.error().description));
        return {};
    }
    return std::move(records.value());
}

QByteArray JsonOf(const Session &session, const QList<State> &states, QJsonObject top)
{
    const auto appNames = [&session](qint16 code) { return session.AppName(code); };
    QJsonArray configurations;
    for (const State &s : states)
        configurations.append(ConfigurationStates::ToJson(s, session.ConfigDirectory(), appNames));
    top.insert(QStringLiteral("folder"), session.ConfigDirectory());
    top.insert(QStringLiteral("configurations"), configurations);
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

} // namespace

int List(Session &session, bool json)
{
    session.LoadSharedTexts();
    const Result<ConfigurationStates::Folder> folder =
        ConfigurationStates::ReadFolder(session.ConfigDirectory(), RunningRecords(session));
    if (!folder) {
        PrintError(QStringLiteral("%1 cannot be read: %2")
                       .arg(QDir::toNativeSeparators(session.ConfigDirectory()), folder.error().description));
        return Failed;
    }
    const QList<State> &states = folder.value().states;
    const int leftOut = folder.value().leftOut;
    if (json) {
        PrintOutput(JsonOf(session, states, {{"leftOut", leftOut}}));
    } else {
        PrintOutput(ConfigurationStates::ListText(states, [&session](qint16 code) { return session.AppName(code); }));
        if (leftOut > 0)
            PrintError(QStringLiteral("%1 more configuration files beyond the first %2 are not listed.")
                           .arg(leftOut)
                           .arg(ConfigList::MaxListed));
    }
    return Done;
}

int ShowStatus(Session &session, const QStringList &files, bool json)
{
    session.LoadSharedTexts();
    const QString folder = session.ConfigDirectory();
    const Result<ConfigList::Listing> listing = ConfigList::ListFolder(folder);
    if (!listing) {
        PrintError(QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(folder), listing.error().description));
        return Failed;
    }
    const QList<RunRecord> records = RunningRecords(session);
    QList<State> states;
    bool unknown = false;
    if (files.isEmpty()) {
        // Without names: every configuration something runs for.
        for (const DirectoryListing::Entry &file : listing.value().files) {
            const QList<RunRecord> running = RunningState::Of(records, folder + u'/' + file.name);
            if (!running.isEmpty())
                states << State{file.name, ConfigList::ReadFile(folder, file.name, file.kind), running};
        }
    }
    for (const QString &file : files) {
        const Result<QString> name = ConfigurationStates::NameOf(folder, listing.value(), file);
        if (!name) {
            PrintError(name.error().description);
            unknown = true;
            continue;
        }
        states << State{name.value(), ConfigList::ReadFile(folder, name.value()),
                        RunningState::Of(records, folder + u'/' + name.value())};
    }
    PrintOutput(json ? JsonOf(session, states, {}) : ConfigurationStates::StatusText(states).toLocal8Bit());
    if (unknown)
        return UnknownFile;
    const bool allRun = std::all_of(states.cbegin(), states.cend(), [](const State &s) { return !s.running.isEmpty(); });
    return !allRun || states.isEmpty() ? NotRunning : Done;
}

} // namespace Subcommands
