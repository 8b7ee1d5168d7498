#include "ProgramRun.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace ProgramRun {

QProcessEnvironment Environment(const QProcessEnvironment &extra)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    environment.insert(extra);
    return environment;
}

void Start(QProcess &process, const QString &dir, const QStringList &arguments, const QProcessEnvironment &extra)
{
    const QString program = dir + QStringLiteral("/ConfigurationSelector");
    if (!QFileInfo::exists(program)) {
        QFile::copy(QStringLiteral(CS_PROGRAM), program);
        for (const char *lib : {CS_GUI_LIBRARY, CS_CORE_LIBRARY})
            QFile::link(QLatin1String(lib), dir + u'/' + QFileInfo(QLatin1String(lib)).fileName());
    }
    process.setProcessEnvironment(Environment(extra));
    process.start(program, arguments);
}

Outcome Run(const QString &dir, const QStringList &arguments, int timeoutMs, const QProcessEnvironment &extra)
{
    QProcess process;
    Start(process, dir, arguments, extra);
    Outcome outcome;
    if (!process.waitForFinished(timeoutMs))
        process.kill();
    process.waitForFinished(5000);
    if (process.exitStatus() == QProcess::NormalExit && process.error() != QProcess::Timedout)
        outcome.exitCode = process.exitCode();
    outcome.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process.readAllStandardError());
    return outcome;
}

} // namespace ProgramRun
