// The main window's list on a large lib folder, against `cat` of the same files in the same
// run: the load (window shown, list filled), a full refresh (F5), and one file rewritten by
// another program (time until its row shows the new value, and the CPU the program spent on
// it). Sizes: the numbers given, else 10,000 and 32,767 files. Targets, as ratios to `cat`:
// load 1.5, refresh 1.0, one-file change CPU 0.05 (50 ms against the ~1 s `cat` of 32,767
// small files on a slow machine). --guard runs 3,000 files (a few seconds) and exits 1 when a
// ratio is more than three times its target.
#include "support/TestAppDir.h"
#include "ConfigFiles.h"
#include "ui/main/frmConfigurationSelector.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPersistentModelIndex>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {

QString NameOf(int i) { return QStringLiteral("config_%1.tsy").arg(i, 5, 10, QLatin1Char('0')); }

double CpuMs()
{
    rusage u {};
    ::getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

long RssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// `cat` of every file of the folder to /dev/null, in ms.
double CatMs(const QString &folder, const QStringList &names)
{
    QProcess cat;
    cat.setWorkingDirectory(folder);
    cat.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    cat.start(QStringLiteral("cat"), names);
    cat.waitForFinished(-1);
    return double(t.nsecsElapsed()) / 1e6;
}

struct Figures
{
    int files = 0;
    double cat = 0, load = 0, refresh = 0, changeMs = 0, changeCpu = 0;
    long rssKiB = 0, rssAfterF5KiB = 0;
};

Figures Measure(int files, int rounds)
{
    Figures f;
    f.files = files;
    TestAppDir app;
    QStringList names;
    for (int i = 0; i < files; ++i) {
        names << NameOf(i);
        QFile file(app.lib(names.last()));
        if (!file.open(QIODevice::WriteOnly) || file.write(ConfigText(i, QStringLiteral("DSN%1").arg(i))) < 0)
            std::exit(2);
    }
    CatMs(app.lib(), names); // the page cache holds the files for both

    QList<double> cats, loads, refreshes, changeMs, changeCpu;
    std::unique_ptr<frmConfigurationSelector> window;
    for (int r = 0; r < rounds; ++r) {
        cats << CatMs(app.lib(), names);
        window.reset();
        QElapsedTimer t;
        t.start();
        window = std::make_unique<frmConfigurationSelector>(app.session());
        window->Load();
        window->show();
        QCoreApplication::processEvents();
        loads << double(t.nsecsElapsed()) / 1e6;
    }
    auto *list = window->findChild<QTreeView *>(QStringLiteral("LVConfig"));
    if (list->model()->rowCount() != files) {
        std::fprintf(stderr, "listed %d of %d files\n", list->model()->rowCount(), files);
        std::exit(2);
    }
    f.rssKiB = RssKiB();
    QAction *refresh = window->findChild<QAction *>(QStringLiteral("mnuRefresh"));
    for (int r = 0; r < rounds; ++r) {
        cats << CatMs(app.lib(), names);
        QElapsedTimer t;
        t.start();
        refresh->trigger();
        QCoreApplication::processEvents(); // the list repaints as the user sees it
        refreshes << double(t.nsecsElapsed()) / 1e6;
    }
    f.rssAfterF5KiB = RssKiB();

    // Another program saves one file in the middle of the folder (a new file, renamed over it).
    for (int r = 0; r < rounds; ++r) {
        const int i = files / 2 + r;
        const QString dsn = QStringLiteral("CHANGED%1").arg(r);
        // Followed by a persistent index, which a list rebuilt from scratch invalidates: the row
        // is then looked up again by name.
        QPersistentModelIndex row;
        const auto find = [&] {
            const QModelIndexList found = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, NameOf(i), 1,
                                                               Qt::MatchExactly);
            row = found.isEmpty() ? QModelIndex() : found[0].siblingAtColumn(2);
        };
        find();
        QEventLoop loop;
        const auto check = [&] {
            if (!row.isValid())
                find();
            if (row.data().toString() == dsn)
                loop.quit();
        };
        QAbstractItemModel *model = list->model();
        const QMetaObject::Connection shown[] = {
            QObject::connect(model, &QAbstractItemModel::dataChanged, &loop, check),
            QObject::connect(model, &QAbstractItemModel::rowsInserted, &loop, check),
            QObject::connect(model, &QAbstractItemModel::modelReset, &loop, check),
            QObject::connect(model, &QAbstractItemModel::layoutChanged, &loop, check)};
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        const double cpu0 = CpuMs();
        QElapsedTimer t;
        t.start();
        QSaveFile save(app.lib(NameOf(i)));
        if (!save.open(QIODevice::WriteOnly) || save.write(ConfigText(i, dsn)) < 0 || !save.commit())
            std::exit(2);
        loop.exec();
        for (const QMetaObject::Connection &c : shown)
            QObject::disconnect(c);
        changeMs << double(t.nsecsElapsed()) / 1e6;
        changeCpu << CpuMs() - cpu0;
        if (row.data().toString() != dsn) {
            std::fprintf(stderr, "the change of %s did not show within 10 s\n", qPrintable(NameOf(i)));
            changeMs.last() = 1e9;
        }
    }
    f.cat = Median(cats);
    f.load = Median(loads);
    f.refresh = Median(refreshes);
    f.changeMs = Median(changeMs);
    f.changeCpu = Median(changeCpu);
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    bool guard = false;
    QList<int> sizes;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--guard")
            guard = true;
        else
            sizes << std::max(1, atoi(argv[i]));
    }
    if (sizes.isEmpty())
        sizes = guard ? QList<int>{3000} : QList<int>{10000, 32767};

    struct Target { const char *what; double target; };
    const Target targets[] = {{"load", 1.5}, {"refresh", 1.0}, {"change CPU", 0.05}};
    bool failed = false;
    std::printf("%7s %9s %9s %6s %9s %6s %10s %6s %9s %8s %8s\n", "files", "cat ms", "load ms", "ratio", "refresh",
                "ratio", "change CPU", "ratio", "change ms", "RSS MiB", "after F5");
    for (const int files : sizes) {
        const Figures f = Measure(files, 3);
        const double ratios[] = {f.load / f.cat, f.refresh / f.cat, f.changeCpu / f.cat};
        std::printf("%7d %9.0f %9.0f %6.2f %9.0f %6.2f %10.1f %6.3f %9.0f %8.1f %8.1f\n", f.files, f.cat, f.load,
                    ratios[0], f.refresh, ratios[1], f.changeCpu, ratios[2], f.changeMs, f.rssKiB / 1024.0,
                    f.rssAfterF5KiB / 1024.0);
        for (int k = 0; k < 3; ++k) {
            if (guard && ratios[k] > 3 * targets[k].target) {
                std::printf("FAIL: %s is %.3f x cat, more than three times its target of %.2f\n", targets[k].what,
                            ratios[k], targets[k].target);
                failed = true;
            }
        }
    }
    return failed ? 1 : 0;
}
