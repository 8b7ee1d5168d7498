#include "app/CommandLineMode.h"

#include "app/Session.h"
#include "config/ConfigFormat.h"
#include "platform/FileIo.h"

bool ParseCommandLine(const QString &arguments, ConfigRecord &config, int *fieldCount)
{
    const QStringList fields = arguments.split(QStringLiteral(":::"));
    if (fieldCount)
        *fieldCount = int(fields.size());
    // Assignment order as the fields stand; it stops at the first missing field.
    QString ConfigRecord::*const order[] = {
        &ConfigRecord::SatelliteAppln, &ConfigRecord::ldbp, &ConfigRecord::dsn,
        &ConfigRecord::database, &ConfigRecord::dbmachinename, &ConfigRecord::user};
    int i = 0;
    for (auto field : order) {
        if (i >= fields.size())
            return false;
        config.*field = fields[i++];
    }
    config.savepass = QStringLiteral("1");
    if (fields.size() < 7)
        return false;
    config.password = fields[6];
    config.autologin = QStringLiteral("1");
    if (fields.size() < 8)
        return false;
    config.lhbuscomponent = fields[7];
    return true;
}

bool CreateConfigFromCommandLine(Session &session)
{
    ConfigRecord &c = session.CurrentConfig;
    const QString name = c.database + u'_' + c.SatelliteAppln + QLatin1String(".tsy");
    Vb::Error error;
    bool ok = false;
    // The name comes from the command line: refuse one that would leave the lib directory.
    if (!FileIo::IsValidFileName(name))
        error = {52, QStringLiteral("Bad file name or number")};
    else
        ok = ConfigFormat::WriteFile(session.ConfigDirectory + u'/' + name, c, &error);
    if (ok)
        return true;
    QString text = session.GetText(QStringLiteral("SLBL0356"));
    if (error.number == 0 && !error.description.isEmpty())
        text += QStringLiteral("\n\n") + error.description;
    session.MsgBox(text, MsgIcon::None, MsgButtons::Ok);
    return false;
}

int RunCommandLineMode(Session &session, const QString &arguments)
{
    ConfigRecord &c = session.CurrentConfig;
    int count = 0;
    if (!ParseCommandLine(arguments, c, &count)) {
        session.MsgBox(QStringLiteral("The command line holds %1 field(s) separated by \":::\"; "
                                      "eight are needed (product code, platform, DSN, database, "
                                      "database server, user, password, bus component). "
                                      "No configuration file was written.")
                           .arg(count),
                       MsgIcon::Critical, MsgButtons::Ok);
        return 2;
    }
    c.logdirectory = session.DefaultLogDirectory;
    c.webdirectory.clear();
    ApplyNewConfigurationDefaults(c);
    return CreateConfigFromCommandLine(session) ? 0 : 1;
}
