// How long the dispatcher step of a merge-and-split launch takes for 50 publisher bus
// components (or the number given as the first argument), each with consumers in both
// databases: the two queries, the merge, and per publisher a folder, three copies, the
// filled-in properties and the start of its dispatcher. The budget is five seconds; the
// program exits 1 when the run is slower.
#include "config/PasswordScramble.h"
#include "suite/MergeSplitLaunch.h"
#include "support/PostgresFixture.h"
#include "support/TestAppDir.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    // --guard runs the default size against the same budget.
    const int publishers = argc > 1 && argv[1][0] != '-' ? std::max(1, atoi(argv[1])) : 50;
    const qint64 budgetMs = 5000;

    QString error;
    if (!PostgresFixture::EnsureServer(&error)) {
        std::fprintf(stderr, "no database server: %s\n", qPrintable(error));
        return 2;
    }
    auto fmk = PostgresFixture::CreateDatabase(QStringLiteral("bench_fmk"), &error);
    auto rst = PostgresFixture::CreateDatabase(QStringLiteral("bench_rst"), &error);
    if (!fmk || !rst) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    // One Fieldmark consumer and three Rostrum consumers per publisher, the first of which
    // repeats the Fieldmark one.
    const QString rows = QStringLiteral(
        "INSERT INTO tsybcdetails (publisherbc, bcname, tableid, productid) "
        "SELECT 'PUB' || p, '%1' || p || '_' || c, c, '%2' FROM generate_series(1, %3) p, generate_series(1, %4) c");
    if (!fmk->Exec(rows.arg(QStringLiteral("FMK"), QStringLiteral("4009")).arg(publishers).arg(1), &error)
        || !rst->Exec(rows.arg(QStringLiteral("RST"), QStringLiteral("1028")).arg(publishers).arg(3)
                          + QStringLiteral("; UPDATE tsybcdetails SET bcname = 'FMK' || substr(publisherbc, 4) || '_1' "
                                           "WHERE tableid = 1"),
                      &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }

    TestAppDir app;
    app.writeFile(QStringLiteral("OAComponents/eventdispatcher.jar"), QByteArray(64 * 1024, 'j'));
    app.writeFile(QStringLiteral("OAComponents/eventdispatcher.properties"),
                  "publisher=<PublisherBuscomponent>\r\nconsumers=<ConsumerBusComponents>\r\n");
    const QString start = app.path() + QStringLiteral("/OAComponents/startEventDispatcher.bat");
    app.writeFile(QStringLiteral("OAComponents/startEventDispatcher.bat"), "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(start, QFile::permissions(start) | QFile::ExeOwner);
    auto section = [](const char *name, const PgDatabase &db) {
        return QStringLiteral("[%1]\r\nldbp=1\r\ndsn=%2\r\nuser=%3\r\npassword=%4\r\n")
            .arg(QLatin1String(name), db.dsn(), db.user(), ScramblePassword(db.password()));
    };
    app.writeFile(QStringLiteral("lib/J.tsy"), (section("FMK", *fmk) + section("RST", *rst)).toLatin1());

    // The first launch makes every folder; a repeated one finds them made.
    qint64 ms[2] = {0, 0};
    bool started = true;
    for (qint64 &run : ms) {
        QElapsedTimer timer;
        timer.start();
        started = ExecuteDispatcher(app.suite(), app.lib(QStringLiteral("J.tsy"))) && started;
        run = timer.elapsed();
    }

    const int folders = QDir(app.path() + QStringLiteral("/OAComponents")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
    if (!started || folders != publishers) {
        std::fprintf(stderr, "prepared %d of %d dispatchers; messages: %s\n", folders, publishers,
                     qPrintable(app.shownTexts().join(QStringLiteral(" / "))));
        return 2;
    }
    std::printf("dispatchers for %d publishers prepared and started: first launch %lld ms, repeated %lld ms "
                "(budget %lld ms)\n",
                publishers, static_cast<long long>(ms[0]), static_cast<long long>(ms[1]), static_cast<long long>(budgetMs));
    return std::max(ms[0], ms[1]) < budgetMs ? 0 : 1;
}
