// Command-line mode against the least a program can do for the same work: a C writer
// (fopen/fprintf) and a QtCore program (QCoreApplication + QSaveFile). The three run in
// turn, each from its own application directory, so that they share the machine's moods.
// Prints the three medians and both ratios; exits 1 when the mode takes more than 1.3
// times the QtCore program.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <string_view>
#include <chrono>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

struct Program
{
    const char *name;
    QString path;
    std::vector<double> ms;
};

double RunOnce(const QString &program, const char *arguments)
{
    const QByteArray path = QFile::encodeName(program);
    char *argv[] = {const_cast<char *>(path.constData()), const_cast<char *>(arguments), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    // --guard: fewer rounds, and failing only past three times the target.
    const bool guard = argc > 1 && std::string_view(argv[1]) == "--guard";
    const int rounds = guard ? 50 : argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    const char *arguments = "1028:::1:::SALESDSN:::SALES:::dbhost:::sa:::secret:::cn=Sales, o=Norwen";
    const QString bin = QStringLiteral(CS_BINARY_DIR "/bin/");
    QTemporaryDir root;
    std::vector<Program> programs = {{"C writer", {}, {}}, {"QtCore writer", {}, {}}, {"command-line mode", {}, {}}};
    const char *files[] = {"bench_writer_c", "bench_writer_qtcore", "ConfigurationSelector"};
    for (size_t i = 0; i < programs.size(); ++i) {
        const QString dir = root.filePath(QString::number(i));
        QDir().mkpath(dir + QStringLiteral("/lib"));
        programs[i].path = dir + u'/' + QLatin1String(files[i]);
        if (!QFile::copy(bin + QLatin1String(files[i]), programs[i].path)) {
            std::fprintf(stderr, "%s is not built\n", files[i]);
            return 2;
        }
    }
    QFile::copy(bin + QStringLiteral("I18nText.xml"), root.filePath(QStringLiteral("2/I18nText.xml")));

    for (int r = 0; r < rounds + 5; ++r) {
        for (Program &p : programs) {
            const double ms = RunOnce(p.path, arguments);
            if (ms < 0) {
                std::fprintf(stderr, "%s failed\n", p.name);
                return 2;
            }
            if (r >= 5) // the first runs warm the caches
                p.ms.push_back(ms);
        }
    }
    const double c = Median(programs[0].ms), qt = Median(programs[1].ms), mode = Median(programs[2].ms);
    std::printf("%d runs each, alternating; medians:\n", rounds);
    std::printf("  C writer (fopen/fprintf)          %7.2f ms\n", c);
    std::printf("  QtCore writer (QSaveFile)         %7.2f ms\n", qt);
    std::printf("  command-line mode                 %7.2f ms\n", mode);
    std::printf("command-line mode / QtCore writer   %7.2fx (target at most 1.3x)\n", mode / qt);
    std::printf("command-line mode / C writer        %7.2fx\n", mode / c);
    return mode / qt <= (guard ? 3 * 1.3 : 1.3) ? 0 : 1;
}
