#pragma once

#include <QObject>
#include <QStringList>

#include <array>
#include <functional>

class FileList;
class QAction;
class QWidget;
class RunStopper;
struct RunRecord;
class Session;

// The main window's commands. Each runs through one preamble: an in-place rename still open
// is applied first, the command's rows must be what it acts on (the enabling table) and, for
// a command that acts on files, still the versions listed; then the command gets its target
// files from the list. A command that opens a window waits for it and brings the list up to
// date, so that files the window created, moved or deleted show at once.
class MainCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainCommands)
public:
    enum class Command { New, Update, Rename, Delete, MergeSplit, Run, RunJavaServer, Stop, ShowLog, Refresh, Exit, About, Count };

    // window: the parent and asker of what the commands open, closed by Exit.
    MainCommands(Session &session, FileList &list, QWidget *window);

    // The action runs the command and is enabled by the table.
    void Bind(Command command, QAction *action);
    void Execute(Command command);
    bool IsEnabled(Command command) const;
    // Enables each bound action exactly when the highlighted rows are what it acts on.
    void UpdateEnabling();
    // Applies an in-place rename whose edit has ended or is still open.
    void FinishRename();
    // A double click on a row: runs it, or says why it cannot be run.
    void Activate(const QString &name);
    void CancelStop();
    // Before the window closes: a Stop still waiting is finished first or left only after a
    // question; programs of this user that keep running are named and the operator may stay.
    // False when the window is to stay open (for now).
    bool MayClose();

signals:
    // Stop is waiting for programs to end (a Cancel is offered), or has finished.
    void StopWaiting(bool waiting);

private:
    // The files a command acts on, from the list's highlighted rows.
    struct Targets
    {
        QStringList names;
        // The row the single-row commands act on, its path, and whether it is a joint file.
        QString name, path;
        bool joint = false;
    };
    struct Rule;
    static const Rule &RuleOf(Command command);
    Targets Resolve() const;
    bool Fits(const Rule &rule, const QStringList &names) const;

    void New(const Targets &);
    void Update(const Targets &targets);
    void Rename(const Targets &targets);
    void Renamed(const QString &fileName, const QString &typed);
    void RenameNow(const QString &fileName, const QString &newName);
    void Delete(const Targets &targets);
    void DeleteNow(const QStringList &names);
    bool DeleteConfigFile(const QString &name);
    void MergeSplit(const Targets &targets);
    void Run(const Targets &targets);
    // Before another start of the configuration, of which running runs: true when the user
    // wants it.
    bool ConfirmSecondStart(const Targets &targets, const QList<RunRecord> &running);
    void RunJavaServer(const Targets &targets);
    // What runs for the configurations names, one line per program under each file's name,
    // for a question; the records into chosen when given.
    QString RunningOf(const QStringList &names, QList<RunRecord> *chosen = nullptr) const;
    // The same for records of any configurations, under each file's name.
    QString RunningText(const QList<RunRecord> &records) const;
    void Stop(const Targets &targets);
    // Stops chosen, then (unless the window closes meanwhile) calls then.
    void StartStop(const QList<RunRecord> &chosen, const std::function<void()> &then);
    // Before action (delete, rename) on names: when programs of them run, names them and
    // offers to stop them first. Now: go on at once; AfterStop: body runs once the Stop has
    // ended them all and the files are still as listed; Not: nothing is done.
    enum class Go { Now, AfterStop, Not };
    Go StopFirst(const QStringList &names, const QString &action, const std::function<void()> &body);
    void ShowLog(const Targets &targets);
    void Refresh(const Targets &);
    void Exit(const Targets &);
    void About(const Targets &);

    Session &m_session;
    FileList &m_list;
    QWidget *m_window;
    std::array<QAction *, size_t(Command::Count)> m_actions{};
    RunStopper *m_stopper = nullptr;
    // The operator chose to close once the Stop under way has finished.
    bool m_closeAfterStop = false;
    // The close is answered: no second question.
    bool m_closeConfirmed = false;
};
