// `--list` and `--list --json` of the command line on a large lib folder, against `cat` of the
// same files in the same run, each started as its own process and writing to /dev/null.
// Sizes: the numbers given, else 32,767 files (the most the list holds). Target, as a ratio
// to `cat`: 1 for either form (the program starts, reads every file as the window's list
// does, looks at the run register and writes one line or object per file: no more than `cat`
// spends reading them). --guard runs 5,000 files and exits 1 when a ratio is more than three
// times its target.
#include "ConfigFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr double Target = 1.0;

// One run of program with arguments in folder, output to /dev/null, in ms; -1 on failure.
double RunMs(const QString &folder, const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    process.setProcessEnvironment(environment);
    QElapsedTimer t;
    t.start();
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    return double(t.nsecsElapsed()) / 1e6;
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

struct Figures
{
    int files = 0;
    double cat = 0, list = 0, json = 0;
};

Figures Measure(int files, int rounds)
{
    QTemporaryDir app;
    QDir(app.path()).mkpath(QStringLiteral("lib"));
    QDir(app.path()).mkpath(QStringLiteral("log"));
    const QString program = app.filePath(QStringLiteral("ConfigurationSelector"));
    const QString bin = QStringLiteral(CS_BINARY_DIR "/bin/");
    bool copied = QFile::copy(bin + QStringLiteral("ConfigurationSelector"), program)
               && QFile::copy(bin + QStringLiteral("I18nText.xml"), app.filePath(QStringLiteral("I18nText.xml")));
    for (const char *lib : {"libcs_core.so", "libcs_gui.so"})
        copied = copied && QFile::link(bin + QLatin1String(lib), app.filePath(QLatin1String(lib)));
    if (!copied) {
        std::fprintf(stderr, "ConfigurationSelector is not built in %s\n", qPrintable(bin));
        std::exit(2);
    }
    QStringList names;
    for (int i = 0; i < files; ++i) {
        names << QStringLiteral("config_%1.tsy").arg(i, 5, 10, QLatin1Char('0'));
        QFile file(app.filePath(QStringLiteral("lib/") + names.last()));
        if (!file.open(QIODevice::WriteOnly) || file.write(ConfigText(i, QStringLiteral("DSN%1").arg(i))) < 0)
            std::exit(2);
    }
    const QString lib = app.filePath(QStringLiteral("lib"));
    QList<double> cats, lists, jsons;
    // The first round fills the page cache for all three.
    for (int r = 0; r <= rounds; ++r) {
        const double cat = RunMs(lib, QStringLiteral("cat"), names);
        const double list = RunMs(lib, program, {QStringLiteral("--list")});
        const double json = RunMs(lib, program, {QStringLiteral("--list"), QStringLiteral("--json")});
        if (cat < 0 || list < 0 || json < 0) {
            std::fprintf(stderr, "a run failed\n");
            std::exit(2);
        }
        if (r > 0) {
            cats << cat;
            lists << list;
            jsons << json;
        }
    }
    return {files, Median(cats), Median(lists), Median(jsons)};
}

} // namespace

int main(int argc, char **argv)
{
    const bool guard = argc > 1 && std::string_view(argv[1]) == "--guard";
    QList<int> sizes;
    for (int i = 1; i < argc && !guard; ++i)
        sizes << std::max(1, atoi(argv[i]));
    if (sizes.isEmpty())
        sizes << (guard ? 5000 : 32767);
    const int rounds = guard ? 3 : 5;
    std::printf("%7s %9s %9s %6s %11s %6s   (medians of %d runs; target ratio %.1f)\n", "files", "cat ms", "--list ms",
                "ratio", "--json ms", "ratio", rounds, Target);
    bool failed = false;
    for (int files : sizes) {
        const Figures f = Measure(files, rounds);
        std::printf("%7d %9.0f %9.0f %6.2f %11.0f %6.2f\n", f.files, f.cat, f.list, f.list / f.cat, f.json, f.json / f.cat);
        for (const double ratio : {f.list / f.cat, f.json / f.cat}) {
            if (guard && ratio > 3 * Target) {
                std::printf("FAIL: %.2f x cat, more than three times the target of %.1f\n", ratio, Target);
                failed = true;
            }
        }
    }
    return failed ? 1 : 0;
}
