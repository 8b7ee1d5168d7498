// CPU per update of the list's running column: 1,000 configurations, 100 of them with a
// program in the run register. An update reads the register, looks at /proc for each record
// and writes the column; the anchor is writing the column alone (every row changed), in the
// same run. Target: under 20 ms per update; --guard exits 1 above three times that.
#include "platform/Process.h"
#include "suite/RunRegister.h"
#include "support/TestAppDir.h"
#include "ui/main/ConfigListModel.h"
#include "ui/main/RunningView.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

template <typename F>
double MedianMs(int rounds, F f)
{
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        const double start = CpuMs();
        f(i);
        ms.push_back(CpuMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const bool guard = argc > 1 && std::strcmp(argv[1], "--guard") == 0;
    constexpr int kConfigs = 1000, kRunning = 100, kPrograms = 20, kRounds = 60;
    constexpr double kTargetMs = 20;

    QTemporaryDir app;
    QDir(app.path()).mkpath(QStringLiteral("lib"));
    QDir(app.path()).mkpath(QStringLiteral("log"));
    const QString lib = app.filePath(QStringLiteral("lib"));
    auto name = [](int i) { return QStringLiteral("config_%1.tsy").arg(i, 4, 10, QLatin1Char('0')); };

    // Real processes, so that every record is looked up in /proc as in use.
    std::vector<Process::Started> programs;
    for (int i = 0; i < kPrograms; ++i) {
        const Result<Process::Started> started = Process::Spawn(app.path(), QStringLiteral("/bin/sleep 600"));
        if (!started) {
            std::fprintf(stderr, "cannot start sleep: %s\n", qPrintable(started.error().description));
            return 2;
        }
        programs.push_back(started.value());
    }
    QList<RunRecord> records;
    for (int i = 0; i < kRunning; ++i) {
        const Process::Started &p = programs[size_t(i % kPrograms)];
        RunRecord r;
        r.pid = p.pid;
        r.startTime = p.startTime;
        r.user = QStringLiteral("op2");
        r.started = QDateTime::currentDateTime();
        r.configFile = lib + u'/' + name(i * (kConfigs / kRunning));
        records << r;
    }
    const Result<void> added = RunRegister::Add(app.path(), records);

    // The window's model and view over the configurations, as the window holds them.
    TestAppDir session;
    QTreeView list;
    ConfigListModel rows(session.session(), list, nullptr);
    list.setModel(&rows);
    std::vector<ConfigList::ListedFile> files(kConfigs);
    for (int i = 0; i < kConfigs; ++i) {
        files[size_t(i)].presence = ConfigList::ListedFile::Presence::Listed;
        files[size_t(i)].entry.FileName = name(i);
    }
    rows.SetFiles(std::move(files));
    RunningView view(app.path(), lib, session.session().Texts(), nullptr);

    // The anchor: every row's column written, alternating texts so each write is a change.
    const double anchor = MedianMs(kRounds, [&](int round) {
        const QString text = round % 2 ? QStringLiteral("console since 10:02, op2") : QString();
        QHash<QString, QString> all;
        for (int i = 0; i < kConfigs; ++i)
            all.insert(name(i), text);
        rows.SetRunning(std::move(all));
    });
    rows.SetRunning({});
    // An update as the window makes it after the register changed: read, /proc, column.
    const double update = MedianMs(kRounds, [&](int) {
        view.Reload();
        rows.SetRunning(view.Summaries());
    });
    int shown = 0;
    for (int i = 0; i < kConfigs; ++i)
        shown += rows.index(i, ConfigListModel::Running).data().toString().isEmpty() ? 0 : 1;

    for (const Process::Started &p : programs)
        ::kill(-pid_t(p.pid), SIGKILL);
    if (!added || shown != kRunning) {
        std::fprintf(stderr, "expected %d running rows, shown %d\n", kRunning, shown);
        return 2;
    }
    std::printf("running-state update, %d configurations, %d running: %.2f ms CPU (target %.0f ms); "
                "anchor (column written alone) %.2f ms; ratio %.1f\n",
                kConfigs, kRunning, update, kTargetMs, anchor, update / anchor);
    return guard && update > 3 * kTargetMs ? 1 : 0;
}
