#include "ui/main/MainCommands.h"

#include "app/Session.h"
#include "config/ConfigFileRename.h"
#include "config/ConfigStore.h"
#include "config/MergeSplitPair.h"
#include "platform/FileIo.h"
#include "suite/Launching.h"
#include "suite/RunCommand.h"
#include "suite/RunRegister.h"
#include "suite/RunStop.h"
#include "ui/Controls.h"
#include "ui/dialogs/frmAbout.h"
#include "ui/editor/frmEditConfiguration.h"
#include "ui/main/FileList.h"
#include "ui/main/RunningView.h"
#include "ui/WindowTitle.h"
#include "ui/main/frmProgramLog.h"
#include "ui/mergesplit/frmEditConfigurationMergeSplit.h"
#include "ui/mergesplit/frmMergeAndSplit.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMap>
#include <QUrl>
#include <QWidget>

#include <algorithm>

#include <unistd.h>
#include <utility>

namespace {

SuiteContext SuiteOf(Session &session) { return {session.AppDir(), session.Messenger(), session.Texts()}; }

// What a command acts on: the rows that must be highlighted for it to be offered.
enum class Rows { None, One, Any, OneReadable, TwoReadable };

} // namespace

struct MainCommands::Rule
{
    Command command;
    Rows rows;
    // Its files must still be the versions listed.
    bool asListed;
    void (MainCommands::*body)(const Targets &);
};

// The enabling table: what each command acts on, and whether it acts on the files themselves.
const MainCommands::Rule &MainCommands::RuleOf(Command command)
{
    static const Rule rules[] = {
        {Command::New, Rows::None, false, &MainCommands::New},
        {Command::Update, Rows::One, true, &MainCommands::Update},
        {Command::Rename, Rows::Any, true, &MainCommands::Rename},
        // Checked once the question is answered: a file may change while it is open.
        {Command::Delete, Rows::Any, false, &MainCommands::Delete},
        {Command::MergeSplit, Rows::TwoReadable, true, &MainCommands::MergeSplit},
        {Command::Run, Rows::OneReadable, true, &MainCommands::Run},
        {Command::RunJavaServer, Rows::Any, true, &MainCommands::RunJavaServer},
        {Command::Stop, Rows::Any, false, &MainCommands::Stop},
        {Command::ShowLog, Rows::One, false, &MainCommands::ShowLog},
        {Command::Refresh, Rows::None, false, &MainCommands::Refresh},
        {Command::Exit, Rows::None, false, &MainCommands::Exit},
        {Command::About, Rows::None, false, &MainCommands::About},
    };
    static_assert(std::size(rules) == size_t(Command::Count), "one row per command");
    Q_ASSERT(rules[int(command)].command == command);
    return rules[int(command)];
}

MainCommands::MainCommands(Session &session, FileList &list, QWidget *window)
    : QObject(window), m_session(session), m_list(list), m_window(window)
{
    m_list.SetEditFinisher([this] { FinishRename(); });
}

void MainCommands::Bind(Command command, QAction *action)
{
    m_actions[size_t(command)] = action;
    connect(action, &QAction::triggered, this, [this, command] { Execute(command); });
}

bool MainCommands::Fits(const Rule &rule, const QStringList &names) const
{
    const auto readable = [this](const QString &name) {
        const ConfigList::ListedFile *file = m_list.FileOf(name);
        return file && file->unreadable.isEmpty();
    };
    // A row of programs whose file is gone: only they are there to stop or to read the logs of.
    if (rule.command != Command::Stop && rule.command != Command::ShowLog
        && std::any_of(names.cbegin(), names.cend(), [this](const QString &name) { return m_list.IsOrphanRow(name); }))
        return false;
    switch (rule.rows) {
    case Rows::None: return true;
    case Rows::One: return names.size() == 1;
    case Rows::Any: return !names.isEmpty() && (rule.command != Command::Stop || !m_stopper);
    case Rows::OneReadable: return names.size() == 1 && readable(names[0]);
    case Rows::TwoReadable: return names.size() == 2 && readable(names[0]) && readable(names[1]);
    }
    return false;
}

bool MainCommands::IsEnabled(Command command) const { return Fits(RuleOf(command), m_list.Highlighted()); }

void MainCommands::UpdateEnabling()
{
    const QStringList names = m_list.Highlighted();
    for (size_t c = 0; c < m_actions.size(); ++c) {
        if (m_actions[c])
            m_actions[c]->setEnabled(Fits(RuleOf(Command(c)), names));
    }
}

MainCommands::Targets MainCommands::Resolve() const
{
    Targets targets;
    targets.names = m_list.Highlighted();
    targets.name = m_list.Target();
    if (!targets.name.isEmpty()) {
        targets.path = m_session.ConfigDirectory() + u'/' + targets.name;
        const ConfigList::ListedFile *file = m_list.FileOf(targets.name);
        targets.joint = file && file->joint;
    }
    return targets;
}

void MainCommands::Execute(Command command)
{
    // The preamble every command shares.
    FinishRename();
    const Rule &rule = RuleOf(command);
    Targets targets = Resolve();
    if (!Fits(rule, targets.names))
        return;
    if (rule.asListed) {
        if (!m_list.StillAsListed(targets.names))
            return;
        targets = Resolve();
    }
    // What an earlier command did is not this one's outcome: it goes, and this one's follows.
    m_list.Tell(QString());
    (this->*rule.body)(targets);
}

void MainCommands::FinishRename()
{
    QString fileName, typed;
    if (m_list.TakeRename(&fileName, &typed))
        Renamed(fileName, typed);
}

void MainCommands::Activate(const QString &name)
{
    if (IsEnabled(Command::Run))
        Execute(Command::Run);
    else if (const ConfigList::ListedFile *file = m_list.FileOf(name); file && !file->unreadable.isEmpty())
        m_list.Tell(m_session.Text("CS_MAIN_CANNOT_RUN", name, m_session.Text(file->why)));
}

void MainCommands::Refresh(const Targets &) { m_list.Refresh(FileList::Cause::Command); }

void MainCommands::New(const Targets &)
{
    QStringList highlight = m_list.Highlighted();
    QString current = m_list.Current();
    QString saved;
    {
        const auto hold = m_list.HoldStill();
        frmEditConfiguration editor(m_session, QString());
        if (editor.Load())
            editor.exec();
        saved = editor.SavedPath();
    }
    // A configuration saved by the editor is the one highlighted afterwards.
    if (!saved.isEmpty()) {
        current = QFileInfo(saved).fileName();
        highlight = QStringList{current};
        m_list.Tell(m_session.Text("CS_MAIN_SAVED", current));
    }
    m_list.Refresh(highlight, current, FileList::Cause::AfterCommand);
}

void MainCommands::Update(const Targets &targets)
{
    {
        const auto hold = m_list.HoldStill();
        if (targets.joint) {
            frmEditConfigurationMergeSplit editor(m_session, targets.path);
            editor.Load();
            editor.exec();
        } else {
            // No file yet: the editor makes a new one under the default name.
            frmEditConfiguration editor(m_session, targets.path);
            if (editor.Load())
                editor.exec();
            if (!editor.SavedPath().isEmpty())
                m_list.Tell(m_session.Text("CS_MAIN_SAVED", QFileInfo(editor.SavedPath()).fileName()));
        }
    }
    m_list.Refresh(FileList::Cause::AfterCommand);
}

void MainCommands::Rename(const Targets &targets)
{
    // With several rows highlighted the current one is edited; the file renamed is that row's.
    m_list.StartRename(targets.name);
}

void MainCommands::Renamed(const QString &fileName, const QString &typed)
{
    if (fileName.isEmpty() || typed == fileName)
        return;
    const QString newName = ConfigStore::StoredConfigFileName(typed);
    QString why;
    // The refusal repeats what was typed, and the edit opens again holding it for correction.
    const QString typedLine = QStringLiteral("\r\n\r\n\"%1\"").arg(typed);
    if (newName.isEmpty()) {
        why = m_session.Text("CS_MAIN_RENAME_NO_NAME");
        m_session.MsgBox(m_window, m_session.GetText(QStringLiteral("SLBL0154")) + typedLine, MsgIcon::Critical);
    } else if (!FileIo::IsValidFileName(newName)) {
        why = m_session.Text("CS_MAIN_RENAME_BAD_CHARACTER");
        m_session.MsgBox(m_window, m_session.GetText(QStringLiteral("SLBL0357")) + typedLine, MsgIcon::Critical);
    } else if (newName == fileName) {
        // Typing the name without its extension names the same file: nothing to move.
        return;
    } else if (!m_list.FileOf(fileName) || !m_list.StillAsListed({fileName})) {
        // Moved or changed meanwhile: the list has caught up and says so.
        return;
    } else {
        const auto renameIt = [this, fileName, newName] { RenameNow(fileName, newName); };
        if (StopFirst({fileName}, m_session.Text("CS_MAIN_ACTION_RENAME", newName), renameIt) == Go::Now)
            renameIt();
        return;
    }
    m_list.Tell(m_session.Text("CS_MAIN_NOT_RENAMED_TYPED", fileName, typed, why));
    m_list.StartRename(fileName, typed);
}

void MainCommands::RenameNow(const QString &fileName, const QString &newName)
{
    if (const Result<void> renamed = RenameConfigFile(m_session.ConfigDirectory(), fileName, newName); !renamed) {
        m_session.MsgBox(m_window, m_session.Text(renamed.error().Text()));
        m_list.Tell(m_session.Text("CS_MAIN_NOT_RENAMED", fileName, newName, m_session.Text(renamed.error().Text())));
        m_list.StartRename(fileName, newName);
        return;
    }
    m_list.Tell(m_session.Text("CS_MAIN_RENAMED", fileName, newName));
    // What runs for it goes with it; a later file under the old name is another one.
    const QString folder = m_session.ConfigDirectory() + u'/';
    if (const Result<void> told = RunRegister::FileMoved(m_session.AppDir(), folder + fileName, folder + newName); !told)
        m_list.Tell(m_session.Text("CS_MAIN_RENAMED_UNREGISTERED", fileName, newName, told.error().description));
    // The list is read again, sorted, and keeps what was highlighted, the renamed row under its new name.
    QStringList highlight = m_list.Highlighted();
    QString current = m_list.Current();
    for (QString &name : highlight) {
        if (name == fileName)
            name = newName;
    }
    if (current == fileName)
        current = newName;
    const QSet<QString> moved{fileName, newName};
    m_list.Refresh(highlight, current, FileList::Cause::AfterCommand, &moved);
}

void MainCommands::Delete(const Targets &targets)
{
    // One question naming every file; Enter answers No.
    if (m_session.MsgBox(m_window, m_session.GetText(QStringLiteral("SLBL0029")) + QStringLiteral("\r\n\r\n")
                             + targets.names.join(QStringLiteral("\r\n")),
                         MsgIcon::None, MsgButtons::YesNoDefaultNo)
        != MsgResult::Yes) {
        m_list.Tell(m_session.Text("CS_MAIN_NOTHING_DELETED_KEPT", targets.names.join(QStringLiteral(", "))));
        return;
    }
    if (!m_list.StillAsListed(targets.names))
        return;
    const QStringList names = targets.names;
    const auto deleteThem = [this, names] { DeleteNow(names); };
    if (StopFirst(names, m_session.Text("CS_MAIN_ACTION_DELETE"), deleteThem) == Go::Now)
        deleteThem();
}

void MainCommands::DeleteNow(const QStringList &names)
{
    QStringList deleted, kept;
    for (const QString &name : names)
        (DeleteConfigFile(name) ? deleted : kept) << name;
    // Programs still running for a deleted file keep a row of their own, so Stop reaches them.
    for (const QString &name : std::as_const(deleted))
        [[maybe_unused]] const Result<void> told =
            RunRegister::FileMoved(m_session.AppDir(), m_session.ConfigDirectory() + u'/' + name, QString());
    QString outcome = deleted.isEmpty() ? m_session.Text("CS_MAIN_NOTHING_DELETED")
                                        : m_session.Text("CS_MAIN_DELETED", deleted.join(QStringLiteral(", ")));
    if (!kept.isEmpty())
        outcome += m_session.Text("CS_MAIN_NOT_DELETED", kept.join(QStringLiteral(", ")));
    m_list.Tell(outcome);
    const QSet<QString> gone(deleted.cbegin(), deleted.cend());
    m_list.Refresh(FileList::Cause::AfterCommand, &gone);
}

bool MainCommands::DeleteConfigFile(const QString &name)
{
    const Result<void> deleted = FileIo::DeleteFile(m_session.ConfigDirectory() + u'/' + name);
    if (deleted)
        return true;
    // Named, with the reason: with several files the user must see which one stayed.
    m_session.MsgBox(m_window, m_session.GetText(QStringLiteral("SLBL0119")) + QStringLiteral("\r\n") + name
                         + QStringLiteral(": ") + deleted.error().description,
                     MsgIcon::Information);
    return false;
}

void MainCommands::MergeSplit(const Targets &targets)
{
    // Only the rows highlighted now count: names picked by an earlier attempt are forgotten.
    QList<ConfigEntry> picked;
    for (const QString &name : targets.names)
        picked << m_list.FileOf(name)->entry;
    const MergeSplitPair::Pick pick = MergeSplitPair::Choose(picked);
    switch (pick.verdict) {
    case MergeSplitPair::Verdict::Refused: {
        const QString invalid = m_session.Text("CS_MAIN_INVALID_PRODUCTS");
        m_session.MsgBox(m_window, invalid);
        m_list.Tell(m_session.Text("CS_MAIN_MERGE_SPLIT_REFUSED", targets.names.join(QStringLiteral(", ")), invalid));
        return;
    }
    case MergeSplitPair::Verdict::Pair: {
        {
            const auto hold = m_list.HoldStill();
            // A database that cannot be reached is told by the dialog's load.
            frmMergeAndSplit publisher(m_session, pick.files, m_window);
            if (publisher.Load(picked))
                publisher.exec();
        }
        m_list.Refresh(FileList::Cause::AfterCommand);
        return;
    }
    case MergeSplitPair::Verdict::NoPair: break;
    }
    m_list.Tell(m_session.Text("CS_MAIN_MERGE_SPLIT_NEEDS_PAIR"));
}

void MainCommands::Run(const Targets &targets)
{
    const QString &name = targets.name;
    const RunOutcome run = RunConfiguration(SuiteOf(m_session), targets.path, targets.joint,
                                            [&](const QList<RunRecord> &running) { return ConfirmSecondStart(targets, running); });
    const bool started = run.verdict == RunOutcome::Verdict::Started;
    if (run.verdict == RunOutcome::Verdict::RunningAlready)
        m_list.Tell(m_session.Text("CS_MAIN_RUNNING_ALREADY", name));
    else if (targets.joint)
        m_list.Tell(m_session.Text(started ? "CS_MAIN_JOINT_STARTED" : "CS_MAIN_JOINT_NOT_STARTED", name));
    else
        m_list.Tell(m_session.Text(started ? "CS_MAIN_CONSOLE_STARTED" : "CS_MAIN_CONSOLE_NOT_STARTED", name));
}

bool MainCommands::ConfirmSecondStart(const Targets &targets, const QList<RunRecord> &running)
{
    const QString text = m_session.Text("CS_MAIN_START_AGAIN", targets.name,
                                        RunningState::Details(running, &m_session.Texts()).replace(u'\n', QStringLiteral("\r\n")));
    return m_session.MsgBox(m_window, text, MsgIcon::Question, MsgButtons::YesNoDefaultNo) == MsgResult::Yes;
}

void MainCommands::RunJavaServer(const Targets &targets)
{
    QList<ConfigEntry> entries;
    for (const QString &name : targets.names) {
        if (const ConfigList::ListedFile *file = m_list.FileOf(name); file && file->unreadable.isEmpty())
            entries << file->entry;
    }
    ::RunJavaServer(SuiteOf(m_session), entries);
}

QString MainCommands::RunningText(const QList<RunRecord> &records) const
{
    QStringList lines;
    QMap<QString, QList<RunRecord>> byFile;
    for (const RunRecord &r : records)
        byFile[RunningState::RowName(r)] << r;
    for (auto it = byFile.cbegin(); it != byFile.cend(); ++it)
        lines << it.key() + u':' << RunningState::Details(it.value(), &m_session.Texts()).prepend(QStringLiteral("  ")).replace(u'\n', QStringLiteral("\r\n  "));
    return lines.join(QStringLiteral("\r\n"));
}

QString MainCommands::RunningOf(const QStringList &names, QList<RunRecord> *chosen) const
{
    const QList<RunRecord> records = RunRegister::Read(m_session.AppDir()).value_or({});
    const QMap<QString, QList<RunRecord>> byRow = RunningState::ByRow(records, m_session.ConfigDirectory());
    QList<RunRecord> running;
    for (const QString &name : names)
        running << byRow.value(name);
    if (chosen)
        *chosen = running;
    return RunningText(running);
}

bool MainCommands::MayClose()
{
    if (m_closeConfirmed || m_session.QuitRequested())
        return true;
    if (m_stopper) {
        const MsgResult answer = m_session.MsgBox(
            m_window, m_session.Text("CS_MAIN_CLOSE_DURING_STOP"),
            MsgIcon::Question, MsgButtons::YesNoCancel);
        m_closeAfterStop = answer == MsgResult::Yes;
        m_closeConfirmed = answer == MsgResult::No;
        if (m_closeAfterStop)
            m_list.Tell(m_session.Text("CS_MAIN_CLOSES_AFTER_STOP"));
        return m_closeConfirmed;
    }
    QList<RunRecord> mine = RunRegister::Read(m_session.AppDir()).value_or({});
    mine.removeIf([](const RunRecord &r) { return r.uid != ::getuid(); });
    if (mine.isEmpty())
        return true;
    // Closing the window stops nothing: the operator must not think it does.
    m_closeConfirmed = m_session.MsgBox(m_window, m_session.Text("CS_MAIN_CLOSE_WHILE_RUNNING", RunningText(mine)),
                                        MsgIcon::Question, MsgButtons::YesNo)
        == MsgResult::Yes;
    return m_closeConfirmed;
}

void MainCommands::Stop(const Targets &targets)
{
    QList<RunRecord> chosen;
    const QString running = RunningOf(targets.names, &chosen);
    if (chosen.isEmpty()) {
        m_list.Tell(m_session.Text("CS_MAIN_NOTHING_RUNS", targets.names.join(QStringLiteral(", "))));
        return;
    }
    // A slip of the key must not end a colleague's server: Enter answers No.
    if (m_session.MsgBox(m_window, m_session.Text("CS_MAIN_STOP_QUESTION", running),
                         MsgIcon::Question, MsgButtons::YesNoDefaultNo)
        != MsgResult::Yes) {
        m_list.Tell(m_session.Text("CS_MAIN_NOTHING_STOPPED", targets.names.join(QStringLiteral(", "))));
        return;
    }
    StartStop(chosen, {});
}

void MainCommands::StartStop(const QList<RunRecord> &chosen, const std::function<void()> &then)
{
    m_stopper = new RunStopper(m_session.AppDir(), chosen, 10000, this, &m_session.Texts());
    connect(m_stopper, &RunStopper::Progress, &m_list, &FileList::Tell);
    QStringList files;
    for (const RunRecord &r : chosen)
        files << RunningState::RowName(r);
    files.removeDuplicates();
    connect(m_stopper, &RunStopper::Finished, this, [this, then, files](const QString &outcome) {
        const QStringList refused = m_stopper->Refused();
        m_stopper->deleteLater();
        m_stopper = nullptr;
        emit StopWaiting(false);
        // First what ended, then the Stop's outcome over it; it names the files, as the
        // status bar may still show it after other commands.
        if (m_list.Running())
            m_list.Running()->Reload();
        m_list.Tell(m_session.Text("CS_MAIN_STOP_OUTCOME", files.join(QStringLiteral(", ")), outcome));
        UpdateEnabling();
        if (!refused.isEmpty())
            m_session.MsgBox(m_window, m_session.Text("CS_MAIN_NOT_STOPPED", refused.join(QStringLiteral("\r\n"))),
                             MsgIcon::Information);
        if (std::exchange(m_closeAfterStop, false)) {
            m_closeConfirmed = true;
            m_window->close();
        } else if (then) {
            then();
        }
    });
    emit StopWaiting(true);
    UpdateEnabling();
    m_stopper->Start();
}

MainCommands::Go MainCommands::StopFirst(const QStringList &names, const QString &action,
                                         const std::function<void()> &body)
{
    QList<RunRecord> chosen;
    const QString running = RunningOf(names, &chosen);
    if (chosen.isEmpty())
        return Go::Now;
    if (m_stopper) {
        m_list.Tell(m_session.Text("CS_MAIN_STOP_UNDER_WAY", names.join(QStringLiteral(", "))));
        return Go::Not;
    }
    const MsgResult answer = m_session.MsgBox(
        m_window,
        m_session.Text("CS_MAIN_STOP_FIRST", running, action),
        MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgResult::No)
        return Go::Now;
    if (answer != MsgResult::Yes) {
        m_list.Tell(m_session.Text("CS_MAIN_NOTHING_DONE", names.join(QStringLiteral(", "))));
        return Go::Not;
    }
    StartStop(chosen, [this, names, action, body] {
        // Never orphaned: what still runs (refused, cancelled) keeps its file.
        if (!RunningOf(names).isEmpty())
            m_list.Tell(m_session.Text("CS_MAIN_STILL_RUN", action, names.join(QStringLiteral(", "))));
        else if (m_list.StillAsListed(names))
            body();
    });
    return Go::AfterStop;
}

void MainCommands::CancelStop()
{
    if (m_stopper)
        m_stopper->Cancel();
}

void MainCommands::ShowLog(const Targets &targets)
{
    // An orphan row's logs are those of the file it was; what runs for a renamed file writes
    // the log of the name it was started under.
    const QString orphaned = RunningState::OrphanedFileName(targets.name);
    QStringList logs = RunRegister::LogFilesOf(
        m_session.AppDir(), orphaned.isEmpty() ? targets.path : m_session.ConfigDirectory() + u'/' + orphaned);
    const QList<RunRecord> records = RunRegister::Read(m_session.AppDir()).value_or({});
    for (const RunRecord &r : RunningState::ByRow(records, m_session.ConfigDirectory()).value(targets.name)) {
        // Only a log of the log folder: the shared register may name any file.
        const QFileInfo log(r.logFile);
        if (log.path() == ConfigStore::DefaultLogDirectory(m_session.AppDir()) && log.isFile() && !logs.contains(r.logFile))
            logs << r.logFile;
    }
    if (logs.isEmpty()) {
        // Nothing of this configuration was started here yet: the folder holds the rest.
        const QString folder = m_session.DefaultLogDirectory();
        QString text = m_session.Text("CS_MAIN_NO_LOG", targets.name, folder);
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
            text += QStringLiteral("\r\n\r\n") + m_session.Text("CS_MAIN_NO_FOLDER_OPENER");
        m_list.Tell(m_session.Text("CS_MAIN_NO_LOG_YET", targets.name));
        m_session.MsgBox(m_window, text, MsgIcon::Information);
        return;
    }
    // Each log is headed with the programs that write it now.
    QHash<QString, QString> writers;
    for (const RunRecord &r : records) {
        QString &writer = writers[r.logFile];
        const QString program = QStringLiteral("%1 pid %2").arg(QLatin1String(KindName(r.kind))).arg(r.pid);
        if (!writer.contains(program))
            writer += (writer.isEmpty() ? QString() : QStringLiteral(", ")) + program;
    }
    const QString title = m_session.Text("CS_LOG_TITLE", targets.name);
    auto *view = new frmProgramLog(title, logs, writers, m_window);
    Controls::Localise(m_session, *view);
    WindowTitle::Show(*view, title, m_session.Text("CS_TITLE_NAME_FIRST", title, targets.name));
    view->show();
}

void MainCommands::Exit(const Targets &) { m_window->close(); }

void MainCommands::About(const Targets &)
{
    frmAbout about(m_session);
    if (about.Load())
        about.exec();
}
